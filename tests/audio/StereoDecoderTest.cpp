// The two-lane decoder against the one-channel decoder: the same samples and
// the same unrounded histories, bit for bit.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/Decoder.h"
#include "audio/StereoDecoder.h"

namespace wc {
namespace {

uint32_t nextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Random frames with every filter byte (filters 5..15 and shifts up to 15
// included), run long enough that unstable filter choices drive the history
// far beyond the 16-bit range and the clamp works on both sides.
TEST(StereoDecoderTest, MatchesTheOneChannelDecoderBitForBit) {
  uint32_t random = 1;
  DecoderState monoLeft, monoRight, stereoLeft, stereoRight, scaledLeftState, scaledRightState;
  for (int n = 0; n < 200000; ++n) {
    uint8_t left[16], right[16];
    for (int b = 0; b < 16; ++b) {
      left[b] = uint8_t(nextRandom(random) >> 24);
      right[b] = uint8_t(nextRandom(random) >> 24);
    }
    if (n % 5000 == 0) {  // restart from a fresh history now and then
      monoLeft = monoRight = stereoLeft = stereoRight = scaledLeftState = scaledRightState = DecoderState{};
    }
    int16_t expectedLeft[28], expectedRight[28], actualLeft[28], actualRight[28];
    decodeFrame(left, expectedLeft, monoLeft);
    decodeFrame(right, expectedRight, monoRight);
    decodeStereoFrame(left, right, actualLeft, actualRight, stereoLeft, stereoRight);
    ASSERT_EQ(0, std::memcmp(expectedLeft, actualLeft, sizeof actualLeft)) << n;
    ASSERT_EQ(0, std::memcmp(expectedRight, actualRight, sizeof actualRight)) << n;
    ASSERT_TRUE(sameBits(monoLeft.h1, stereoLeft.h1) && sameBits(monoLeft.h2, stereoLeft.h2)) << n;
    ASSERT_TRUE(sameBits(monoRight.h1, stereoRight.h1) && sameBits(monoRight.h2, stereoRight.h2)) << n;
    // The export's variant: the same samples over 32768 and the same histories.
    float scaledLeft[28], scaledRight[28];
    decodeStereoFrameScaled(left, right, scaledLeft, scaledRight, scaledLeftState, scaledRightState);
    for (int j = 0; j < 28; ++j) {
      ASSERT_EQ(scaledLeft[j], float(expectedLeft[j]) / 32768.0f) << n << " " << j;
      ASSERT_EQ(scaledRight[j], float(expectedRight[j]) / 32768.0f) << n << " " << j;
    }
    ASSERT_TRUE(sameBits(monoLeft.h1, scaledLeftState.h1) && sameBits(monoRight.h2, scaledRightState.h2)) << n;
  }
}

TEST(StereoDecoderTest, ChannelsKeepTheirOwnHistory) {
  // Filter 1 with zero nibbles continues each channel's own history.
  const uint8_t predict[16] = {0x10, 0};
  DecoderState left{1000.0, 0.0}, right{-2000.0, 0.0};
  int16_t l[28], r[28];
  decodeStereoFrame(predict, predict, l, r, left, right);
  EXPECT_EQ(l[0], 938);    // 937.5 rounds half up
  EXPECT_EQ(r[0], -1874);  // -1875 + 0.5 truncates toward zero
  EXPECT_GT(left.h1, 0.0);
  EXPECT_LT(right.h1, 0.0);
  EXPECT_EQ(right.h1, -2.0 * left.h1);  // scaling by -2 is exact at every step
}

}  // namespace
}  // namespace wc
