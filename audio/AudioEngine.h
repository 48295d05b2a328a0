#pragma once
// The sound output: keeps the device's one-second ring full. Every timer tick
// (every 5 ms, driven by the window program on the user-interface thread)
// renders exactly the bytes the device played since the last tick, so audio
// rendered now is heard about one second later. The window program owns the
// one engine and hands it to whoever links a source or pauses the output.
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioHost.h"
#include "audio/Mixer.h"
#include "audio/SoundDevice.h"
#include "audio/SoundOutput.h"

namespace wc {

class AudioEngine final : public SoundOutput {
 public:
  static constexpr uint32_t kRingBytes = SoundDevice::kRingBytes;
  static constexpr int kTimerPeriodMs = 5;
  static constexpr const char* kStartFailedMessage = "Unable to initialize DirectSound\n";

  AudioEngine() = default;
  // shutdown().
  ~AudioEngine() override;
  AudioEngine(const AudioEngine&) = delete;
  AudioEngine& operator=(const AudioEngine&) = delete;

  // Opens `device`, fills the ring with a second of silence and starts
  // playback. On failure (no device, or the engine runs already) the host
  // shows kStartFailedMessage and is asked to close the main window; returns
  // false then.
  bool start(std::unique_ptr<SoundDevice> device, AudioHost& host);

  // Renders the bytes played since the last fill: play cursor - writeOffset.
  // The 5 ms timer calls this after counting its tick (TickClock).
  void refillPlayed();
  // Renders `bytes` (a multiple of 4) into the ring from writeOffset on; a
  // range across the ring's end is two mixer calls.
  void fillAhead(uint32_t bytes);
  // Halts the device for an export; no tick comes while it is paused.
  void pauseOutput() override;
  // writeOffset = 0 and the device loops again from where it stopped.
  void resumeOutput() override;
  // Starts a paused device again over a ring of silence, writing from the
  // play cursor on, so that what is rendered next is heard one second later
  // and nothing stale from before the pause plays.
  void resumeSilent();
  // Closes the device. Linked sources are unlinked, not freed.
  void shutdown();

  void addSource(SoundSource& source) override { mixer_.addSource(source); }
  void mixSources(int16_t* out, int32_t frames, float* scratch) { mixer_.mixSources(out, frames, scratch); }

  bool running() const { return device_ != nullptr; }
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
