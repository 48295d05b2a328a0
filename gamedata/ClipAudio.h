#pragma once
// One clip's bytes as read from its stream pack: an 8068-byte header, then
// chunks of 135168 bytes (4096 skipped, 4096 left frames, 4096 right frames,
// 16 bytes each). The header's channel length may claim more than the buffer
// holds; every accessor here stops at the end of the buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wc {

class ClipAudio {
 public:
  static constexpr size_t kHeaderSize = 8068;
  static constexpr size_t kChannelLengthOffset = 8016;
  static constexpr size_t kChunkSize = 135168;
  static constexpr size_t kLeftOffset = 4096;
  static constexpr size_t kRightOffset = 69632;
  static constexpr uint32_t kFramesPerChunk = 4096;
  static constexpr size_t kFrameSize = 16;
  static constexpr uint32_t kSamplesPerFrame = 28;

  explicit ClipAudio(std::vector<uint8_t> bytes);

  const uint8_t* data() const { return bytes_.data(); }
  size_t size() const { return bytes_.size(); }

  // Bytes of ADPCM data per channel as the header says (0 if the buffer is
  // too short to hold the field).
  uint32_t channelLength() const { return channelLength_; }
  // Frames per channel that can be decoded: the header's count, cut short
  // where the buffer ends.
  uint32_t frames() const { return frames_; }
  uint32_t chunkCount() const { return (frames_ + kFramesPerChunk - 1) / kFramesPerChunk; }
  // Frames per channel held by chunk k (0 past the last chunk).
  uint32_t framesInChunk(uint32_t chunk) const;
  // Samples per channel at 24000 Hz.
  int64_t samples() const { return int64_t(frames_) * kSamplesPerFrame; }

  // The 16-byte frame i (0..4095) of a chunk; null outside the decodable range.
  const uint8_t* leftFrame(uint32_t chunk, uint32_t i) const;
  const uint8_t* rightFrame(uint32_t chunk, uint32_t i) const;

 private:
  std::vector<uint8_t> bytes_;
  uint32_t channelLength_ = 0;
  uint32_t frames_ = 0;
};

}  // namespace wc
