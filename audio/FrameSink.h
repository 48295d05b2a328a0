#pragma once
// Where the offline renderer puts its 24000 Hz stereo frames: the wave
// writers. Frames arrive in blocks (one decoded ADPCM step of 28 pairs at a
// time), so no call is made per frame. All three calls come from the one
// thread that runs the export.
#include <cstddef>
#include <cstdint>

namespace wc {

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // `count` frames at full scale (+-1.0), left and right in separate arrays.
  virtual void pushFrames(const float* left, const float* right, size_t count) = 0;
  // CD sectors (1/75 s) covered by the frames pushed so far, rounded up.
  virtual int64_t sectorsSoFar() const = 0;
  // Completes the file; false if anything failed on the way.
  virtual bool finish() = 0;
};

}  // namespace wc
