// The fast wave writer against the straightforward one: the same bytes for
// hostile signals, on every instruction set this machine runs, with one and
// two workers, at both export rates and with every ending phase.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/FastWaveWriter.h"
#include "audio/ResamplePlan.h"
#include "audio/WaveWriter.h"
#include "support/MemoryOutputFile.h"

namespace wc {
namespace {

struct Signal {
  std::vector<float> left, right;
  void add(float l, float r) {
    left.push_back(l);
    right.push_back(r);
  }
  size_t size() const { return left.size(); }
};

uint32_t nextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state;
}

// Full-scale noise, loud sines and a clipped square beyond +-1, impulses in
// silence, the Nyquist pattern (the largest cancellation in the sums),
// silence, and quiet noise after loud content: each a few thousand frames,
// independent per channel.
Signal hostileSignal(size_t frames, uint32_t seed) {
  Signal s;
  uint32_t random = seed;
  size_t i = 0;
  while (s.size() < frames) {
    const uint32_t kind = nextRandom(random) >> 29;  // 0..7
    const size_t length = 300 + (nextRandom(random) >> 20) % 4000;
    for (size_t k = 0; k < length && s.size() < frames; ++k, ++i) {
      float l = 0.0f, r = 0.0f;
      switch (kind) {
        case 0:
        case 1:
          l = float(int16_t(nextRandom(random) >> 16)) / 32768.0f;
          r = float(int16_t(nextRandom(random) >> 16)) / 32768.0f;
          break;
        case 2:
          l = float(int16_t(32767.0 * std::sin(double(i) * 0.0731))) / 32768.0f;
          r = float(int16_t(-32768.0 * std::sin(double(i) * 1.9))) / 32768.0f;
          break;
        case 3: l = (i / 7) % 2 ? 1.5f : -1.5f, r = (i / 3) % 2 ? 1.0f : -1.0f; break;
        case 4:
          l = k % 97 == 0 ? 1.0f : 0.0f;
          r = k % 131 == 0 ? -1.0f : 0.0f;
          break;
        case 5: l = i % 2 ? 1.0f : -1.0f, r = i % 2 ? -32767.0f / 32768.0f : 32767.0f / 32768.0f; break;
        case 6: break;  // silence
        case 7:
          l = float(int16_t(nextRandom(random) >> 16) >> 12) / 32768.0f;
          r = float(int16_t(nextRandom(random) >> 16) >> 14) / 32768.0f;
          break;
      }
      s.add(l, r);
    }
  }
  return s;
}

// Pushes `signal` in uneven pieces and returns the finished file.
template <typename Writer>
std::vector<uint8_t> writeAll(Writer& writer, const Signal& signal, int32_t outRate, bool* finished = nullptr) {
  MemoryFileContents contents;
  EXPECT_TRUE(writer.open(MemoryOutputFile::on(contents), 24000, outRate));
  size_t at = 0;
  for (size_t piece = 1; at < signal.size(); piece = piece * 7 % 61 + 1) {
    const size_t n = std::min(piece, signal.size() - at);
    writer.pushFrames(signal.left.data() + at, signal.right.data() + at, n);
    at += n;
  }
  const bool ok = writer.finish();
  if (finished) *finished = ok;
  EXPECT_TRUE(contents.closed);
  return contents.bytes;
}

std::vector<uint8_t> referenceFile(const Signal& signal, int32_t outRate) {
  WaveWriter reference;
  return writeAll(reference, signal, outRate);
}

// The first differing byte, for a readable failure.
std::string firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return "byte " + std::to_string(i) + " (frame " + std::to_string((i - 44) / 4) + ")";
  return "none";
}

struct Config {
  SimdLevel level;
  int workers;
};

std::vector<Config> configsOfThisMachine() {
  std::vector<Config> configs;
  for (SimdLevel level : {SimdLevel::Portable, SimdLevel::Avx2, SimdLevel::Avx512})
    if (simdLevelAvailable(level))
      for (int workers : {1, 2}) configs.push_back({level, workers});
  return configs;
}

std::string nameOf(const Config& c) { return std::string(simdLevelName(c.level)) + " x" + std::to_string(c.workers); }

TEST(FastWaveWriterTest, HostileSignalsGiveTheReferenceBytesOnEveryPath) {
  // About 7 seconds: several jobs of the pipeline, every kind of signal
  // meeting every other at odd places.
  const Signal signal = hostileSignal(170000, 11);
  for (int32_t outRate : {44100, 24000}) {
    const std::vector<uint8_t> expected = referenceFile(signal, outRate);
    for (const Config& config : configsOfThisMachine()) {
      FastWaveWriter fast({config.level, config.workers});
      const std::vector<uint8_t> actual = writeAll(fast, signal, outRate);
      EXPECT_EQ(fast.level(), config.level);
      EXPECT_EQ(fast.framesWritten(), int64_t(expected.size() - 44) / 4);
      ASSERT_TRUE(actual == expected) << nameOf(config) << " at " << outRate << ": first difference at "
                                      << firstDifference(actual, expected);
    }
  }
}

// Every residue of the length modulo the 80-frame period (and so every phase
// the last input leaves the interpolator in), lengths below and around the
// 128-frame delay, and lengths around a job's input.
TEST(FastWaveWriterTest, EveryEndingPhaseAndShortLengthsMatch) {
  const Signal all = hostileSignal(40000, 5);
  std::vector<size_t> lengths = {0, 1, 27, 100, 127, 128, 129, 208, 255, 256, 257, 319, 320, 321};
  for (size_t k = 0; k < 80; ++k) lengths.push_back(1000 + 81 * k);
  for (size_t around : {15360u, 15360u * 2})
    for (size_t d : {0u, 100u, 127u, 128u, 129u, 300u}) lengths.push_back(around - 150 + d);
  const SimdLevel best = bestSimdLevel();
  for (size_t length : lengths) {
    Signal s;
    s.left.assign(all.left.begin(), all.left.begin() + long(length));
    s.right.assign(all.right.begin(), all.right.begin() + long(length));
    for (int32_t outRate : {44100, 24000}) {
      FastWaveWriter fast({best, 2});
      const std::vector<uint8_t> actual = writeAll(fast, s, outRate);
      const std::vector<uint8_t> expected = referenceFile(s, outRate);
      ASSERT_TRUE(actual == expected) << length << " frames at " << outRate << ": "
                                      << firstDifference(actual, expected);
    }
  }
}

TEST(FastWaveWriterTest, SectorsSoFarFollowsThePushedFrames) {
  FastWaveWriter fast;
  MemoryFileContents contents;
  ASSERT_TRUE(fast.open(MemoryOutputFile::on(contents), 24000, 44100));
  EXPECT_EQ(fast.sectorsSoFar(), 0);
  const std::vector<float> silence(321, 0.0f);
  fast.pushFrames(silence.data(), silence.data(), 320);
  EXPECT_EQ(fast.sectorsSoFar(), 1);
  fast.pushFrames(silence.data(), silence.data(), 1);
  EXPECT_EQ(fast.sectorsSoFar(), 2);
  EXPECT_TRUE(fast.finish());
  EXPECT_EQ(contents.bytes.size(), 44u + 2 * 588 * 4);
}

TEST(FastWaveWriterTest, RefusesWhatItCannotWrite) {
  FastWaveWriter fast;
  MemoryFileContents contents;
  EXPECT_FALSE(fast.open(nullptr, 24000, 44100));
  EXPECT_FALSE(fast.open(MemoryOutputFile::on(contents), 24000, 48000));  // step 5: no aligned path
  EXPECT_FALSE(fast.finish());
  EXPECT_TRUE(FastWaveWriter::supports(24000, 44100));
  EXPECT_TRUE(FastWaveWriter::supports(24000, 24000));
  // Other rates fall back to the reference writer.
  EXPECT_NE(dynamic_cast<WaveWriter*>(openWaveSink(MemoryOutputFile::on(contents), 24000, 48000).get()), nullptr);
  EXPECT_NE(dynamic_cast<FastWaveWriter*>(openWaveSink(MemoryOutputFile::on(contents), 24000, 44100).get()), nullptr);
  EXPECT_EQ(openWaveSink(nullptr, 24000, 44100), nullptr);
}

TEST(FastWaveWriterTest, FullDiskAndHeaderLimitFailLikeTheReference) {
  const Signal signal = hostileSignal(30000, 3);
  for (uint64_t capacity : {uint64_t(0), uint64_t(44 + 1000), uint64_t(44 + 100000)}) {
    MemoryFileContents fastContents, referenceContents;
    fastContents.capacity = referenceContents.capacity = capacity;
    FastWaveWriter fast({bestSimdLevel(), 2});
    ASSERT_TRUE(fast.open(MemoryOutputFile::on(fastContents), 24000, 44100));
    fast.pushFrames(signal.left.data(), signal.right.data(), signal.size());
    EXPECT_FALSE(fast.finish()) << capacity;
    EXPECT_TRUE(fastContents.closed);
    WaveWriter reference;
    ASSERT_TRUE(reference.open(MemoryOutputFile::on(referenceContents), 24000, 44100));
    reference.pushFrames(signal.left.data(), signal.right.data(), signal.size());
    EXPECT_FALSE(reference.finish());
    // Both stored what fit and then a header over the start.
    EXPECT_EQ(fastContents.bytes.size(), referenceContents.bytes.size()) << capacity;
  }
  // Data beyond the header's limit is cut at the limit, not wrapped.
  for (int32_t outRate : {44100, 24000}) {
    bool fastOk = true, referenceOk = true;
    FastWaveWriter fast({bestSimdLevel(), 2, /*maxDataBytes=*/40000});
    const std::vector<uint8_t> actual = writeAll(fast, signal, outRate, &fastOk);
    WaveWriter reference(40000);
    const std::vector<uint8_t> expected = writeAll(reference, signal, outRate, &referenceOk);
    EXPECT_FALSE(fastOk);
    EXPECT_FALSE(referenceOk);
    EXPECT_EQ(actual.size(), 44u + 40000u);
    EXPECT_TRUE(actual == expected) << outRate << ": " << firstDifference(actual, expected);
  }
}

TEST(FastWaveWriterTest, AbandonedExportStopsItsThreadsAndClosesTheFile) {
  const Signal signal = hostileSignal(100000, 9);
  MemoryFileContents contents;
  {
    FastWaveWriter fast({bestSimdLevel(), 2});
    ASSERT_TRUE(fast.open(MemoryOutputFile::on(contents), 24000, 44100));
    fast.pushFrames(signal.left.data(), signal.right.data(), signal.size());
  }
  // The file object was destroyed (closed silently) with the writer; the
  // placeholder header, the same as the plain writer's, is still in front.
  ASSERT_GE(contents.bytes.size(), 44u);
  uint8_t placeholder[WaveWriter::kHeaderBytes];
  WaveWriter::buildPlaceholderHeader(placeholder);
  EXPECT_TRUE(std::equal(placeholder, placeholder + 44, contents.bytes.begin()));
}

// The plan's tiles cover every interpolated row once, each tile's rows share
// their window start, and each shifted table holds the reference's table.
TEST(ResamplePlanTest, TilesAndShiftedTablesCoverEveryRow) {
  const ResamplePlan plan(24000, 44100);
  const KernelPlan& k = plan.kernel();
  ASSERT_EQ(k.phaseCount, 147);
  ASSERT_EQ(k.step, 80);
  std::vector<int> seen(147, 0);
  for (int32_t t = 0; t < k.tileCount; ++t) {
    const RowTile& tile = k.tiles[t];
    ASSERT_GE(tile.count, 1);
    ASSERT_LE(tile.count, 4);
    EXPECT_EQ(tile.base % 8, 0);
    for (int i = 0; i < tile.count; ++i) {
      const int r = tile.rows[i];
      ++seen[size_t(r)];
      const int32_t start = k.rowCentre[r] + 1;  // window start from the block's origin
      const int32_t shift = start - tile.base;
      ASSERT_GE(shift, 0);
      ASSERT_LT(shift, 8);
      const float* h = k.phaseTables + size_t(k.rowPhase[r]) * 256;
      const double* row = k.alignedTables + size_t(r) * kPaddedTaps;
      for (int j = 0; j < kPaddedTaps; ++j) {
        const double expected = j >= shift && j < shift + 256 ? double(h[j - shift]) : 0.0;
        ASSERT_EQ(row[j], expected) << r << " " << j;
      }
    }
  }
  EXPECT_EQ(seen[0], 0);  // row 0 copies its centre
  for (int r = 1; r < 147; ++r) EXPECT_EQ(seen[size_t(r)], 1) << r;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(k.alignedTables) % 64, 0u);
}

// The lane tiles of the period-per-lane kernel cover every interpolated row
// once, with consecutive rows, starts no more than 8 apart, and each row's
// taps (interleaved by row) equal to the reference's table, shifted.
TEST(ResamplePlanTest, LaneTilesCoverEveryRowWithItsShiftedTable) {
  const ResamplePlan plan(24000, 44100);
  const KernelPlan& k = plan.kernel();
  std::vector<int> seen(147, 0);
  int32_t widest = 0;
  for (int32_t t = 0; t < k.laneTileCount; ++t) {
    const LaneTile& tile = k.laneTiles[t];
    ASSERT_GE(tile.count, 1);
    ASSERT_LE(tile.count, kLaneTileRows);
    ASSERT_LE(tile.taps, kPaddedTaps);
    widest = std::max(widest, tile.start + tile.taps);
    for (int i = 0; i < tile.count; ++i) {
      const int r = tile.firstRow + i;
      ++seen[size_t(r)];
      const int32_t shift = k.rowCentre[r] + 1 - tile.start;  // window start from the block's origin
      ASSERT_GE(shift, 0);
      ASSERT_LE(shift + 256, tile.taps);
      const float* h = k.phaseTables + size_t(k.rowPhase[r]) * 256;
      for (int j = 0; j < tile.taps; ++j) {
        const double expected = j >= shift && j < shift + 256 ? double(h[j - shift]) : 0.0;
        ASSERT_EQ(tile.tables[size_t(j) * size_t(tile.count) + size_t(i)], expected) << r << " " << j;
      }
    }
  }
  EXPECT_EQ(seen[0], 0);
  for (int r = 1; r < 147; ++r) EXPECT_EQ(seen[size_t(r)], 1) << r;
  EXPECT_LE(widest, k.laneSpan);
  EXPECT_LE(k.laneSpan, k.step + kPaddedTaps + 8);  // inside what a period's caller holds
}

// Every kernel on its own, for every number of periods up to a whole block
// (the lane kernel fills 16 lanes and must neither read past its input nor
// write or list outputs past `periods`): each output, after the listed ones
// are recomputed, is the in-order sum's.
TEST(ResamplePlanTest, EveryKernelMatchesTheInOrderSumsForPartialBlocks) {
  for (const auto& [inRate, outRate] : {std::pair{24000, 44100}, std::pair{24000, 24000}, std::pair{192000, 24000}}) {
    const ResamplePlan plan(inRate, outRate);
    const KernelPlan& k = plan.kernel();
    const int32_t slots = 2 * k.phaseCount;
    const int32_t maxPeriods = std::min(k.periodsPerBlock, 40);
    const Signal signal = hostileSignal(size_t(k.step) * size_t(maxPeriods) + kPaddedTaps + 8, 5);
    std::vector<double> storage(size_t(plan.scratchDoubles()) + 8);
    double* scratch = storage.data();
    while (reinterpret_cast<uintptr_t>(scratch) % 64 != 0) ++scratch;
    for (SimdLevel level : {SimdLevel::Portable, SimdLevel::Avx2, SimdLevel::Avx512}) {
      if (!simdLevelAvailable(level)) continue;
      const BlockKernel kernel = kernelFor(level);
      for (int32_t periods = 1; periods <= maxPeriods; ++periods) {
        // Exactly the input the kernel may read, at the end of its buffer,
        // so that AddressSanitizer catches a read past it.
        const size_t available = size_t(k.step) * size_t(periods) + kPaddedTaps + 8;
        const std::vector<float> left(signal.left.begin(), signal.left.begin() + long(available));
        const std::vector<float> right(signal.right.begin(), signal.right.begin() + long(available));
        std::vector<int16_t> out(size_t(slots) * size_t(periods) + 64, 0x5A5A);
        std::vector<uint32_t> uncertain(size_t(slots) * size_t(k.periodsPerBlock));
        int32_t uncertainCount = -1;
        kernel(k, left.data(), right.data(), periods, scratch, out.data(), uncertain.data(), &uncertainCount);
        ASSERT_GE(uncertainCount, 0);
        for (int32_t u = 0; u < uncertainCount; ++u) {
          ASSERT_LT(uncertain[size_t(u)], uint32_t(slots * periods));
          out[uncertain[size_t(u)]] =
              exactBlockOutput(k, left.data(), right.data(), int32_t(uncertain[size_t(u)]) / slots,
                               int32_t(uncertain[size_t(u)]) % slots);
        }
        for (int32_t q = 0; q < periods; ++q)
          for (int32_t slot = 0; slot < slots; ++slot)
            ASSERT_EQ(out[size_t(q * slots + slot)], exactBlockOutput(k, left.data(), right.data(), q, slot))
                << simdLevelName(level) << " " << outRate << " periods " << periods << " q " << q << " slot " << slot;
        for (size_t i = size_t(slots) * size_t(periods); i < out.size(); ++i)
          ASSERT_EQ(out[i], 0x5A5A) << simdLevelName(level) << " wrote past its outputs";
      }
    }
  }
}

}  // namespace
}  // namespace wc
