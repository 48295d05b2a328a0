#include "testkit/discgen/ClipBuilder.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"
#include "gamedata/ClipAudio.h"
#include "testkit/discgen/AdpcmEncoder.h"

namespace wc {

uint32_t EncodedClip::frames() const { return uint32_t(std::max(left.size(), right.size()) / ClipAudio::kFrameSize); }

EncodedClip encodeStereo(const StereoSignal& signal) {
  return EncodedClip{encodeChannel(signal.left), encodeChannel(signal.right)};
}

uint32_t clipChunkBytes(uint32_t framesPerChannel) {
  const uint32_t chunks = (framesPerChannel + ClipAudio::kFramesPerChunk - 1) / ClipAudio::kFramesPerChunk;
  return chunks * uint32_t(ClipAudio::kChunkSize);
}

std::vector<uint8_t> layOutClip(const EncodedClip& clip) {
  const uint32_t frames = clip.frames();
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + clipChunkBytes(frames), 0);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, frames * uint32_t(ClipAudio::kFrameSize));

  // Copies the frames of one channel that belong to each chunk into that
  // chunk's region for the channel.
  auto place = [&](const std::vector<uint8_t>& channel, size_t regionOffset) {
    const size_t chunkBytes = ClipAudio::kFramesPerChunk * ClipAudio::kFrameSize;
    // A trailing partial frame is not part of the clip.
    const size_t used = channel.size() / ClipAudio::kFrameSize * ClipAudio::kFrameSize;
    for (size_t from = 0, chunk = 0; from < used; from += chunkBytes, ++chunk) {
      const size_t n = std::min(chunkBytes, used - from);
      std::memcpy(bytes.data() + ClipAudio::kHeaderSize + chunk * ClipAudio::kChunkSize + regionOffset,
                  channel.data() + from, n);
    }
  };
  place(clip.left, ClipAudio::kLeftOffset);
  place(clip.right, ClipAudio::kRightOffset);
  return bytes;
}

}  // namespace wc
