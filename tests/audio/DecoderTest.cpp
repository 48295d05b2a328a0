#include <gtest/gtest.h>

#include <cmath>

#include "audio/Decoder.h"
#include "support/AdpcmTestClips.h"

namespace wc {
namespace {

using test::adpcmFrame;
using test::AdpcmFrame;
using test::constantFrame;

std::array<int16_t, 28> decode(const AdpcmFrame& frame, DecoderState& state) {
  std::array<int16_t, 28> out{};
  decodeFrame(frame.data(), out.data(), state);
  return out;
}

TEST(DecoderTest, NibbleBecomesTopBitsShiftedArithmetically) {
  struct Case {
    uint8_t nibble;
    int shift;
    double expanded;  // the filter output with filter 0
    int16_t sample;   // expanded + 0.5, truncated toward zero
  };
  for (const Case c : {Case{8, 0, -32768, -32767}, Case{7, 12, 7, 7}, Case{15, 15, -1, 0}, Case{1, 0, 4096, 4096},
                       Case{8, 12, -8, -7}, Case{7, 0, 28672, 28672}, Case{1, 13, 0, 0}, Case{12, 4, -1024, -1023}}) {
    DecoderState state;
    const auto out = decode(constantFrame(0, c.shift, c.nibble), state);
    EXPECT_EQ(state.h1, c.expanded) << "nibble " << int(c.nibble) << " shift " << c.shift;
    EXPECT_EQ(out[0], c.sample) << "nibble " << int(c.nibble) << " shift " << c.shift;
  }
}

TEST(DecoderTest, LowNibbleIsTheEarlierSample) {
  std::array<int8_t, 28> values;
  for (int j = 0; j < 28; ++j) values[size_t(j)] = int8_t(j % 16 - 8);
  DecoderState state;
  const auto out = decode(test::smallValuesFrame(values), state);
  for (int j = 0; j < 28; ++j) EXPECT_EQ(out[size_t(j)], test::decodedValue(values[size_t(j)])) << j;
  // Byte 2 holds samples 0 (low) and 1 (high).
  const AdpcmFrame f = test::smallValuesFrame(values);
  EXPECT_EQ(f[2], uint8_t((values[1] & 15) << 4 | (values[0] & 15)));
}

TEST(DecoderTest, FilterOneDecaysFromHistoryAndKeepsUnroundedValues) {
  DecoderState state{1000.0, 0.0};
  const auto out = decode(constantFrame(1, 0, 0), state);
  EXPECT_EQ(out[0], 938);  // y = 937.5
  EXPECT_EQ(out[1], 879);  // y = 878.90625 = 0.9375 * 937.5, not 0.9375 * 938
  double y = 1000.0;
  for (int j = 0; j < 28; ++j) y *= 0.9375;
  EXPECT_EQ(state.h1, y);
  EXPECT_EQ(state.h2, y / 0.9375);
}

TEST(DecoderTest, RoundingAddsHalfThenTruncatesTowardZero) {
  EXPECT_EQ(filterOutputToSample(2.5), 3);
  EXPECT_EQ(filterOutputToSample(-2.5), -2);
  EXPECT_EQ(filterOutputToSample(-1.7), -1);
  EXPECT_EQ(filterOutputToSample(-0.6), 0);
  EXPECT_EQ(filterOutputToSample(32766.6), 32767);
  EXPECT_EQ(filterOutputToSample(1e9), 32767);
  EXPECT_EQ(filterOutputToSample(-32768.9), -32768);
  EXPECT_EQ(filterOutputToSample(-1e9), -32768);
}

TEST(DecoderTest, ClampedOutputsLeaveTheHistoryUnclamped) {
  // Filter 1 with nibble 7 at shift 0 drives the filter far past full scale.
  DecoderState state;
  const auto loud = decode(constantFrame(1, 0, 7), state);
  EXPECT_EQ(loud[0], 28672);
  for (int j = 1; j < 28; ++j) EXPECT_EQ(loud[size_t(j)], 32767) << j;
  EXPECT_GT(state.h1, 300000.0);

  // Silence decays the true, unclamped value: the outputs stay at 32767 for
  // as long as it exceeds the range (a decoder feeding back 32767 would drop
  // to 30719 at once), then follow it exactly.
  double y = state.h1;
  int clampedSamples = 0;
  for (int frame = 0; frame < 4; ++frame) {
    const auto decay = decode(constantFrame(1, 0, 0), state);
    for (int j = 0; j < 28; ++j) {
      y *= 0.9375;
      EXPECT_EQ(decay[size_t(j)], filterOutputToSample(y)) << frame << ":" << j;
      clampedSamples += decay[size_t(j)] == 32767;
    }
  }
  EXPECT_EQ(state.h1, y);
  EXPECT_GT(clampedSamples, 28);
  EXPECT_LT(clampedSamples, 4 * 28);
}

TEST(DecoderTest, FiltersFiveToFifteenDecodeAsFilterZero) {
  for (int filter = 5; filter <= 15; ++filter) {
    DecoderState state{1234.5, -321.25};
    const auto out = decode(constantFrame(filter, 12, 13), state);
    for (int16_t s : out) EXPECT_EQ(s, -2) << filter;  // e = -3 every time
    EXPECT_EQ(state.h1, -3.0);
    EXPECT_EQ(state.h2, -3.0);
  }
}

TEST(DecoderTest, FlagsByteIsIgnored) {
  AdpcmFrame a = constantFrame(2, 3, 9);
  AdpcmFrame b = a;
  a[1] = 0x00;
  b[1] = 0xff;
  DecoderState sa{10.0, 20.0}, sb{10.0, 20.0};
  EXPECT_EQ(decode(a, sa), decode(b, sb));
  EXPECT_EQ(sa.h1, sb.h1);
  EXPECT_EQ(sa.h2, sb.h2);
}

TEST(DecoderTest, ZeroFrameWithZeroStateStaysZero) {
  DecoderState state;
  const auto out = decode(AdpcmFrame{}, state);
  for (int16_t s : out) EXPECT_EQ(s, 0);
  EXPECT_EQ(state.h1, 0.0);
  EXPECT_EQ(state.h2, 0.0);
}

// The filter sum must be two rounded products and two rounded additions. A
// build that fuses a multiply and an add (floating-point contraction) gives
// different histories for these inputs, so it fails here.
TEST(DecoderTest, FilterSumIsNeverFused) {
  const double c0 = 1.796875, c1 = -0.8125;  // filter 2
  const DecoderState start{1000.1, -517.3};
  auto run = [&](auto step) {
    DecoderState s = start;
    for (int j = 0; j < 28; ++j) {
      const double y = step(s.h1, s.h2);
      s.h2 = s.h1;
      s.h1 = y;
    }
    return s;
  };
  const DecoderState plain = run([&](double h1, double h2) { return (c1 * h2 + c0 * h1) + 0.0; });
  const DecoderState fusedOld = run([&](double h1, double h2) { return std::fma(c1, h2, c0 * h1); });
  const DecoderState fusedNew = run([&](double h1, double h2) { return std::fma(c0, h1, c1 * h2); });
  ASSERT_NE(plain.h1, fusedOld.h1);  // the inputs do tell the variants apart
  ASSERT_NE(plain.h1, fusedNew.h1);

  DecoderState state = start;
  decode(constantFrame(2, 0, 0), state);
  EXPECT_EQ(state.h1, plain.h1);
  EXPECT_EQ(state.h2, plain.h2);
}

TEST(DecoderTest, EveryFilterRowMatchesItsCoefficients) {
  const double c0[5] = {0.0, 60 / 64.0, 115 / 64.0, 98 / 64.0, 122 / 64.0};
  const double c1[5] = {0.0, 0.0, -52 / 64.0, -55 / 64.0, -60 / 64.0};
  for (int filter = 0; filter < 5; ++filter) {
    std::array<uint8_t, 28> nibbles;
    for (int j = 0; j < 28; ++j) nibbles[size_t(j)] = uint8_t((j * 5 + filter) & 15);
    DecoderState state{300.25, -150.5};
    const auto out = decode(adpcmFrame(filter, 9, nibbles), state);
    double h1 = 300.25, h2 = -150.5;
    for (int j = 0; j < 28; ++j) {
      const int e = int(int16_t(uint16_t(nibbles[size_t(j)] << 12))) >> 9;
      const double y = (c1[filter] * h2 + c0[filter] * h1) + e;
      h2 = h1;
      h1 = y;
      EXPECT_EQ(out[size_t(j)], filterOutputToSample(y)) << "filter " << filter << " sample " << j;
    }
    EXPECT_EQ(state.h1, h1);
    EXPECT_EQ(state.h2, h2);
  }
}

}  // namespace
}  // namespace wc
