// The AVX-512 kernel. Compiled with -mavx512f -mfma; reached only through
// kernelFor() after a run-time check of the processor. Everything here
// but the entry points has internal linkage (see ResampleKernels.h).
//
// Each vector lane holds its own period: the block's input is first turned
// sideways (lanes[j][p] = sample j of period p), so a tap of a row is one
// broadcast table value times one vector of 8 periods, and every sum ends in
// a lane of its own, with no horizontal additions.
#if defined(__x86_64__)
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers
// (_mm512_undefined_*), which -Wuninitialized reports at every use.
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)  // a GCC-only warning, unknown to clang
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "audio/ResampleKernels.h"

namespace wc {
namespace {

constexpr int kLanes = 8;
// Periods side by side: two vectors per channel. With kLaneTileRows rows
// that is 24 accumulators, and each tap costs 4 input loads and 6
// broadcasts for 24 fused multiply-adds.
constexpr int kVectors = 2;
constexpr int kBlockPeriods = kLanes * kVectors;
static_assert(kLaneTileRows == 6, "laneBlock dispatches tiles of 1 to 6 rows");

// A float, widened, * 32768 + 0.5, clamped and truncated toward zero: the
// reference's conversion to a 16-bit sample, in 32-bit lanes.
[[gnu::always_inline]] inline __m256i pcmWords(__m256 v) {
  __m512d r = _mm512_add_pd(_mm512_mul_pd(_mm512_cvtps_pd(v), _mm512_set1_pd(32768.0)), _mm512_set1_pd(0.5));
  r = _mm512_min_pd(_mm512_max_pd(r, _mm512_set1_pd(-32768.0)), _mm512_set1_pd(32767.0));
  return _mm512_cvttpd_epi32(r);
}

// Left and right samples as 32-bit frames.
[[gnu::always_inline]] inline __m256i packFrames(__m256i left, __m256i right) {
  return _mm256_or_si256(_mm256_and_si256(left, _mm256_set1_epi32(0xFFFF)), _mm256_slli_epi32(right, 16));
}

// Transposes eight rows of eight 32-bit words in place.
void transpose8x8(__m256i r[8]) {
  __m256i t[8], u[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
    t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
  }
  for (int i = 0; i < 8; i += 4) {
    u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
    u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
    u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
    u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
    r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
  }
}

// Transposes eight rows of eight doubles in place: r[i][j] becomes r[j][i].
void transpose8x8(__m512d r[8]) {
  __m512d t[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm512_unpacklo_pd(r[i], r[i + 1]);
    t[i + 1] = _mm512_unpackhi_pd(r[i], r[i + 1]);
  }
  __m512d u[8];
  for (int i = 0; i < 8; i += 4) {
    u[i] = _mm512_shuffle_f64x2(t[i], t[i + 2], 0x88);
    u[i + 1] = _mm512_shuffle_f64x2(t[i + 1], t[i + 3], 0x88);
    u[i + 2] = _mm512_shuffle_f64x2(t[i], t[i + 2], 0xDD);
    u[i + 3] = _mm512_shuffle_f64x2(t[i + 1], t[i + 3], 0xDD);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm512_shuffle_f64x2(u[i], u[i + 4], 0x88);
    r[i + 4] = _mm512_shuffle_f64x2(u[i], u[i + 4], 0xDD);
  }
}

// The periods of a block side by side: lanes[r * stride + p] = x[step *
// (first + p) + r] for r < step. A window runs on into the following
// periods, so sample j of period p is lane p + j / step of row j % step: the
// tiles read their windows as unaligned vectors from these rows, and every
// input sample is turned only once. Samples past `available` (what the
// caller holds) are zero.
struct SidewaysLayout {
  int32_t step;
  int32_t stride;  // lanes per row: 16 and those the longest window reaches into
  int32_t extra;   // periods a window reaches past its own
};

SidewaysLayout sidewaysLayout(const KernelPlan& plan) {
  const int32_t extra = (plan.laneSpan - 1) / plan.step;
  return {plan.step, (kBlockPeriods + extra + kLanes - 1) / kLanes * kLanes, extra};
}

// Turns one channel sideways and gives, per period, the largest magnitude
// within its windows (lanes p .. p + extra): the rounding check's max |x|.
void turnChannel(const SidewaysLayout& layout, const float* x, size_t available, int32_t first, double* lanes,
                 double* laneMax, __m512d windowMax[kVectors]) {
  for (int32_t p0 = 0; p0 < layout.stride; p0 += kLanes) {
    __m512d m = _mm512_setzero_pd();
    for (int32_t r0 = 0; r0 < layout.step; r0 += kLanes) {
      __m512d v[kLanes];
      for (int i = 0; i < kLanes; ++i) {
        const size_t from = size_t(layout.step) * size_t(first + p0 + i) + size_t(r0);
        if (from + kLanes <= available) {
          v[i] = _mm512_cvtps_pd(_mm256_loadu_ps(x + from));
        } else if (from < available) {  // masked lanes are not read at all
          const __mmask16 mask = __mmask16((1u << (available - from)) - 1u);
          v[i] = _mm512_cvtps_pd(_mm512_castps512_ps256(_mm512_maskz_loadu_ps(mask, x + from)));
        } else {
          v[i] = _mm512_setzero_pd();
        }
      }
      transpose8x8(v);
      for (int k = 0; k < kLanes; ++k) {
        _mm512_store_pd(lanes + size_t(r0 + k) * size_t(layout.stride) + size_t(p0), v[k]);
        m = _mm512_max_pd(m, _mm512_abs_pd(v[k]));
      }
    }
    _mm512_store_pd(laneMax + p0, m);
  }
  for (int v = 0; v < kVectors; ++v) {
    __m512d m = _mm512_loadu_pd(laneMax + v * kLanes);
    for (int32_t e = 1; e <= layout.extra; ++e) m = _mm512_max_pd(m, _mm512_loadu_pd(laneMax + v * kLanes + e));
    windowMax[v] = m;
  }
}

struct LaneBlock {
  SidewaysLayout layout;
  const double* lanes[2];       // sideways left and right
  __m512d maxima[2][kVectors];  // per channel and period
  int32_t first;                // the block's first period, from the kernel call's
  int32_t valid;                // periods of the 16 that are real
  uint32_t* packed;             // frame of row r, period p at packed[r * 16 + p]
  uint32_t slots;               // outputs per period: 2 * L
  uint32_t* uncertain;
  int32_t* uncertainCount;
};

// Converts one channel's sums for 8 periods with the rounding check of
// ResamplePlan.cpp; lists the outputs it cannot vouch for.
[[gnu::always_inline]] inline __m256i checkedSamples(__m512d sum, __m512d bound, unsigned laneMask, uint32_t firstIndex,
                                                     const LaneBlock& block) {
  const __m256 lowFloat = _mm512_cvtpd_ps(_mm512_sub_pd(sum, bound));
  const __m256 highFloat = _mm512_cvtpd_ps(_mm512_add_pd(sum, bound));
  const __m256i low = pcmWords(lowFloat);
  // Equal floats give equal samples; only where they differ (or are not
  // numbers: NEQ_UQ holds for unordered lanes) are the samples compared.
  unsigned differs = unsigned(_mm256_movemask_ps(_mm256_cmp_ps(lowFloat, highFloat, _CMP_NEQ_UQ))) & laneMask;
  if (differs != 0) {
    const __m256i same = _mm256_cmpeq_epi32(low, pcmWords(highFloat));
    differs &= ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(same)));
    for (; differs != 0; differs &= differs - 1)
      block.uncertain[(*block.uncertainCount)++] = firstIndex + uint32_t(__builtin_ctz(differs)) * block.slots;
  }
  return low;
}

// The sums of the `R` rows of a lane tile for both channels of every period
// of the block, then their samples.
template <int R>
void laneTile(const KernelPlan& plan, const LaneTile& tile, const LaneBlock& block) {
  __m512d acc[R][2][kVectors];
#pragma GCC unroll 8
  for (int i = 0; i < R; ++i)
#pragma GCC unroll 2
    for (int v = 0; v < kVectors; ++v) acc[i][0][v] = acc[i][1][v] = _mm512_setzero_pd();
  const double* h = tile.tables;
  const SidewaysLayout& layout = block.layout;
  // The taps in runs that stay within one pass over the rows.
  for (int32_t k = 0; k < tile.taps;) {
    const int32_t j = tile.start + k;
    const int32_t run = std::min(tile.taps - k, layout.step - j % layout.step);
    const size_t at = size_t(j % layout.step) * size_t(layout.stride) + size_t(j / layout.step);
    const double* a = block.lanes[0] + at;
    const double* b = block.lanes[1] + at;
    for (int32_t n = 0; n < run; ++n, h += R, a += layout.stride, b += layout.stride) {
      __m512d xl[kVectors], xr[kVectors];
#pragma GCC unroll 2
      for (int v = 0; v < kVectors; ++v) {
        xl[v] = _mm512_loadu_pd(a + kLanes * v);
        xr[v] = _mm512_loadu_pd(b + kLanes * v);
      }
#pragma GCC unroll 8
      for (int i = 0; i < R; ++i) {
        const __m512d hv = _mm512_set1_pd(h[i]);
#pragma GCC unroll 2
        for (int v = 0; v < kVectors; ++v) {
          acc[i][0][v] = _mm512_fmadd_pd(hv, xl[v], acc[i][0][v]);
          acc[i][1][v] = _mm512_fmadd_pd(hv, xr[v], acc[i][1][v]);
        }
      }
    }
    k += run;
  }
#pragma GCC unroll 8
  for (int i = 0; i < R; ++i) {
    const uint32_t row = uint32_t(tile.firstRow + i);
    const __m512d scale = _mm512_set1_pd(plan.boundScale[2 * row]);
#pragma GCC unroll 2
    for (int v = 0; v < kVectors; ++v) {
      const int32_t lanes = block.valid - v * kLanes;
      if (lanes <= 0) break;
      const unsigned laneMask = lanes >= kLanes ? 0xFFu : (1u << lanes) - 1u;
      const uint32_t index = uint32_t(block.first + v * kLanes) * block.slots + 2 * row;
      const __m256i left =
          checkedSamples(acc[i][0][v], _mm512_mul_pd(scale, block.maxima[0][v]), laneMask, index, block);
      const __m256i right =
          checkedSamples(acc[i][1][v], _mm512_mul_pd(scale, block.maxima[1][v]), laneMask, index + 1, block);
      _mm256_store_si256(reinterpret_cast<__m256i*>(block.packed + row * kBlockPeriods + uint32_t(v * kLanes)),
                         packFrames(left, right));
    }
  }
}

// Up to kBlockPeriods periods from `first`: turned sideways, every lane tile,
// the copied centres of row 0, then the frames put back in period order.
void laneBlock(const KernelPlan& plan, const float* left, const float* right, size_t available, int32_t first,
               int32_t valid, double* scratch, int16_t* out, uint32_t* uncertain, int32_t* uncertainCount) {
  const SidewaysLayout layout = sidewaysLayout(plan);
  const size_t laneDoubles = size_t(layout.step) * size_t(layout.stride);
  double* laneMax = scratch + 2 * laneDoubles;
  LaneBlock block{layout,
                  {scratch, scratch + laneDoubles},
                  {},
                  first,
                  valid,
                  reinterpret_cast<uint32_t*>(laneMax + layout.stride),
                  uint32_t(2 * plan.phaseCount),
                  uncertain,
                  uncertainCount};
  turnChannel(layout, left, available, first, scratch, laneMax, block.maxima[0]);
  turnChannel(layout, right, available, first, scratch + laneDoubles, laneMax, block.maxima[1]);
  for (int32_t t = 0; t < plan.laneTileCount; ++t) {
    const LaneTile& tile = plan.laneTiles[t];
    switch (tile.count) {
      case 6: laneTile<6>(plan, tile, block); break;
      case 5: laneTile<5>(plan, tile, block); break;
      case 4: laneTile<4>(plan, tile, block); break;
      case 3: laneTile<3>(plan, tile, block); break;
      case 2: laneTile<2>(plan, tile, block); break;
      default: laneTile<1>(plan, tile, block); break;
    }
  }
  // Row 0 is the centre sample itself, converted without a check.
  for (int v = 0; v < kVectors; ++v) {
    const size_t at = size_t(kBlockLead % layout.step) * size_t(layout.stride) + size_t(kBlockLead / layout.step) +
                      size_t(v * kLanes);
    const __m256i l = pcmWords(_mm512_cvtpd_ps(_mm512_loadu_pd(block.lanes[0] + at)));
    const __m256i r = pcmWords(_mm512_cvtpd_ps(_mm512_loadu_pd(block.lanes[1] + at)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(block.packed + v * kLanes), packFrames(l, r));
  }
  // Back to period order, eight rows by eight periods at a time.
  const int32_t rows = plan.phaseCount;
  int32_t row = 0;
  for (; row + 8 <= rows; row += 8) {
    for (int32_t p0 = 0; p0 < valid; p0 += 8) {
      __m256i r[8];
      for (int i = 0; i < 8; ++i)
        r[i] = _mm256_load_si256(
            reinterpret_cast<const __m256i*>(block.packed + size_t(row + i) * kBlockPeriods + size_t(p0)));
      transpose8x8(r);
      const int32_t periods = std::min(8, valid - p0);
      for (int32_t i = 0; i < periods; ++i)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(first + p0 + i) * block.slots + size_t(2 * row)),
                            r[i]);
    }
  }
  for (; row < rows; ++row)
    for (int32_t p = 0; p < valid; ++p)
      std::memcpy(out + size_t(first + p) * block.slots + size_t(2 * row),
                  block.packed + size_t(row) * kBlockPeriods + size_t(p), 4);
}

// Equal rates (a period is one sample): every output is its centre sample,
// converted without a check, eight at a time. (Other single-phase rates,
// whole-number steps down, go through the lanes' row 0.)
void copyCentres(const float* left, const float* right, int32_t periods, int16_t* out) {
  for (int32_t q = 0; q < periods; q += kLanes) {
    const int32_t count = std::min(kLanes, periods - q);
    const __mmask16 mask = __mmask16((1u << count) - 1u);
    const __m256 l = _mm512_castps512_ps256(_mm512_maskz_loadu_ps(mask, left + kBlockLead + q));
    const __m256 r = _mm512_castps512_ps256(_mm512_maskz_loadu_ps(mask, right + kBlockLead + q));
    const __m256i frames = packFrames(pcmWords(l), pcmWords(r));
    _mm512_mask_storeu_epi32(out + 2 * size_t(q), mask, _mm512_castsi256_si512(frames));
  }
}

}  // namespace

void resampleBlockAvx512(const KernelPlan& plan, const float* left, const float* right, int32_t periods,
                         double* scratch, int16_t* out, uint32_t* uncertain, int32_t* uncertainCount) {
  *uncertainCount = 0;
  if (plan.phaseCount == 1 && plan.step == 1) {
    copyCentres(left, right, periods, out);
    return;
  }
  const size_t available = size_t(plan.step) * size_t(periods) + kPaddedTaps + 8;
  for (int32_t first = 0; first < periods; first += kBlockPeriods)
    laneBlock(plan, left, right, available, first, std::min(kBlockPeriods, periods - first), scratch, out, uncertain,
              uncertainCount);
}

}  // namespace wc

#endif  // __x86_64__
