#include "audio/sdl/SdlSoundDevice.h"

#include <algorithm>
#include <cstring>

namespace wc {

SdlSoundDevice::~SdlSoundDevice() { close(); }

bool SdlSoundDevice::open() {
  close();
  // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit
  // events that nobody polls: the program could then not be stopped.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  subsystemStarted_ = true;
  std::fill(ring_.begin(), ring_.end(), uint8_t(0));
  cursor_.store(0);

  SDL_AudioSpec want{};
  want.freq = int(kRate);
  want.format = AUDIO_S16LSB;
  want.channels = 2;
  want.samples = kDeviceBufferFrames;
  want.callback = &SdlSoundDevice::fillDeviceBuffer;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts our format to the hardware's itself, so
  // the callback always deals in 24000 Hz 16-bit stereo bytes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    close();
    return false;
  }
  return true;  // devices open paused
}

void SdlSoundDevice::close() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for the callback to finish
    device_ = 0;
  }
  if (subsystemStarted_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemStarted_ = false;
  }
}

uint32_t SdlSoundDevice::playCursor() { return cursor_.load(std::memory_order_acquire); }

SoundDevice::WriteStatus SdlSoundDevice::prepareWrite() { return device_ != 0 ? WriteStatus::Ok : WriteStatus::Failed; }

void SdlSoundDevice::write(uint32_t offset, std::span<const uint8_t> bytes) {
  if (device_ == 0 || offset >= kRingBytes) return;
  const size_t size = std::min<size_t>(bytes.size(), kRingBytes - offset);
  SDL_LockAudioDevice(device_);
  std::memcpy(ring_.data() + offset, bytes.data(), size);
  SDL_UnlockAudioDevice(device_);
}

void SdlSoundDevice::play() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlSoundDevice::stop() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

std::vector<uint8_t> SdlSoundDevice::snapshotRing() {
  if (device_ == 0) return ring_;
  SDL_LockAudioDevice(device_);
  std::vector<uint8_t> copy = ring_;
  SDL_UnlockAudioDevice(device_);
  return copy;
}

void SDLCALL SdlSoundDevice::fillDeviceBuffer(void* self, Uint8* stream, int len) {
  auto* device = static_cast<SdlSoundDevice*>(self);
  uint32_t cursor = device->cursor_.load(std::memory_order_relaxed);
  size_t left = size_t(len);
  while (left > 0) {
    const size_t piece = std::min<size_t>(left, kRingBytes - cursor);
    std::memcpy(stream, device->ring_.data() + cursor, piece);
    stream += piece;
    left -= piece;
    cursor = uint32_t((cursor + piece) % kRingBytes);
  }
  device->cursor_.store(cursor, std::memory_order_release);
}

}  // namespace wc
