#pragma once
// Encoding is what a synthetic disc costs (a minute of stereo takes seconds
// of CPU), and every clip encodes on its own, so the clips of a plan can be
// encoded side by side before writeDisc lays them out. Each clip's frames
// depend only on its own samples: the result is the same for any number of
// threads.
#include "testkit/discgen/DiscBuilder.h"

namespace wc {

// Runs every clip's `generate` (or takes its `signal`) and stores the
// encoded result in `frames`, on `threads` threads (at least one). Clips
// that already have frames are left alone.
void encodeClipsAhead(DiscPlan& plan, unsigned threads);

}  // namespace wc
