#include "testkit/discgen/MixBuffer.h"

#include <algorithm>
#include <cmath>

namespace wc {

void MixBuffer::addMono(const std::vector<float>& mono, ptrdiff_t at, float gain, float pan) {
  // Constant power: equal gains of cos(pi/4) in the middle.
  const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * 3.14159265358979323846;
  const float gainLeft = gain * float(std::cos(angle));
  const float gainRight = gain * float(std::sin(angle));
  const ptrdiff_t first = std::max<ptrdiff_t>(0, -at);
  const ptrdiff_t last = std::min<ptrdiff_t>(ptrdiff_t(mono.size()), ptrdiff_t(samples()) - at);
  for (ptrdiff_t i = first; i < last; ++i) {
    left[size_t(at + i)] += gainLeft * mono[size_t(i)];
    right[size_t(at + i)] += gainRight * mono[size_t(i)];
  }
}

void MixBuffer::add(const MixBuffer& other, ptrdiff_t at, float gain) {
  const ptrdiff_t first = std::max<ptrdiff_t>(0, -at);
  const ptrdiff_t last = std::min<ptrdiff_t>(ptrdiff_t(other.samples()), ptrdiff_t(samples()) - at);
  for (ptrdiff_t i = first; i < last; ++i) {
    left[size_t(at + i)] += gain * other.left[size_t(i)];
    right[size_t(at + i)] += gain * other.right[size_t(i)];
  }
}

void MixBuffer::ramp(size_t from, size_t to, float gainFrom, float gainTo) {
  to = std::min(to, samples());
  if (from >= to) return;
  const float step = (gainTo - gainFrom) / float(to - from);
  for (size_t i = from; i < to; ++i) {
    const float g = gainFrom + step * float(i - from);
    left[i] *= g;
    right[i] *= g;
  }
}

void duck(MixBuffer& music, size_t from, size_t to, float duckedGain) {
  const size_t fall = samplesFor(0.15);
  const size_t rise = samplesFor(0.3);
  const size_t fallStart = from > fall ? from - fall : 0;
  music.ramp(fallStart, from, 1.0f, duckedGain);
  music.ramp(from, to, duckedGain, duckedGain);
  music.ramp(to, to + rise, duckedGain, 1.0f);
}

void normalize(std::vector<float>& mono, float peak) {
  float largest = 0.0f;
  for (float v : mono) largest = std::max(largest, std::fabs(v));
  if (largest <= 0.0f) return;
  const float scale = peak / largest;
  for (float& v : mono) v *= scale;
}

namespace {

int16_t softSample(float v) {
  constexpr float kKnee = 0.7f;
  const float magnitude = std::fabs(v);
  if (magnitude > kKnee) {
    // Approaches full scale asymptotically above the knee.
    const float over = magnitude - kKnee;
    const float shaped = kKnee + (1.0f - kKnee) * over / (over + (1.0f - kKnee));
    v = std::copysign(shaped, v);
  }
  return int16_t(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

StereoSignal toStereoSignal(const MixBuffer& mix) {
  StereoSignal s;
  s.left.resize(mix.samples());
  s.right.resize(mix.samples());
  for (size_t i = 0; i < mix.samples(); ++i) {
    s.left[i] = softSample(mix.left[i]);
    s.right[i] = softSample(mix.right[i]);
  }
  return s;
}

}  // namespace wc
