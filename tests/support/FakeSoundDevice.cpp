#include "support/FakeSoundDevice.h"

#include <algorithm>
#include <cstring>

namespace wc {

void FakeSoundDevice::advance(uint32_t bytes) {
  if (playing_) cursor_ = uint32_t((uint64_t(cursor_) + bytes) % kRingBytes);
}

int16_t FakeSoundDevice::sampleAt(uint32_t byteOffset) const {
  byteOffset %= kRingBytes;
  return int16_t(uint16_t(ring_[byteOffset] | ring_[(byteOffset + 1) % kRingBytes] << 8));
}

bool FakeSoundDevice::open() {
  ++openCalls;
  if (failOpen) return false;
  std::fill(ring_.begin(), ring_.end(), uint8_t(0));
  cursor_ = 0;
  playing_ = false;
  open_ = true;
  return true;
}

void FakeSoundDevice::close() {
  ++closeCalls;
  open_ = false;
  playing_ = false;
}

SoundDevice::WriteStatus FakeSoundDevice::prepareWrite() {
  ++prepareCalls;
  if (!open_) return WriteStatus::Failed;
  if (lostWrites > 0) {
    --lostWrites;
    return WriteStatus::Lost;
  }
  if (failedWrites > 0) {
    --failedWrites;
    return WriteStatus::Failed;
  }
  return WriteStatus::Ok;
}

void FakeSoundDevice::write(uint32_t offset, std::span<const uint8_t> bytes) {
  writes_.push_back({offset, uint32_t(bytes.size())});
  if (offset >= kRingBytes) return;
  const size_t size = std::min<size_t>(bytes.size(), kRingBytes - offset);
  std::memcpy(ring_.data() + offset, bytes.data(), size);
}

bool FakeSoundDevice::restore() {
  ++restoreCalls;
  return !failRestore;
}

void FakeSoundDevice::play() {
  ++playCalls;
  if (open_) playing_ = true;
}

void FakeSoundDevice::stop() {
  ++stopCalls;
  playing_ = false;
}

}  // namespace wc
