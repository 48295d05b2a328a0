#include "audio/ResamplePlan.h"

#include <algorithm>
#include <cmath>

#include "audio/WaveWriter.h"

// Why the fast interpolator writes the reference's bytes
// -------------------------------------------------------
// The reference rounds S_ref, the sum of the 256 products h[k] * x[k] taken
// in tap order in double, to float, and converts that float to 16 bits. Each
// product of two floats (24-bit significands) is exact in double, so S_ref is
// a double-precision summation of 256 exact terms. The kernels sum the same
// exact terms (plus exact zeros from the padding) in another order, with
// fused multiply-adds, which round only once, like the reference's separate
// multiply (exact) and add. Any summation order of n terms has the error
// bound |computed - exact| <= (n - 1) u / (1 - (n - 1) u) * sum |terms|, with
// u = 2^-53. With n <= 264 both S_ref and the kernel's S_fast lie within
// 264 * 2^-53 * A of the exact sum (A = sum of |h[k] x[k]|), so
//     |S_ref - S_fast| <= 528 * 2^-53 * A < 2^-43 * A.
// A <= sum |h[k]| * max |x| over the window, so B = 2^-42 * sum |h[k]| *
// (1 + 2^-20) * max |x| bounds the difference twice over; the spare factor
// covers the rounding of B itself and of S_fast -/+ B (each off by at most
// 2^-53 * (A + B), far below B / 2).
// Rounding to float and the conversion to 16 bits (scale by 32768, add 0.5,
// truncate, clamp) are monotone, so if S_fast - B and S_fast + B give the
// same 16-bit sample, every value between them does, S_ref included. The
// kernels check exactly that and list the outputs where the two ends differ
// (or the sum is not a number); those are recomputed with the in-order sum.
// Identity is thus guaranteed, not merely likely: a sum lies within B of a
// conversion boundary about once in millions of outputs (B is about 2^-40,
// the 16-bit steps are 2^-15 apart), and silence (max |x| = 0, B = 0) never.

namespace wc {
namespace {

constexpr double kBoundFactor = 0x1p-42 * (1.0 + 0x1p-20);
constexpr int32_t kOutputsPerBlock = 1764;  // equal rates: outputs per block
// Otherwise whole periods per block: a multiple of the 16 periods the lane
// kernels put side by side in two vectors.
constexpr int32_t kPeriodsPerBlock = 16;

}  // namespace

bool simdLevelAvailable(SimdLevel level) {
#if defined(__x86_64__) || defined(__i386__)
  switch (level) {
    case SimdLevel::Portable: return true;
    case SimdLevel::Avx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case SimdLevel::Avx512: return __builtin_cpu_supports("avx512f");
  }
  return false;
#else
  return level == SimdLevel::Portable;
#endif
}

SimdLevel bestSimdLevel() {
  if (simdLevelAvailable(SimdLevel::Avx512)) return SimdLevel::Avx512;
  if (simdLevelAvailable(SimdLevel::Avx2)) return SimdLevel::Avx2;
  return SimdLevel::Portable;
}

const char* simdLevelName(SimdLevel level) {
  switch (level) {
    case SimdLevel::Portable: return "portable";
    case SimdLevel::Avx2: return "avx2";
    case SimdLevel::Avx512: return "avx512";
  }
  return "?";
}

BlockKernel kernelFor(SimdLevel level) {
#if defined(__x86_64__)
  if (level == SimdLevel::Avx512 && simdLevelAvailable(level)) return &resampleBlockAvx512;
  if (level == SimdLevel::Avx2 && simdLevelAvailable(level)) return &resampleBlockAvx2;
#else
  (void)level;
#endif
  return &resampleBlockPortable;
}

bool ResamplePlan::supports(int32_t inRate, int32_t outRate) {
  if (inRate <= 0 || outRate <= 0) return false;
  if (inRate == outRate) return true;
  const int32_t g = WaveWriter::gcd(inRate, outRate);
  return (inRate / g) % 8 == 0 && outRate / g <= 4096;
}

ResamplePlan::ResamplePlan(int32_t inRate, int32_t outRate) {
  const int32_t g = WaveWriter::gcd(inRate, outRate);
  const int32_t L = outRate / g;
  const int32_t M = inRate / g;
  kernel_.phaseCount = L;
  kernel_.step = M;
  kernel_.periodsPerBlock = L == 1 ? kOutputsPerBlock : kPeriodsPerBlock;

  phaseTables_.assign(size_t(L) * WaveWriter::kTaps, 0.0f);
  for (int32_t p = 0; p < L; ++p) WaveWriter::fillPhaseTable(p, L, &phaseTables_[size_t(p) * WaveWriter::kTaps]);

  rowPhase_.resize(size_t(L));
  rowCentre_.resize(size_t(L));
  boundScale_.assign(size_t(2 * L), 0.0);
  alignedStorage_.assign(size_t(L) * kPaddedTaps + 8, 0.0);
  double* aligned = alignedStorage_.data();
  while (reinterpret_cast<uintptr_t>(aligned) % 64 != 0) ++aligned;

  std::vector<int32_t> rowBase(size_t(L), 0);
  std::vector<int32_t> rowStart(size_t(L), 0);
  for (int32_t r = 0; r < L; ++r) {
    rowPhase_[size_t(r)] = int32_t(int64_t(r) * M % L);
    rowCentre_[size_t(r)] = int32_t(int64_t(r) * M / L);
    if (r == 0) continue;  // the centre sample itself
    // The window starts at centre - 127, which is kBlockLead + centre - 127
    // from the block's origin; the table moves right by the misalignment.
    const int32_t start = rowCentre_[size_t(r)] + kBlockLead - WaveWriter::kCentreTap;
    rowStart[size_t(r)] = start;
    const int32_t shift = start % 8;
    rowBase[size_t(r)] = start - shift;
    const float* h = &phaseTables_[size_t(rowPhase_[size_t(r)]) * WaveWriter::kTaps];
    double* row = aligned + size_t(r) * kPaddedTaps;
    double absSum = 0.0;
    for (int k = 0; k < WaveWriter::kTaps; ++k) {
      row[shift + k] = double(h[k]);
      absSum += std::fabs(double(h[k]));
    }
    boundScale_[size_t(2 * r)] = boundScale_[size_t(2 * r + 1)] = absSum * kBoundFactor;
  }
  // Rows come in order of their window start, so equal starts are adjacent.
  for (int32_t r = 1; r < L;) {
    RowTile tile{rowBase[size_t(r)], 0, {0, 0, 0, 0}};
    while (r < L && tile.count < 4 && rowBase[size_t(r)] == tile.base) tile.rows[tile.count++] = r++;
    tiles_.push_back(tile);
  }

  buildLaneTiles(rowStart);

  kernel_.alignedTables = aligned;
  kernel_.boundScale = boundScale_.data();
  kernel_.tiles = tiles_.data();
  kernel_.tileCount = int32_t(tiles_.size());
  kernel_.phaseTables = phaseTables_.data();
  kernel_.rowPhase = rowPhase_.data();
  kernel_.rowCentre = rowCentre_.data();
  // The tile kernels' input in double and their sums.
  const int32_t blockScratch = 2 * ((blockInputSpan() + 7) / 8 * 8) + 2 * L * kernel_.periodsPerBlock;
  // The lane kernels' input turned sideways (two channels, a row of lanes
  // per input sample of a period: 16 periods and those the windows reach
  // into), a maximum per lane and the packed output frames (16 per row, two
  // per double).
  const int32_t laneStride = (16 + (kernel_.laneSpan - 1) / M + 7) / 8 * 8;
  const int32_t laneScratch = 2 * M * laneStride + laneStride + L * 8;
  kernel_.scratchDoubles = std::max(blockScratch, laneScratch);
}

void ResamplePlan::buildLaneTiles(const std::vector<int32_t>& rowStart) {
  const int32_t L = kernel_.phaseCount;
  const int32_t rows = L - 1;
  // Evenly sized tiles, split further where the starts spread too far.
  struct Range {
    int32_t first, end;
  };
  std::vector<Range> ranges;
  const int32_t evenCount = (rows + kLaneTileRows - 1) / kLaneTileRows;
  for (int32_t i = 0; i < evenCount; ++i) {
    const int32_t from = 1 + int32_t(int64_t(rows) * i / evenCount);
    const int32_t to = 1 + int32_t(int64_t(rows) * (i + 1) / evenCount);
    for (int32_t r = from; r < to;) {
      const int32_t first = r;
      while (r < to && rowStart[size_t(r)] - rowStart[size_t(first)] <= kPaddedTaps - WaveWriter::kTaps) ++r;
      ranges.push_back({first, r});
    }
  }
  std::vector<size_t> offsets;
  laneTiles_.clear();
  laneTables_.clear();
  int32_t span = kBlockLead + 1;
  for (const Range& range : ranges) {
    const int32_t count = range.end - range.first;
    const int32_t start = rowStart[size_t(range.first)];
    const int32_t taps = rowStart[size_t(range.end - 1)] - start + WaveWriter::kTaps;
    offsets.push_back(laneTables_.size());
    laneTables_.resize(laneTables_.size() + size_t(taps) * size_t(count), 0.0);
    double* tables = laneTables_.data() + offsets.back();
    for (int32_t i = 0; i < count; ++i) {
      const int32_t r = range.first + i;
      const int32_t shift = rowStart[size_t(r)] - start;
      const float* h = &phaseTables_[size_t(rowPhase_[size_t(r)]) * WaveWriter::kTaps];
      for (int k = 0; k < WaveWriter::kTaps; ++k) tables[size_t(shift + k) * size_t(count) + size_t(i)] = double(h[k]);
    }
    laneTiles_.push_back({start, taps, range.first, count, nullptr});
    span = std::max(span, start + taps);
  }
  for (size_t t = 0; t < laneTiles_.size(); ++t) laneTiles_[t].tables = laneTables_.data() + offsets[t];
  kernel_.laneTiles = laneTiles_.data();
  kernel_.laneTileCount = int32_t(laneTiles_.size());
  kernel_.laneSpan = (span + 7) / 8 * 8;
}

}  // namespace wc
