#include "audio/StereoDecoder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wc {
namespace {

struct FrameHead {
  double c0, c1;
  int shift;
};

FrameHead headOf(const uint8_t* frame) {
  int filter = frame[0] >> 4;
  if (filter > 4) filter = 0;
  return {kFilters[filter].c0, kFilters[filter].c1, frame[0] & 15};
}

#if defined(__SSE2__)

// The 28 filter inputs of a frame as 16-bit words (four vectors, the last
// half used): each nibble as the top four bits of a 16-bit value, shifted
// arithmetically so the sign stays.
void nibbleWords(const uint8_t* frame, int shift, __m128i words[4]) {
  const __m128i data = _mm_srli_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(frame)), 2);
  const __m128i mask = _mm_set1_epi8(0x0F);
  const __m128i low = _mm_and_si128(data, mask);
  const __m128i high = _mm_and_si128(_mm_srli_epi16(data, 4), mask);
  // Sample 2i is the low nibble of byte i, sample 2i + 1 the high one.
  const __m128i first = _mm_unpacklo_epi8(low, high);
  const __m128i second = _mm_unpackhi_epi8(low, high);
  const __m128i zero = _mm_setzero_si128();
  const __m128i count = _mm_cvtsi32_si128(shift);
  const __m128i nibbles[4] = {_mm_unpacklo_epi8(zero, first), _mm_unpackhi_epi8(zero, first),
                              _mm_unpacklo_epi8(zero, second), _mm_unpackhi_epi8(zero, second)};
  for (int i = 0; i < 4; ++i) words[i] = _mm_sra_epi16(_mm_slli_epi16(nibbles[i], 4), count);
}

// Both channels' filters over one frame. Lane 0 is the left channel, lane 1
// the right; out[j] is sample j's filter output + 0.5, clamped to the sample
// range but not yet truncated.
void runFilters(const uint8_t* left, const uint8_t* right, DecoderState& leftState, DecoderState& rightState,
                __m128d out[kSamplesPerFrame]) {
  const FrameHead l = headOf(left);
  const FrameHead r = headOf(right);
  __m128i leftWords[4], rightWords[4];
  nibbleWords(left, l.shift, leftWords);
  nibbleWords(right, r.shift, rightWords);
  alignas(16) double e[kSamplesPerFrame + 4][2];  // sample j: {left, right}, exact small integers
  for (int i = 0; i < 4; ++i) {
    for (int half = 0; half < 2; ++half) {
      const __m128i pairs =
          half == 0 ? _mm_unpacklo_epi16(leftWords[i], rightWords[i]) : _mm_unpackhi_epi16(leftWords[i], rightWords[i]);
      const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(pairs, pairs), 16);   // L R of two samples
      const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(pairs, pairs), 16);  // the next two
      const int j = 8 * i + 4 * half;
      _mm_store_pd(e[j], _mm_cvtepi32_pd(low));
      _mm_store_pd(e[j + 1], _mm_cvtepi32_pd(_mm_srli_si128(low, 8)));
      _mm_store_pd(e[j + 2], _mm_cvtepi32_pd(high));
      _mm_store_pd(e[j + 3], _mm_cvtepi32_pd(_mm_srli_si128(high, 8)));
    }
  }
  const __m128d c0 = _mm_set_pd(r.c0, l.c0);
  const __m128d c1 = _mm_set_pd(r.c1, l.c1);
  __m128d h1 = _mm_set_pd(rightState.h1, leftState.h1);
  __m128d h2 = _mm_set_pd(rightState.h2, leftState.h2);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d top = _mm_set1_pd(32767.0);
  const __m128d bottom = _mm_set1_pd(-32768.0);
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    // (c1 * h2 + c0 * h1) + e, rounded after every operation as decodeFrame does.
    const __m128d y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(c1, h2), _mm_mul_pd(c0, h1)), _mm_load_pd(e[j]));
    h2 = h1;
    h1 = y;
    // The clamp bounds are integers, so clamping before the truncation
    // gives filterOutputToSample's result.
    out[j] = _mm_min_pd(_mm_max_pd(_mm_add_pd(y, half), bottom), top);
  }
  alignas(16) double lanes[2];
  _mm_store_pd(lanes, h1);
  leftState.h1 = lanes[0];
  rightState.h1 = lanes[1];
  _mm_store_pd(lanes, h2);
  leftState.h2 = lanes[0];
  rightState.h2 = lanes[1];
}

// Samples j and j + 1 truncated: {left j, right j, left j+1, right j+1}.
__m128i truncatedPair(const __m128d* out, int j) {
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(out[j]), _mm_cvttpd_epi32(out[j + 1]));
}

#endif

}  // namespace

void decodeStereoFrame(const uint8_t* left, const uint8_t* right, int16_t* outLeft, int16_t* outRight,
                       DecoderState& leftState, DecoderState& rightState) {
#if defined(__SSE2__)
  __m128d out[kSamplesPerFrame];
  runFilters(left, right, leftState, rightState, out);
  for (int j = 0; j < kSamplesPerFrame; j += 4) {
    // L R L R L R L R, then L L L L R R R R.
    __m128i words = _mm_packs_epi32(truncatedPair(out, j), truncatedPair(out, j + 2));
    words = _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, _MM_SHUFFLE(3, 1, 2, 0)), _MM_SHUFFLE(3, 1, 2, 0));
    words = _mm_shuffle_epi32(words, _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(outLeft + j), words);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(outRight + j), _mm_srli_si128(words, 8));
  }
#else
  decodeFrame(left, outLeft, leftState);
  decodeFrame(right, outRight, rightState);
#endif
}

void decodeStereoFrameScaled(const uint8_t* left, const uint8_t* right, float* outLeft, float* outRight,
                             DecoderState& leftState, DecoderState& rightState) {
#if defined(__SSE2__)
  __m128d out[kSamplesPerFrame];
  runFilters(left, right, leftState, rightState, out);
  const __m128 scale = _mm_set1_ps(1.0f / 32768.0f);
  for (int j = 0; j < kSamplesPerFrame; j += 2) {
    // L R L R, then L L R R: a 16-bit sample over 32768 is exact in float.
    __m128 v = _mm_mul_ps(_mm_cvtepi32_ps(truncatedPair(out, j)), scale);
    v = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storel_pi(reinterpret_cast<__m64*>(outLeft + j), v);
    _mm_storeh_pi(reinterpret_cast<__m64*>(outRight + j), v);
  }
#else
  int16_t l[kSamplesPerFrame], r[kSamplesPerFrame];
  decodeFrame(left, l, leftState);
  decodeFrame(right, r, rightState);
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    outLeft[j] = float(l[j]) / 32768.0f;
    outRight[j] = float(r[j]) / 32768.0f;
  }
#endif
}

}  // namespace wc
