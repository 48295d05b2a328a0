#pragma once
// Floating-point stereo at 24000 samples per second, where the demo's
// instruments, voices and jingles are summed before they become 16-bit
// samples. Full scale is ±1.0.
#include <cstddef>
#include <vector>

#include "testkit/discgen/Signals.h"

namespace wc {

struct MixBuffer {
  std::vector<float> left;
  std::vector<float> right;  // always as long as left

  MixBuffer() = default;
  explicit MixBuffer(size_t samples) : left(samples, 0.0f), right(samples, 0.0f) {}
  size_t samples() const { return left.size(); }

  // Adds `mono` from sample `at` on, panned by `pan` (-1 left .. +1 right,
  // constant power) and scaled by `gain`; whatever lies past the end is cut.
  void addMono(const std::vector<float>& mono, ptrdiff_t at, float gain, float pan = 0.0f);
  // Adds `other` from sample `at` on, scaled by `gain`.
  void add(const MixBuffer& other, ptrdiff_t at, float gain = 1.0f);
  // Multiplies samples [from, to) by a gain ramping linearly from `gainFrom`
  // to `gainTo`.
  void ramp(size_t from, size_t to, float gainFrom, float gainTo);
};

// Lowers the music under a voice: the gain falls to `duckedGain` over 0.15 s
// before `from`, stays there up to `to`, and rises back over 0.3 s.
void duck(MixBuffer& music, size_t from, size_t to, float duckedGain);

// Scales `mono` so that its largest magnitude is `peak` (silence stays
// silent).
void normalize(std::vector<float>& mono, float peak);

// 16-bit samples through a soft knee above 0.7 of full scale, so loud
// passages round off instead of clipping.
StereoSignal toStereoSignal(const MixBuffer& mix);

}  // namespace wc
