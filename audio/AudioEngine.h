#pragma once
// The sound output: keeps the device's one-second ring full. Every timer tick
// (every 5 ms, driven by the window program on the user-interface thread)
// renders exactly the bytes the device played since the last tick, so audio
// rendered now is heard about one second later. One engine runs at a time;
// it is reached through AudioEngine::current().
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioHost.h"
#include "audio/Mixer.h"
#include "audio/SoundDevice.h"

namespace wc {

class AudioEngine {
 public:
  static constexpr uint32_t kRingBytes = SoundDevice::kRingBytes;
  static constexpr int kTimerPeriodMs = 5;
  static constexpr uint32_t kFirstTickCount = 666;
  static constexpr const char* kStartFailedMessage = "Unable to initialize DirectSound\n";

  AudioEngine() = default;
  // shutdown().
  ~AudioEngine();
  AudioEngine(const AudioEngine&) = delete;
  AudioEngine& operator=(const AudioEngine&) = delete;

  // Opens `device`, fills the ring with a second of silence, starts playback
  // and makes this the current engine. On failure (no device, or another
  // engine already running) the host shows kStartFailedMessage and is asked
  // to close the main window; returns false then.
  bool start(std::unique_ptr<SoundDevice> device, AudioHost& host);

  // The 5 ms timer callback: counts the tick, reseeds processRandom() with
  // the count (667 on the first tick), then refills the current engine.
  static void timerTick();
  // The running engine, or null.
  static AudioEngine* current();
  // Ticks so far, plus 666.
  static uint32_t tickCount();

  // Renders the bytes played since the last fill: play cursor - writeOffset.
  void refillPlayed();
  // Renders `bytes` (a multiple of 4) into the ring from writeOffset on; a
  // range across the ring's end is two mixer calls.
  void fillAhead(uint32_t bytes);
  // Halts the device for an export; no tick comes while it is paused.
  void pauseOutput();
  // writeOffset = 0 and the device loops again from where it stopped.
  void resumeOutput();
  // No longer current; closes the device. Linked sources are unlinked, not
  // freed.
  void shutdown();

  void addVoice(SoundSource& source) { mixer_.addSource(source); }
  void mixSources(int16_t* out, int32_t frames, float* scratch) {
    mixer_.mixSources(out, frames, scratch);
  }

  bool running() const { return current() == this; }
  uint32_t writeOffset() const { return writeOffset_; }
  SoundDevice* device() const { return device_.get(); }

 private:
  void fillRange(uint32_t offset, uint32_t bytes);

  std::unique_ptr<SoundDevice> device_;
  uint32_t writeOffset_ = 0;
  Mixer mixer_;
  // One whole ring of stereo frames, allocated at start so that no tick
  // allocates: floats for the mixer, then the 16-bit samples it produces.
  std::vector<float> scratch_;
  std::vector<int16_t> samples_;
};

}  // namespace wc
