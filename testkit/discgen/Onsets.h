#pragma once
// Where notes and beats start in a stretch of music: peaks of the rise of
// its energy envelope. Editors cut on the downbeat, so a generator that
// means to cut where an editor would needs these.
#include <cstddef>
#include <vector>

#include "testkit/discgen/MixBuffer.h"

namespace wc {

struct Onset {
  size_t sample;   // where the rise begins
  float strength;  // the rise in log energy, larger for harder hits
};

// The onsets in [from, to) of `music`, in order.
std::vector<Onset> findOnsets(const MixBuffer& music, size_t from, size_t to);

// The strongest onset within `reach` samples of `target`, or `target` when
// the stretch has none.
size_t strongestOnsetNear(const MixBuffer& music, size_t target, size_t reach);

}  // namespace wc
