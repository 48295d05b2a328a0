#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "audio/WaveWriter.h"
#include "base/LittleEndian.h"
#include "support/MemoryOutputFile.h"

namespace wc {
namespace {

struct WaveFile {
  uint32_t riffSize, sampleRate, byteRate, dataSize;
  std::vector<int16_t> samples;  // interleaved
};

WaveFile parse(const std::vector<uint8_t>& b) {
  EXPECT_GE(b.size(), 44u);
  if (b.size() < 44) return {};
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(readU32LE(&b[16]), 16u);
  EXPECT_EQ(readU16LE(&b[20]), 1);
  EXPECT_EQ(readU16LE(&b[22]), 2);
  EXPECT_EQ(readU16LE(&b[32]), 4);
  EXPECT_EQ(readU16LE(&b[34]), 16);
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  WaveFile w{readU32LE(&b[4]), readU32LE(&b[24]), readU32LE(&b[28]), readU32LE(&b[40]), {}};
  for (size_t i = 44; i + 1 < b.size(); i += 2) w.samples.push_back(int16_t(readU16LE(&b[i])));
  return w;
}

class WaveWriterTest : public ::testing::Test {
 protected:
  void open(int32_t outRate) { ASSERT_TRUE(writer.open(MemoryOutputFile::on(contents), 24000, outRate)); }
  WaveFile finish() {
    EXPECT_TRUE(writer.finish());
    EXPECT_TRUE(contents.closed);
    return parse(contents.bytes);
  }
  MemoryFileContents contents;
  WaveWriter writer;
};

TEST_F(WaveWriterTest, EmptyWriterGivesA44ByteFile) {
  for (int32_t rate : {44100, 24000}) {
    contents = {};
    open(rate);
    const WaveFile w = finish();
    EXPECT_EQ(contents.bytes.size(), 44u);
    EXPECT_EQ(w.dataSize, 0u);
    EXPECT_EQ(w.riffSize, 36u);
    EXPECT_EQ(w.sampleRate, uint32_t(rate));
    EXPECT_EQ(w.byteRate, uint32_t(rate) * 4);
  }
}

// Until finish() the file reads as a wave file that claims nothing: a crash
// mid-export leaves a recognisable, empty-looking file, never stale sizes.
TEST(WaveWriterPlaceholder, HeaderClaimsNothingUntilFinish) {
  for (int32_t rate : {44100, 24000}) {
    MemoryFileContents contents;
    WaveWriter writer;
    ASSERT_TRUE(writer.open(MemoryOutputFile::on(contents), 24000, rate));
    ASSERT_EQ(contents.bytes.size(), 44u);
    // Enough output (over 64 KiB) that the writer hands data to the file.
    for (int i = 0; i < 30000; ++i) writer.pushFrame(0.25f, -0.25f);
    ASSERT_GT(contents.bytes.size(), 44u) << rate;
    const WaveFile running = parse(contents.bytes);
    EXPECT_EQ(running.riffSize, 0u) << rate;
    EXPECT_EQ(running.sampleRate, 0u) << rate;
    EXPECT_EQ(running.byteRate, 0u) << rate;
    EXPECT_EQ(running.dataSize, 0u) << rate;
    ASSERT_TRUE(writer.finish());
    const WaveFile done = parse(contents.bytes);
    EXPECT_EQ(done.sampleRate, uint32_t(rate));
    EXPECT_EQ(uint64_t(done.dataSize) + 44, contents.bytes.size());
  }
}

TEST_F(WaveWriterTest, RateRatiosAndTables) {
  open(44100);
  EXPECT_EQ(writer.phaseCount(), 147);
  EXPECT_EQ(writer.step(), 80);
  // x = (127 - k + p / L) * pi in double, pi the float value widened.
  const double pi = double(3.14159250259399414f);
  bool differsFromTruePi = false;
  for (int p : {1, 13, 80, 146}) {
    for (int k = 0; k < 256; ++k) {
      const double x = (double(127 - k) + double(p) / 147.0) * pi;
      ASSERT_EQ(writer.phaseTable(p)[k], float(std::sin(x) / x)) << p << " " << k;
      const double y = (double(127 - k) + double(p) / 147.0) * M_PI;
      differsFromTruePi |= float(std::sin(y) / y) != writer.phaseTable(p)[k];
    }
  }
  EXPECT_TRUE(differsFromTruePi);  // the choice of pi is visible in the tables
  writer.finish();

  WaveWriter same;
  MemoryFileContents c2;
  ASSERT_TRUE(same.open(MemoryOutputFile::on(c2), 24000, 24000));
  EXPECT_EQ(same.phaseCount(), 1);
  EXPECT_EQ(same.step(), 1);
  same.finish();
}

TEST_F(WaveWriterTest, RefusesBadArguments) {
  EXPECT_FALSE(writer.open(nullptr, 24000, 44100));
  EXPECT_FALSE(writer.open(MemoryOutputFile::on(contents), 0, 44100));
  EXPECT_FALSE(writer.finish());
}

// 80 input frames make 147 output frames; the first output waits for the
// 129th frame, and the first six centre samples give two frames each
// (phases 0, 80 / 13, 93 / ... / 65, 145), the seventh one (78).
TEST_F(WaveWriterTest, OutputFramesFollowThePhaseSequence) {
  open(44100);
  for (int i = 0; i < 128; ++i) writer.pushFrame(0.0f, 0.0f);
  EXPECT_EQ(writer.framesWritten(), 0);
  std::vector<int64_t> written;
  for (int i = 0; i < 80; ++i) {
    writer.pushFrame(0.0f, 0.0f);
    written.push_back(writer.framesWritten());
  }
  EXPECT_EQ(std::vector<int64_t>(written.begin(), written.begin() + 8),
            (std::vector<int64_t>{2, 4, 6, 8, 10, 12, 13, 15}));
  EXPECT_EQ(written.back(), 147);
}

// An independent reading of the interpolator: output frame j lies at input
// time j * 80 / 147; its window holds the 256 inputs from centre - 127 on
// (silence before the first frame); products summed in double in tap order.
TEST_F(WaveWriterTest, InterpolatedFramesMatchTheReference) {
  open(44100);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  const int n = 700;
  std::vector<float> left(n), right(n);
  for (int i = 0; i < n; ++i) {
    left[size_t(i)] = float(sample(random)) / 32768.0f;
    right[size_t(i)] = float(sample(random)) / 32768.0f;
    writer.pushFrame(left[size_t(i)], right[size_t(i)]);
  }
  std::vector<std::vector<float>> tables;
  for (int p = 0; p < 147; ++p) tables.emplace_back(writer.phaseTable(p), writer.phaseTable(p) + 256);
  const WaveFile w = finish();
  ASSERT_EQ(w.samples.size(), size_t(2 * 588 * 3));  // 700 frames: 3 sectors

  auto toPcm = [](float v) {
    const double r = double(v) * 32768.0 + 0.5;
    return int16_t(r >= 32767.0 ? 32767 : r <= -32768.0 ? -32768 : int(r));
  };
  auto input = [](const std::vector<float>& x, int64_t i) {
    return i >= 0 && i < int64_t(x.size()) ? x[size_t(i)] : 0.0f;
  };
  for (int64_t j = 0; j < 588 * 3; ++j) {
    const int64_t centre = j * 80 / 147;
    const int p = int(j * 80 % 147);
    float l, r;
    if (p == 0) {
      l = input(left, centre);
      r = input(right, centre);
    } else {
      double sl = 0.0, sr = 0.0;
      for (int k = 0; k < 256; ++k) {
        sl += double(tables[size_t(p)][size_t(k)]) * double(input(left, centre - 127 + k));
        sr += double(tables[size_t(p)][size_t(k)]) * double(input(right, centre - 127 + k));
      }
      l = float(sl);
      r = float(sr);
    }
    ASSERT_EQ(w.samples[size_t(2 * j)], toPcm(l)) << "frame " << j;
    ASSERT_EQ(w.samples[size_t(2 * j + 1)], toPcm(r)) << "frame " << j;
  }
}

TEST_F(WaveWriterTest, HundredFramesFillOneCdSector) {
  open(44100);
  for (int i = 0; i < 100; ++i) writer.pushFrame(0.25f, -0.25f);
  EXPECT_EQ(writer.sectorsSoFar(), 1);
  const WaveFile w = finish();
  EXPECT_EQ(w.dataSize, 588u * 4);
  EXPECT_EQ(contents.bytes.size(), 44u + w.dataSize);
  EXPECT_EQ(w.riffSize, 36 + w.dataSize);
}

TEST_F(WaveWriterTest, SectorsRoundUp) {
  for (int32_t rate : {24000, 44100}) {
    for (int frames : {320, 321}) {
      contents = {};
      open(rate);
      for (int i = 0; i < frames; ++i) writer.pushFrame(0.0f, 0.0f);
      const int64_t sectors = frames == 320 ? 1 : 2;
      EXPECT_EQ(writer.sectorsSoFar(), sectors);
      const WaveFile w = finish();
      EXPECT_EQ(w.dataSize, uint32_t(rate / 75 * sectors * 4)) << rate << " " << frames;
      EXPECT_EQ(w.dataSize, WaveWriter::predictedDataBytes(frames, 24000, rate));
      EXPECT_EQ(contents.bytes.size(), 44u + w.dataSize);
    }
  }
}

TEST_F(WaveWriterTest, EqualRatesCopyWithTruncatingRounding) {
  open(24000);
  const std::vector<int> input = {-100, 100, 0, -1, 32767, -32768, 5};
  for (int v : input) writer.pushFrame(float(v) / 32768.0f, float(-v) / 32768.0f);
  writer.pushFrame(1.5f, -1.5f);  // beyond full scale
  const WaveFile w = finish();
  ASSERT_EQ(w.samples.size(), 2u * 320);
  const std::vector<int> left = {-99, 100, 0, 0, 32767, -32767, 5, 32767};
  const std::vector<int> right = {100, -99, 0, 1, -32766, 32767, -4, -32768};
  for (size_t i = 0; i < left.size(); ++i) {
    EXPECT_EQ(w.samples[2 * i], left[i]) << i;
    EXPECT_EQ(w.samples[2 * i + 1], right[i]) << i;
  }
  for (size_t i = 2 * left.size(); i < w.samples.size(); ++i) ASSERT_EQ(w.samples[i], 0) << i;
}

TEST_F(WaveWriterTest, FullDiskIsReportedByFinish) {
  contents.capacity = 44 + 1000;
  open(44100);
  for (int i = 0; i < 24000; ++i) writer.pushFrame(0.1f, 0.1f);
  EXPECT_FALSE(writer.finish());
  EXPECT_TRUE(contents.closed);
}

TEST_F(WaveWriterTest, FailedSeekOrCloseIsReportedByFinish) {
  contents.failSeek = true;
  open(24000);
  writer.pushFrame(0.0f, 0.0f);
  EXPECT_FALSE(writer.finish());

  MemoryFileContents other;
  other.failClose = true;
  WaveWriter second;
  ASSERT_TRUE(second.open(MemoryOutputFile::on(other), 24000, 24000));
  EXPECT_FALSE(second.finish());
}

TEST_F(WaveWriterTest, DataBeyondTheHeaderLimitIsRefusedNotWrapped) {
  WaveWriter small(/*maxDataBytes=*/400);
  ASSERT_TRUE(small.open(MemoryOutputFile::on(contents), 24000, 24000));
  for (int i = 0; i < 300; ++i) small.pushFrame(0.5f, 0.5f);
  EXPECT_TRUE(small.failed());
  EXPECT_FALSE(small.finish());
  const WaveFile w = parse(contents.bytes);
  EXPECT_EQ(w.dataSize, 400u);  // what the file holds, never a wrapped size
  EXPECT_EQ(contents.bytes.size(), 444u);
}

TEST(WaveWriterSizeTest, PredictedSizesUse64Bits) {
  // 20 minutes at 24000 Hz: framesPushed * 75 no longer fits 32 bits.
  const int64_t frames = 20LL * 60 * 24000;
  EXPECT_EQ(WaveWriter::predictedDataBytes(frames, 24000, 44100), uint64_t(20 * 60 * 75) * 588 * 4);
  // Seven hours at 44100 Hz do not fit a RIFF file.
  const int64_t long_ = 7LL * 3600 * 24000;
  EXPECT_GT(WaveWriter::predictedDataBytes(long_, 24000, 44100), WaveWriter::kMaxDataBytes);
  EXPECT_LE(WaveWriter::predictedDataBytes(long_, 24000, 24000), WaveWriter::kMaxDataBytes);
  EXPECT_EQ(WaveWriter::predictedDataBytes(0, 24000, 44100), 0u);
}

}  // namespace
}  // namespace wc
