#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "audio/Decoder.h"
#include "testkit/discgen/AdpcmEncoder.h"
#include "testkit/discgen/Signals.h"

namespace wc {
namespace {

// Decodes consecutive frames from a zeroed history, as a player walks one channel.
std::vector<int16_t> decodeChannel(const std::vector<uint8_t>& frames) {
  std::vector<int16_t> out(frames.size() / kAdpcmFrameBytes * kSamplesPerFrame);
  DecoderState state;
  for (size_t f = 0; f * kAdpcmFrameBytes < frames.size(); ++f)
    decodeFrame(frames.data() + f * kAdpcmFrameBytes, out.data() + f * kSamplesPerFrame, state);
  return out;
}

double snrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded) {
  double signal = 0.0, noise = 0.0;
  for (size_t i = 0; i < original.size(); ++i) {
    signal += double(original[i]) * original[i];
    const double d = double(decoded[i]) - original[i];
    noise += d * d;
  }
  return noise == 0.0 ? INFINITY : 10.0 * std::log10(signal / noise);
}

int maxAbsError(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded, size_t from = 0) {
  int worst = 0;
  for (size_t i = from; i < original.size(); ++i) worst = std::max(worst, std::abs(decoded[i] - original[i]));
  return worst;
}

std::vector<int16_t> roundTrip(const std::vector<int16_t>& samples) {
  std::vector<int16_t> decoded = decodeChannel(encodeChannel(samples));
  decoded.resize(samples.size());
  return decoded;
}

TEST(AdpcmEncoderTest, MusicRoundTripKeepsAHighSignalToNoiseRatio) {
  const StereoSignal music = makeMusic(samplesFor(6.0), 7);
  const double left = snrDb(music.left, roundTrip(music.left));
  const double right = snrDb(music.right, roundTrip(music.right));
  RecordProperty("snr_left_db", std::to_string(left));
  RecordProperty("snr_right_db", std::to_string(right));
  std::printf("music round trip SNR: left %.1f dB, right %.1f dB\n", left, right);
  EXPECT_GT(left, 30.0);
  EXPECT_GT(right, 30.0);
}

TEST(AdpcmEncoderTest, NoiseAndSpeechRoundTripsStayWellAboveTwentyDecibels) {
  const StereoSignal noise = makeNoise(samplesFor(1.0), 3, 0.5);
  EXPECT_GT(snrDb(noise.left, roundTrip(noise.left)), 20.0);
  const StereoSignal babble = makeBabble(samplesFor(2.0), 11);
  EXPECT_GT(snrDb(babble.left, roundTrip(babble.left)), 30.0);
}

TEST(AdpcmEncoderTest, QuietSignalsUseTheFinestStepsAndComeBackAlmostExactly) {
  // Amplitude 60: only shifts near 12 can follow it; a coarse encoder would
  // leave errors in the hundreds.
  const StereoSignal quiet = makeSine(2000, 440.0, 440.0, 60.0 / 32767.0);
  const std::vector<int16_t> decoded = roundTrip(quiet.left);
  EXPECT_GT(snrDb(quiet.left, decoded), 30.0);
  EXPECT_LE(maxAbsError(quiet.left, decoded), 4);
}

TEST(AdpcmEncoderTest, FramesHaveAKnownFilterAShiftUpToTwelveAndZeroFlags) {
  const StereoSignal music = makeMusic(samplesFor(1.0), 2);
  const std::vector<uint8_t> frames = encodeChannel(music.left);
  ASSERT_EQ(frames.size(), (music.samples() + 27) / 28 * 16);
  bool usedPrediction = false;
  for (size_t f = 0; f < frames.size(); f += kAdpcmFrameBytes) {
    EXPECT_LE(frames[f] >> 4, 4) << "frame " << f / 16;
    EXPECT_LE(frames[f] & 15, kMaxEncoderShift) << "frame " << f / 16;
    EXPECT_EQ(frames[f + 1], 0) << "frame " << f / 16;
    usedPrediction |= (frames[f] >> 4) >= 2;
  }
  EXPECT_TRUE(usedPrediction) << "music should be coded with the second-order filters";
}

TEST(AdpcmEncoderTest, PartialLastFrameIsCompletedWithSilence) {
  std::vector<int16_t> samples(30, 12000);
  const std::vector<uint8_t> frames = encodeChannel(samples);
  ASSERT_EQ(frames.size(), 32u);
  const std::vector<int16_t> decoded = decodeChannel(frames);
  EXPECT_LE(maxAbsError(samples, decoded), 400);
  for (size_t i = 31; i < 56; ++i) EXPECT_LE(std::abs(decoded[i]), 40) << "sample " << i;
  EXPECT_TRUE(encodeChannel({}).empty());
}

// Full scale is where a careless encoder lets the filter output run past
// the 16-bit range: the sample clamps, but the unclamped history then
// predicts wildly and later samples come out wrong or with the wrong sign.
TEST(AdpcmEncoderTest, FullScaleSignalsStayCloseAndNeverFlipSign) {
  // Edges every 150 samples between the rails. A frame holding an edge needs
  // the coarsest step for all its samples, and the next one settles; every
  // other frame must sit on the rail.
  std::vector<int16_t> square(28 * 200);
  for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 150) % 2 ? -32768 : 32767;
  const std::vector<int16_t> decoded = roundTrip(square);
  EXPECT_GT(snrDb(square, decoded), 25.0);
  for (size_t frame = 0; frame < 200; ++frame) {
    const size_t first = frame * 28;
    const bool nearEdge = (first + 27) / 150 != (first >= 28 ? (first - 28) / 150 : 0) || frame == 0;
    if (nearEdge) continue;
    for (size_t i = first; i < first + 28; ++i) ASSERT_LE(std::abs(decoded[i] - square[i]), 256) << "sample " << i;
  }

  const StereoSignal sine = makeSine(samplesFor(0.5), 1000.0, 97.0, 1.0);
  for (const auto* channel : {&sine.left, &sine.right}) {
    const std::vector<int16_t> out = roundTrip(*channel);
    EXPECT_GT(snrDb(*channel, out), 30.0);
    for (size_t i = 0; i < out.size(); ++i) {
      if (std::abs((*channel)[i]) > 8000) {
        ASSERT_EQ((*channel)[i] > 0, out[i] > 0) << "sample " << i;
      }
    }
  }
}

TEST(AdpcmEncoderTest, ConstantFullScaleSettlesOnTheExactRails) {
  // The decoder gives -32768 only for a filter output below -32768.5 (it
  // rounds negative values toward zero), which the power-of-two steps from a
  // history sitting on the rail cannot reach without overshooting: -32767
  // is the closest the encoder may settle on.
  for (const int16_t level : {int16_t(32767), int16_t(-32768)}) {
    const std::vector<int16_t> samples(28 * 20, level);
    const std::vector<int16_t> decoded = roundTrip(samples);
    EXPECT_LE(maxAbsError(samples, decoded, 28), 256) << "level " << level;
    EXPECT_LE(maxAbsError(samples, decoded, 28 * 4), level < 0 ? 1 : 0) << "level " << level;
  }
}

}  // namespace
}  // namespace wc
