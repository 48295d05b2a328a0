#include <gtest/gtest.h>

#include <vector>

#include "audio/Decoder.h"
#include "base/LittleEndian.h"
#include "gamedata/ClipAudio.h"
#include "testkit/discgen/AdpcmEncoder.h"
#include "testkit/discgen/ClipBuilder.h"

namespace wc {
namespace {

// Frames whose bytes say which channel and frame they are, so a misplaced
// frame is caught wherever it lands.
std::vector<uint8_t> labelledFrames(uint32_t count, uint8_t channel) {
  std::vector<uint8_t> bytes(size_t(count) * 16);
  for (uint32_t f = 0; f < count; ++f) {
    uint8_t* p = bytes.data() + size_t(f) * 16;
    p[0] = channel;
    writeU32LE(p + 4, f);
    p[15] = 0xA0 | channel;
  }
  return bytes;
}

bool allZero(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

TEST(ClipBuilderTest, ChunkBytesRoundUpToWholeChunks) {
  EXPECT_EQ(clipChunkBytes(0), 0u);
  EXPECT_EQ(clipChunkBytes(1), 135168u);
  EXPECT_EQ(clipChunkBytes(4096), 135168u);
  EXPECT_EQ(clipChunkBytes(4097), 2u * 135168u);
  EXPECT_EQ(clipChunkBytes(3 * 4096), 3u * 135168u);
}

TEST(ClipBuilderTest, FramesPastAChunkGoToTheNextChunksRegions) {
  const EncodedClip clip{labelledFrames(4097, 1), labelledFrames(4097, 2)};
  const std::vector<uint8_t> bytes = layOutClip(clip);
  ASSERT_EQ(bytes.size(), 8068u + 2 * 135168u);

  // The header is zero but for the channel length.
  EXPECT_EQ(readU32LE(bytes.data() + 8016), 4097u * 16u);
  EXPECT_TRUE(allZero(bytes, 0, 8016));
  EXPECT_TRUE(allZero(bytes, 8020, 8068));

  const size_t chunk0 = 8068, chunk1 = 8068 + 135168;
  EXPECT_TRUE(allZero(bytes, chunk0, chunk0 + 4096));
  EXPECT_EQ(bytes[chunk0 + 4096], 1);
  EXPECT_EQ(readU32LE(&bytes[chunk0 + 4096 + 4095 * 16 + 4]), 4095u);
  EXPECT_EQ(bytes[chunk0 + 69632], 2);
  EXPECT_EQ(readU32LE(&bytes[chunk0 + 69632 + 4095 * 16 + 4]), 4095u);

  // The second chunk holds frame 4096 of each channel at its start, then zeros.
  EXPECT_TRUE(allZero(bytes, chunk1, chunk1 + 4096));
  EXPECT_EQ(bytes[chunk1 + 4096], 1);
  EXPECT_EQ(readU32LE(&bytes[chunk1 + 4096 + 4]), 4096u);
  EXPECT_TRUE(allZero(bytes, chunk1 + 4096 + 16, chunk1 + 69632));
  EXPECT_EQ(bytes[chunk1 + 69632], 2);
  EXPECT_EQ(readU32LE(&bytes[chunk1 + 69632 + 4]), 4096u);
  EXPECT_TRUE(allZero(bytes, chunk1 + 69632 + 16, bytes.size()));

  // The program's own reader agrees.
  const ClipAudio audio(bytes);
  EXPECT_EQ(audio.frames(), 4097u);
  EXPECT_EQ(audio.chunkCount(), 2u);
  ASSERT_NE(audio.leftFrame(1, 0), nullptr);
  EXPECT_EQ(readU32LE(audio.leftFrame(1, 0) + 4), 4096u);
  EXPECT_EQ(audio.rightFrame(1, 0)[0], 2);
}

TEST(ClipBuilderTest, ExactlyOneChunkAndEmptyClips) {
  const std::vector<uint8_t> full = layOutClip({labelledFrames(4096, 1), labelledFrames(4096, 2)});
  EXPECT_EQ(full.size(), 8068u + 135168u);
  EXPECT_EQ(readU32LE(full.data() + 8016), 65536u);
  EXPECT_EQ(full[8068 + 69632 + 4095 * 16 + 15], 0xA2);

  const std::vector<uint8_t> empty = layOutClip({});
  EXPECT_EQ(empty.size(), 8068u);
  EXPECT_TRUE(allZero(empty, 0, empty.size()));
}

TEST(ClipBuilderTest, ShorterChannelIsCompletedWithZeroFrames) {
  const std::vector<uint8_t> bytes = layOutClip({labelledFrames(10, 1), labelledFrames(7, 2)});
  EXPECT_EQ(readU32LE(bytes.data() + 8016), 160u);
  EXPECT_EQ(bytes[8068 + 69632 + 6 * 16], 2);
  EXPECT_TRUE(allZero(bytes, 8068 + 69632 + 7 * 16, bytes.size()));
}

TEST(ClipBuilderTest, StereoChannelsAreEncodedIndependently) {
  // Left loud music, right a quiet sine: a shared history would bleed one
  // into the other.
  StereoSignal signal = makeMusic(28 * 300, 4);
  const StereoSignal quiet = makeSine(28 * 300, 300.0, 300.0, 0.01);
  signal.right = quiet.right;
  const std::vector<uint8_t> bytes = layOutClip(encodeStereo(signal));
  const ClipAudio audio(bytes);
  ASSERT_EQ(audio.frames(), 300u);

  DecoderState left, right;
  int16_t l[28], r[28];
  int worstRight = 0;
  for (uint32_t i = 0; i < audio.framesInChunk(0); ++i) {
    decodeFrame(audio.leftFrame(0, i), l, left);
    decodeFrame(audio.rightFrame(0, i), r, right);
    for (int j = 0; j < 28; ++j) worstRight = std::max(worstRight, std::abs(r[j] - signal.right[i * 28 + j]));
  }
  EXPECT_LE(worstRight, 4);
}

}  // namespace
}  // namespace wc
