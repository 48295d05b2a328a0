#include "gamedata/ClipAudio.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace wc {

ClipAudio::ClipAudio(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
  if (bytes_.size() < kChannelLengthOffset + 4) return;
  channelLength_ = readU32LE(bytes_.data() + kChannelLengthOffset);
  const uint32_t claimed = channelLength_ >> 4;
  if (bytes_.size() <= kHeaderSize) return;

  // Frames are walked in address order (left and right of frame i share a
  // chunk, the right one lies higher), so the decodable frames are those whose
  // right frame ends inside the buffer.
  const uint64_t audioBytes = bytes_.size() - kHeaderSize;
  const uint64_t wholeChunks = audioBytes / kChunkSize;
  const uint64_t tail = audioBytes % kChunkSize;
  uint64_t available = wholeChunks * kFramesPerChunk;
  if (tail > kRightOffset) available += std::min<uint64_t>((tail - kRightOffset) / kFrameSize, kFramesPerChunk);
  frames_ = uint32_t(std::min<uint64_t>(claimed, available));
}

uint32_t ClipAudio::framesInChunk(uint32_t chunk) const {
  const uint64_t first = uint64_t(chunk) * kFramesPerChunk;
  if (first >= frames_) return 0;
  return uint32_t(std::min<uint64_t>(kFramesPerChunk, frames_ - first));
}

const uint8_t* ClipAudio::leftFrame(uint32_t chunk, uint32_t i) const {
  if (i >= framesInChunk(chunk)) return nullptr;
  return bytes_.data() + kHeaderSize + uint64_t(chunk) * kChunkSize + kLeftOffset + uint64_t(i) * kFrameSize;
}

const uint8_t* ClipAudio::rightFrame(uint32_t chunk, uint32_t i) const {
  if (i >= framesInChunk(chunk)) return nullptr;
  return bytes_.data() + kHeaderSize + uint64_t(chunk) * kChunkSize + kRightOffset + uint64_t(i) * kFrameSize;
}

}  // namespace wc
