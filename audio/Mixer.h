#pragma once
// The live mixer: sums the linked sources into 16-bit stereo frames at
// 24000 Hz. Live playback scales by 32767 and truncates (no +0.5), unlike the
// wave writer. Called on the user-interface thread only.
#include <cstdint>

#include "audio/SoundSource.h"

namespace wc {

class Mixer {
 public:
  Mixer() = default;
  // Unlinks the sources still in the list; they are not freed.
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Moves `source` to the head of the list (out of any list it was in): the
  // newest source is rendered first.
  void addSource(SoundSource& source);
  bool empty() const { return !anchor_.isLinked(); }
  // Unlinks every source.
  void detachAll();

  // Fills `out` with `frames` interleaved stereo frames (left first).
  // `scratch` holds at least 2 * frames floats.
  void mixSources(int16_t* out, int32_t frames, float* scratch);

 private:
  SoundSource anchor_;
};

// The live mixer's float-to-sample conversion: x * 32767, truncated toward
// zero, clamped.
inline int16_t mixerSample(float x) {
  const double v = double(x) * 32767.0;
  if (v >= 32767.0) return 32767;
  if (v <= -32768.0) return -32768;
  return int16_t(v);
}

}  // namespace wc
