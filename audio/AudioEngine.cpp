#include "audio/AudioEngine.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/LittleEndian.h"

namespace wc {
AudioEngine::~AudioEngine() { shutdown(); }

bool AudioEngine::start(std::unique_ptr<SoundDevice> device, AudioHost& host) {
  const bool ok = !device_ && device && device->open();
  if (!ok) {
    if (device) device->close();
    host.showAudioError(kStartFailedMessage);
    host.closeMainWindow();
    return false;
  }
  device_ = std::move(device);
  writeOffset_ = 0;
  scratch_.assign(kRingBytes / 2, 0.0f);
  samples_.assign(kRingBytes / 2, 0);
  // No source is linked yet: a second of silence, ahead of playback.
  fillAhead(kRingBytes);
  device_->play();
  return true;
}

void AudioEngine::refillPlayed() {
  if (!device_) return;
  int64_t bytes = int64_t(device_->playCursor() % kRingBytes) - int64_t(writeOffset_);
  if (bytes < 0) bytes += kRingBytes;
  fillAhead(uint32_t(bytes) & ~(SoundDevice::kFrameBytes - 1));
}

void AudioEngine::fillAhead(uint32_t bytes) {
  bytes = std::min(bytes, kRingBytes) & ~(SoundDevice::kFrameBytes - 1);
  if (!device_ || bytes == 0) return;
  SoundDevice::WriteStatus status = device_->prepareWrite();
  if (status == SoundDevice::WriteStatus::Lost) {
    device_->restore();
    status = device_->prepareWrite();
  }
  // A ring that cannot be written now is tried again, with a larger gap, at
  // the next tick; nothing is rendered meanwhile.
  if (status != SoundDevice::WriteStatus::Ok) return;

  const uint32_t first = std::min(bytes, kRingBytes - writeOffset_);
  fillRange(writeOffset_, first);
  if (bytes > first) fillRange(0, bytes - first);
  writeOffset_ += bytes;
  if (writeOffset_ >= kRingBytes) writeOffset_ -= kRingBytes;
}

void AudioEngine::fillRange(uint32_t offset, uint32_t bytes) {
  const int32_t frames = int32_t(bytes / SoundDevice::kFrameBytes);
  mixSources(samples_.data(), frames, scratch_.data());
  if constexpr (std::endian::native != std::endian::little) {
    for (int32_t i = 0; i < 2 * frames; ++i) {
      uint8_t le[2];
      writeU16LE(le, uint16_t(samples_[size_t(i)]));
      std::memcpy(&samples_[size_t(i)], le, 2);
    }
  }
  device_->write(offset, {reinterpret_cast<const uint8_t*>(samples_.data()), bytes});
}

void AudioEngine::pauseOutput() {
  if (device_) device_->stop();
}

void AudioEngine::resumeOutput() {
  if (!device_) return;
  writeOffset_ = 0;
  device_->play();
}

void AudioEngine::resumeSilent() {
  if (!device_) return;
  writeOffset_ = device_->playCursor() % kRingBytes;
  if (device_->prepareWrite() == SoundDevice::WriteStatus::Lost) device_->restore();
  std::fill(samples_.begin(), samples_.end(), int16_t{0});
  const uint32_t first = kRingBytes - writeOffset_;
  const auto* silence = reinterpret_cast<const uint8_t*>(samples_.data());
  device_->write(writeOffset_, {silence, first});
  if (writeOffset_ > 0) device_->write(0, {silence, writeOffset_});
  device_->play();
}

void AudioEngine::shutdown() {
  if (device_) {
    device_->close();
    device_.reset();
  }
  mixer_.detachAll();
}

}  // namespace wc
