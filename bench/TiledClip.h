#pragma once
// Long clips for the export benchmarks, cut from a short encoded source and
// repeated, so a 74-minute playlist costs seconds to build, not minutes; and
// the wall clock the benchmarks time themselves with.
#include <chrono>
#include <cstring>
#include <memory>

#include "gamedata/ClipAudio.h"
#include "testkit/discgen/ClipBuilder.h"

namespace wc::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// `seconds` of audio cut from the encoded frames of `source` from frame
// `offsetFrames` on, repeated as often as needed.
inline std::unique_ptr<ClipAudio> tiledClip(const EncodedClip& source, double seconds, size_t offsetFrames) {
  const uint32_t frames = uint32_t(seconds * 24000.0 / 28.0);
  const uint32_t available = source.frames();
  EncodedClip clip;
  clip.left.resize(size_t(frames) * 16);
  clip.right.resize(size_t(frames) * 16);
  for (uint32_t i = 0; i < frames; ++i) {
    const size_t from = ((offsetFrames + i) % available) * 16;
    std::memcpy(&clip.left[size_t(i) * 16], &source.left[from], 16);
    std::memcpy(&clip.right[size_t(i) * 16], &source.right[from], 16);
  }
  return std::make_unique<ClipAudio>(layOutClip(clip));
}

}  // namespace wc::bench
