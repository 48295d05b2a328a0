// The AVX2 kernel. Compiled with -mavx2 -mfma; reached only through
// kernelFor() after a run-time check of the processor. Everything here
// but the entry point has internal linkage (see ResampleKernels.h).
#if defined(__x86_64__)
#include <immintrin.h>

#include "audio/ResampleKernels.h"

namespace wc {
namespace {

constexpr int kLanes = 4;
constexpr int kVectors = kPaddedTaps / kLanes;  // 66 loads per table

double horizontalSum(__m256d v) {
  const __m128d pair = _mm_add_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
  return _mm_cvtsd_f64(_mm_add_sd(pair, _mm_unpackhi_pd(pair, pair)));
}

double horizontalMax(__m256d v) {
  const __m128d pair = _mm_max_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
  return _mm_cvtsd_f64(_mm_max_sd(pair, _mm_unpackhi_pd(pair, pair)));
}

// Sums of `P` rows of one tile for one period and both channels: 2P
// accumulators, P table registers and two input registers of 16.
template <int P>
void tileSums(const KernelPlan& plan, const RowTile& tile, const double* left, const double* right, int32_t period,
              double* sums) {
  const double* table[P];
  for (int p = 0; p < P; ++p) table[p] = plan.alignedTables + size_t(tile.rows[p]) * kPaddedTaps;
  const size_t offset = size_t(plan.step) * size_t(period) + size_t(tile.base);
  const double* xl = left + offset;
  const double* xr = right + offset;
  __m256d acc[P][2];
#pragma GCC unroll 4
  for (int p = 0; p < P; ++p) acc[p][0] = acc[p][1] = _mm256_setzero_pd();
  for (int t = 0; t < kVectors; ++t) {
    const __m256d a = _mm256_load_pd(xl + kLanes * t);
    const __m256d b = _mm256_load_pd(xr + kLanes * t);
#pragma GCC unroll 4
    for (int p = 0; p < P; ++p) {
      const __m256d h = _mm256_load_pd(table[p] + kLanes * t);
      acc[p][0] = _mm256_fmadd_pd(h, a, acc[p][0]);
      acc[p][1] = _mm256_fmadd_pd(h, b, acc[p][1]);
    }
  }
  double* s = sums + size_t(period) * size_t(2 * plan.phaseCount);
#pragma GCC unroll 4
  for (int p = 0; p < P; ++p) {
    s[2 * tile.rows[p]] = horizontalSum(acc[p][0]);
    s[2 * tile.rows[p] + 1] = horizontalSum(acc[p][1]);
  }
}

// A float, widened, * 32768 + 0.5, clamped, truncated toward zero.
__m256d pcmOf(__m128 v) {
  __m256d r = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(v), _mm256_set1_pd(32768.0)), _mm256_set1_pd(0.5));
  r = _mm256_min_pd(_mm256_max_pd(r, _mm256_set1_pd(-32768.0)), _mm256_set1_pd(32767.0));
  return _mm256_round_pd(r, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
}

double windowMax(const double* x, int32_t count) {
  const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
  __m256d m = _mm256_setzero_pd();
  for (int32_t i = 0; i < count; i += kLanes) m = _mm256_max_pd(m, _mm256_and_pd(_mm256_load_pd(x + i), magnitude));
  return horizontalMax(m);
}

// The rounding check of ResamplePlan.cpp on `count` sums; `scale` null
// means a bound of 0 (copied centres).
void finishSlots(const double* s, const double* scale, __m256d windowMaxima, int32_t count, int16_t* o,
                 uint32_t firstIndex, uint32_t* uncertain, int32_t* uncertainCount) {
  alignas(32) double padded[kLanes];
  alignas(32) double paddedScale[kLanes];
  for (int32_t i = 0; i < count; i += kLanes) {
    const int32_t lanes = count - i < kLanes ? count - i : kLanes;
    const double* si = s + i;
    const double* ci = scale ? scale + i : nullptr;
    if (lanes < kLanes) {
      for (int k = 0; k < kLanes; ++k) {
        padded[k] = k < lanes ? si[k] : 0.0;
        paddedScale[k] = k < lanes && ci ? ci[k] : 0.0;
      }
      si = padded;
      ci = scale ? paddedScale : nullptr;
    }
    const __m256d sum = _mm256_loadu_pd(si);
    const __m256d bound = ci ? _mm256_mul_pd(_mm256_loadu_pd(ci), windowMaxima) : _mm256_setzero_pd();
    const __m128 lowFloat = _mm256_cvtpd_ps(_mm256_sub_pd(sum, bound));
    const __m128 highFloat = _mm256_cvtpd_ps(_mm256_add_pd(sum, bound));
    const __m256d low = pcmOf(lowFloat);
    // Equal floats give equal samples; only where they differ (or are not
    // numbers: NEQ_UQ holds for unordered lanes) are the samples compared.
    unsigned differs = unsigned(_mm_movemask_ps(_mm_cmp_ps(lowFloat, highFloat, _CMP_NEQ_UQ))) & ((1u << lanes) - 1u);
    if (differs != 0) differs &= unsigned(_mm256_movemask_pd(_mm256_cmp_pd(low, pcmOf(highFloat), _CMP_NEQ_UQ)));
    const __m128i words = _mm256_cvttpd_epi32(low);
    alignas(16) int16_t samples[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(samples), _mm_packs_epi32(words, words));
    for (int32_t k = 0; k < lanes; ++k) o[i + k] = samples[k];
    for (unsigned bits = differs; bits != 0; bits &= bits - 1)
      uncertain[(*uncertainCount)++] = firstIndex + uint32_t(i) + uint32_t(__builtin_ctz(bits));
  }
}

// The block's input in double, for the aligned loads of the tiles.
void widen(const float* left, const float* right, size_t count, double* leftOut, double* rightOut) {
  size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    _mm256_storeu_pd(leftOut + i, _mm256_cvtps_pd(_mm_loadu_ps(left + i)));
    _mm256_storeu_pd(rightOut + i, _mm256_cvtps_pd(_mm_loadu_ps(right + i)));
  }
  for (; i < count; ++i) {
    leftOut[i] = double(left[i]);
    rightOut[i] = double(right[i]);
  }
}

}  // namespace

void resampleBlockAvx2(const KernelPlan& plan, const float* leftInput, const float* rightInput, int32_t periods,
                       double* scratch, int16_t* out, uint32_t* uncertain, int32_t* uncertainCount) {
  const int32_t slots = 2 * plan.phaseCount;
  const size_t span = size_t(plan.step) * size_t(periods) + kPaddedTaps + 8;
  const size_t spanStride = (size_t(plan.step) * size_t(plan.periodsPerBlock) + kPaddedTaps + 8 + 7) / 8 * 8;
  double* left = scratch;
  double* right = scratch + spanStride;
  double* sums = scratch + 2 * spanStride;
  widen(leftInput, rightInput, span, left, right);
  for (int32_t q = 0; q < periods; ++q) {
    const size_t centre = size_t(plan.step) * size_t(q) + kBlockLead;
    sums[size_t(q) * size_t(slots)] = left[centre];
    sums[size_t(q) * size_t(slots) + 1] = right[centre];
  }
  for (int32_t t = 0; t < plan.tileCount; ++t) {
    const RowTile& tile = plan.tiles[t];
    for (int32_t q = 0; q < periods; ++q) {
      switch (tile.count) {
        case 4: tileSums<4>(plan, tile, left, right, q, sums); break;
        case 3: tileSums<3>(plan, tile, left, right, q, sums); break;
        case 2: tileSums<2>(plan, tile, left, right, q, sums); break;
        default: tileSums<1>(plan, tile, left, right, q, sums); break;
      }
    }
  }
  *uncertainCount = 0;
  if (plan.phaseCount == 1) {  // equal rates: every output is its centre
    finishSlots(sums, nullptr, _mm256_setzero_pd(), 2 * periods, out, 0, uncertain, uncertainCount);
    return;
  }
  for (int32_t q = 0; q < periods; ++q) {
    const size_t from = size_t(plan.step) * size_t(q);
    const double maxLeft = windowMax(left + from, plan.step + kPaddedTaps);
    const double maxRight = windowMax(right + from, plan.step + kPaddedTaps);
    const size_t first = size_t(q) * size_t(slots);
    finishSlots(sums + first, plan.boundScale, _mm256_set_pd(maxRight, maxLeft, maxRight, maxLeft), slots, out + first,
                uint32_t(first), uncertain, uncertainCount);
  }
}

}  // namespace wc

#endif  // __x86_64__
