#pragma once
// The wave writers' conversion of a float sample to 16-bit PCM.
#include <cstdint>

namespace wc {

// v * 32768 + 0.5, truncated toward zero, clamped: an exact negative sample
// comes out one higher (-100 is written as -99).
inline int16_t floatToPcm(float v) {
  const double r = double(v) * 32768.0 + 0.5;
  if (r >= 32767.0) return 32767;
  if (r <= -32768.0) return -32768;
  return int16_t(r);
}

}  // namespace wc
