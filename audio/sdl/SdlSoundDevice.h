#pragma once
// The sound device on SDL2's audio subsystem. The ring lives here; SDL's
// audio thread plays it from the play cursor, and SDL converts our 24000 Hz
// 16-bit stereo to whatever the hardware wants.
//
// Threads: the public methods are called on the user-interface thread; the
// callback runs on SDL's audio thread. The cursor is atomic so it can be read
// without a lock; ring writes happen under SDL_LockAudioDevice, so the
// callback never copies half-written bytes.
#include <SDL.h>

#include <atomic>
#include <vector>

#include "audio/SoundDevice.h"

namespace wc {

class SdlSoundDevice final : public SoundDevice {
 public:
  // 2048 frames per device buffer: the dummy driver paces closest to real
  // time with it, and the one-second ring absorbs the coarse cursor steps.
  static constexpr int kDeviceBufferFrames = 2048;

  SdlSoundDevice() = default;
  ~SdlSoundDevice() override;
  SdlSoundDevice(const SdlSoundDevice&) = delete;
  SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

  bool open() override;
  void close() override;
  uint32_t playCursor() override;
  WriteStatus prepareWrite() override;
  void write(uint32_t offset, std::span<const uint8_t> bytes) override;
  bool restore() override { return device_ != 0; }
  void play() override;
  void stop() override;

  // A copy of the ring taken under the device lock (for tests and checks).
  std::vector<uint8_t> snapshotRing();

 private:
  // SDL's audio thread: plays `len` bytes from the cursor on.
  static void SDLCALL fillDeviceBuffer(void* self, Uint8* stream, int len);

  SDL_AudioDeviceID device_ = 0;
  bool subsystemStarted_ = false;
  std::vector<uint8_t> ring_ = std::vector<uint8_t>(kRingBytes, 0);
  std::atomic<uint32_t> cursor_{0};
};

}  // namespace wc
