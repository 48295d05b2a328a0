// The AVX-512 kernel. Compiled with -mavx512f -mfma; reached only through
// kernelsFor() after a run-time check of the processor. Everything here
// but the entry point has internal linkage (see ResampleKernels.h).
#if defined(__x86_64__)
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers
// (_mm512_undefined_*), which -Wuninitialized reports at every use.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "audio/ResampleKernels.h"

namespace wc {
namespace {

constexpr int kLanes = 8;
constexpr int kVectors = kPaddedTaps / kLanes;  // 33 loads per table
constexpr int kPeriodsPerTile = 3;              // 4 rows x 3 periods x 2 channels: 24 accumulators

// Sums of `P` rows of one tile for `Q` consecutive periods and both channels.
// A table vector serves Q periods and two channels, an input vector P rows.
template <int P, int Q>
void tileSums(const KernelPlan& plan, const RowTile& tile, const double* left, const double* right,
              int32_t firstPeriod, double* sums) {
  const int32_t slots = 2 * plan.phaseCount;
  const double* table[P];
  for (int p = 0; p < P; ++p) table[p] = plan.alignedTables + size_t(tile.rows[p]) * kPaddedTaps;
  const double* xl[Q];
  const double* xr[Q];
  for (int j = 0; j < Q; ++j) {
    const size_t offset = size_t(plan.step) * size_t(firstPeriod + j) + size_t(tile.base);
    xl[j] = left + offset;
    xr[j] = right + offset;
  }
  __m512d acc[P][Q][2];
#pragma GCC unroll 4
  for (int p = 0; p < P; ++p)
#pragma GCC unroll 4
    for (int j = 0; j < Q; ++j) acc[p][j][0] = acc[p][j][1] = _mm512_setzero_pd();
  for (int t = 0; t < kVectors; ++t) {
    __m512d h[P];
#pragma GCC unroll 4
    for (int p = 0; p < P; ++p) h[p] = _mm512_load_pd(table[p] + kLanes * t);
#pragma GCC unroll 4
    for (int j = 0; j < Q; ++j) {
      const __m512d a = _mm512_load_pd(xl[j] + kLanes * t);
      const __m512d b = _mm512_load_pd(xr[j] + kLanes * t);
#pragma GCC unroll 4
      for (int p = 0; p < P; ++p) {
        acc[p][j][0] = _mm512_fmadd_pd(h[p], a, acc[p][j][0]);
        acc[p][j][1] = _mm512_fmadd_pd(h[p], b, acc[p][j][1]);
      }
    }
  }
#pragma GCC unroll 4
  for (int p = 0; p < P; ++p)
#pragma GCC unroll 4
    for (int j = 0; j < Q; ++j) {
      double* s = sums + size_t(firstPeriod + j) * size_t(slots) + size_t(2 * tile.rows[p]);
      s[0] = _mm512_reduce_add_pd(acc[p][j][0]);
      s[1] = _mm512_reduce_add_pd(acc[p][j][1]);
    }
}

template <int P>
void tileAllPeriods(const KernelPlan& plan, const RowTile& tile, const double* left, const double* right,
                    int32_t periods, double* sums) {
  int32_t q = 0;
  for (; q + kPeriodsPerTile <= periods; q += kPeriodsPerTile)
    tileSums<P, kPeriodsPerTile>(plan, tile, left, right, q, sums);
  for (; q < periods; ++q) tileSums<P, 1>(plan, tile, left, right, q, sums);
}

// A float, widened, * 32768 + 0.5, clamped, truncated toward zero; the
// result stays a double holding an integer.
__m512d pcmOf(__m256 v) {
  __m512d r = _mm512_add_pd(_mm512_mul_pd(_mm512_cvtps_pd(v), _mm512_set1_pd(32768.0)), _mm512_set1_pd(0.5));
  r = _mm512_min_pd(_mm512_max_pd(r, _mm512_set1_pd(-32768.0)), _mm512_set1_pd(32767.0));
  return _mm512_roundscale_pd(r, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
}

double windowMax(const double* x, int32_t count) {
  __m512d m = _mm512_setzero_pd();
  for (int32_t i = 0; i < count; i += kLanes) m = _mm512_max_pd(m, _mm512_abs_pd(_mm512_load_pd(x + i)));
  return _mm512_reduce_max_pd(m);
}

// Converts `count` sums to samples with the rounding check of
// ResamplePlan.cpp; `scale` null means a bound of 0 (copied centres).
void finishSlots(const double* s, const double* scale, __m512d windowMaxima, int32_t count, int16_t* o,
                 uint32_t firstIndex, uint32_t* uncertain, int32_t* uncertainCount) {
  for (int32_t i = 0; i < count; i += kLanes) {
    const int32_t lanes = count - i < kLanes ? count - i : kLanes;
    const __mmask8 valid = __mmask8((1u << lanes) - 1u);
    const __m512d sum = _mm512_maskz_loadu_pd(valid, s + i);
    const __m512d bound = scale ? _mm512_mul_pd(_mm512_maskz_loadu_pd(valid, scale + i), windowMaxima)
                                : _mm512_setzero_pd();
    const __m256 lowFloat = _mm512_cvtpd_ps(_mm512_sub_pd(sum, bound));
    const __m256 highFloat = _mm512_cvtpd_ps(_mm512_add_pd(sum, bound));
    const __m512d low = pcmOf(lowFloat);
    // Equal floats give equal samples; only where they differ (or are not
    // numbers: NEQ_UQ holds for unordered lanes) are the samples compared.
    unsigned differs = unsigned(_mm256_movemask_ps(_mm256_cmp_ps(lowFloat, highFloat, _CMP_NEQ_UQ))) & valid;
    if (differs != 0) differs &= _mm512_cmp_pd_mask(low, pcmOf(highFloat), _CMP_NEQ_UQ);
    const __m256i words = _mm512_cvttpd_epi32(low);
    const __m256i packed = _mm512_cvtepi32_epi16(_mm512_castsi256_si512(words));
    alignas(16) int16_t samples[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(samples), _mm256_castsi256_si128(packed));
    for (int32_t k = 0; k < lanes; ++k) o[i + k] = samples[k];
    for (unsigned bits = differs; bits != 0; bits &= bits - 1)
      uncertain[(*uncertainCount)++] = firstIndex + uint32_t(i) + uint32_t(__builtin_ctz(bits));
  }
}

void finishPeriod(const KernelPlan& plan, const double* left, const double* right, int32_t q, const double* sums,
                  int16_t* out, uint32_t* uncertain, int32_t* uncertainCount) {
  const int32_t slots = 2 * plan.phaseCount;
  const size_t from = size_t(plan.step) * size_t(q);
  const double maxLeft = windowMax(left + from, plan.step + kPaddedTaps);
  const double maxRight = windowMax(right + from, plan.step + kPaddedTaps);
  const __m512d maxima = _mm512_set_pd(maxRight, maxLeft, maxRight, maxLeft, maxRight, maxLeft, maxRight, maxLeft);
  const size_t first = size_t(q) * size_t(slots);
  finishSlots(sums + first, plan.boundScale, maxima, slots, out + first, uint32_t(first), uncertain,
              uncertainCount);
}

}  // namespace

void widenAvx512(const float* left, const float* right, size_t count, double* leftOut, double* rightOut) {
  size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    _mm512_storeu_pd(leftOut + i, _mm512_cvtps_pd(_mm256_loadu_ps(left + i)));
    _mm512_storeu_pd(rightOut + i, _mm512_cvtps_pd(_mm256_loadu_ps(right + i)));
  }
  for (; i < count; ++i) {
    leftOut[i] = double(left[i]);
    rightOut[i] = double(right[i]);
  }
}

void resampleBlockAvx512(const KernelPlan& plan, const double* left, const double* right, int32_t periods,
                         double* sums, int16_t* out, uint32_t* uncertain, int32_t* uncertainCount) {
  const int32_t slots = 2 * plan.phaseCount;
  for (int32_t q = 0; q < periods; ++q) {
    const size_t centre = size_t(plan.step) * size_t(q) + kBlockLead;
    sums[size_t(q) * size_t(slots)] = left[centre];
    sums[size_t(q) * size_t(slots) + 1] = right[centre];
  }
  for (int32_t t = 0; t < plan.tileCount; ++t) {
    const RowTile& tile = plan.tiles[t];
    switch (tile.count) {
      case 4: tileAllPeriods<4>(plan, tile, left, right, periods, sums); break;
      case 3: tileAllPeriods<3>(plan, tile, left, right, periods, sums); break;
      case 2: tileAllPeriods<2>(plan, tile, left, right, periods, sums); break;
      default: tileAllPeriods<1>(plan, tile, left, right, periods, sums); break;
    }
  }
  *uncertainCount = 0;
  if (plan.phaseCount == 1) {  // equal rates: every output is its centre
    finishSlots(sums, nullptr, _mm512_setzero_pd(), 2 * periods, out, 0, uncertain, uncertainCount);
    return;
  }
  for (int32_t q = 0; q < periods; ++q) finishPeriod(plan, left, right, q, sums, out, uncertain, uncertainCount);
}

}  // namespace wc

#endif  // __x86_64__
