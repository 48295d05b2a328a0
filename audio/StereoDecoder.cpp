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

// The 28 filter inputs e_j of a frame (exact small integers).
void nibbleValues(const uint8_t* frame, int shift, int32_t* e) {
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    const int byte = frame[2 + j / 2];
    const int nibble = (j & 1) ? (byte >> 4) : (byte & 15);
    e[j] = int(int16_t(uint16_t(nibble << 12))) >> shift;
  }
}

}  // namespace

void decodeStereoFrame(const uint8_t* left, const uint8_t* right, int16_t* outLeft, int16_t* outRight,
                       DecoderState& leftState, DecoderState& rightState) {
#if defined(__SSE2__)
  const FrameHead l = headOf(left);
  const FrameHead r = headOf(right);
  alignas(16) int32_t e[2][kSamplesPerFrame];
  nibbleValues(left, l.shift, e[0]);
  nibbleValues(right, r.shift, e[1]);
  // Lane 0 is the left channel, lane 1 the right.
  const __m128d c0 = _mm_set_pd(r.c0, l.c0);
  const __m128d c1 = _mm_set_pd(r.c1, l.c1);
  __m128d h1 = _mm_set_pd(rightState.h1, leftState.h1);
  __m128d h2 = _mm_set_pd(rightState.h2, leftState.h2);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d top = _mm_set1_pd(32767.0);
  const __m128d bottom = _mm_set1_pd(-32768.0);
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    const __m128d ej = _mm_cvtepi32_pd(_mm_set_epi32(0, 0, e[1][j], e[0][j]));
    // (c1 * h2 + c0 * h1) + e, rounded after every operation as decodeFrame does.
    const __m128d y = _mm_add_pd(_mm_add_pd(_mm_mul_pd(c1, h2), _mm_mul_pd(c0, h1)), ej);
    h2 = h1;
    h1 = y;
    // +0.5, clamp, truncate: the clamp bounds are integers, so clamping
    // before the truncation gives filterOutputToSample's result.
    const __m128d v = _mm_min_pd(_mm_max_pd(_mm_add_pd(y, half), bottom), top);
    const __m128i s = _mm_cvttpd_epi32(v);
    outLeft[j] = int16_t(_mm_cvtsi128_si32(s));
    outRight[j] = int16_t(_mm_cvtsi128_si32(_mm_srli_si128(s, 4)));
  }
  alignas(16) double lanes[2];
  _mm_store_pd(lanes, h1);
  leftState.h1 = lanes[0];
  rightState.h1 = lanes[1];
  _mm_store_pd(lanes, h2);
  leftState.h2 = lanes[0];
  rightState.h2 = lanes[1];
#else
  decodeFrame(left, outLeft, leftState);
  decodeFrame(right, outRight, rightState);
#endif
}

}  // namespace wc
