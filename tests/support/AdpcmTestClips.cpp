#include "support/AdpcmTestClips.h"

#include <cstring>

#include "base/LittleEndian.h"

namespace wc::test {

AdpcmFrame adpcmFrame(int filter, int shift, const std::array<uint8_t, 28>& nibbles) {
  AdpcmFrame f{};
  f[0] = uint8_t((filter & 15) << 4 | (shift & 15));
  for (int j = 0; j < 28; ++j) {
    const uint8_t n = nibbles[size_t(j)] & 15;
    f[size_t(2 + j / 2)] |= (j & 1) ? uint8_t(n << 4) : n;
  }
  return f;
}

AdpcmFrame constantFrame(int filter, int shift, uint8_t nibble) {
  std::array<uint8_t, 28> nibbles;
  nibbles.fill(nibble);
  return adpcmFrame(filter, shift, nibbles);
}

AdpcmFrame smallValuesFrame(const std::array<int8_t, 28>& values) {
  std::array<uint8_t, 28> nibbles;
  for (size_t j = 0; j < 28; ++j) nibbles[j] = uint8_t(values[j] & 15);
  return adpcmFrame(0, 12, nibbles);
}

TestClip& TestClip::add(const AdpcmFrame& left, const AdpcmFrame& right) {
  left_.push_back(left);
  right_.push_back(right);
  return *this;
}

TestClip& TestClip::addRepeated(uint32_t count, const AdpcmFrame& left, const AdpcmFrame& right) {
  for (uint32_t i = 0; i < count; ++i) add(left, right);
  return *this;
}

TestClip& TestClip::remainder(uint32_t bytes) {
  remainder_ = bytes;
  return *this;
}

TestClip& TestClip::claimChannelLength(uint32_t bytes) {
  claimed_ = true;
  claimedLength_ = bytes;
  return *this;
}

std::vector<uint8_t> TestClip::bytes() const {
  const uint32_t n = frames();
  const size_t chunks = (n + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk;
  std::vector<uint8_t> out(ClipAudio::kHeaderSize + chunks * ClipAudio::kChunkSize, 0);
  writeU32LE(out.data() + ClipAudio::kChannelLengthOffset,
             claimed_ ? claimedLength_ : n * uint32_t(ClipAudio::kFrameSize) + remainder_);
  for (uint32_t i = 0; i < n; ++i) {
    const size_t chunk = ClipAudio::kHeaderSize + (i / ClipAudio::kFramesPerChunk) * ClipAudio::kChunkSize;
    const size_t within = (i % ClipAudio::kFramesPerChunk) * ClipAudio::kFrameSize;
    std::memcpy(out.data() + chunk + ClipAudio::kLeftOffset + within, left_[i].data(), 16);
    std::memcpy(out.data() + chunk + ClipAudio::kRightOffset + within, right_[i].data(), 16);
  }
  return out;
}

std::unique_ptr<ClipAudio> TestClip::build() const { return std::make_unique<ClipAudio>(bytes()); }

std::unique_ptr<ClipAudio> randomClip(uint32_t frames, uint32_t seed) {
  uint32_t state = seed;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  auto frame = [&] {
    std::array<uint8_t, 28> nibbles;
    for (auto& n : nibbles) n = uint8_t(next() & 15);
    return adpcmFrame(int(next() % 5), int(4 + next() % 9), nibbles);
  };
  TestClip clip;
  for (uint32_t i = 0; i < frames; ++i) {
    const AdpcmFrame left = frame();
    clip.add(left, frame());
  }
  return clip.build();
}

}  // namespace wc::test
