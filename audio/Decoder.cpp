#include "audio/Decoder.h"

namespace wc {

void decodeFrame(const uint8_t* frame, int16_t* out, DecoderState& state) {
  int filter = frame[0] >> 4;
  if (filter > 4) filter = 0;
  const int shift = frame[0] & 15;
  const double c0 = kFilters[filter].c0;
  const double c1 = kFilters[filter].c1;
  double h1 = state.h1;
  double h2 = state.h2;
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    const int byte = frame[2 + j / 2];
    const int nibble = (j & 1) ? (byte >> 4) : (byte & 15);
    // The nibble becomes the top four bits of a 16-bit value, shifted
    // arithmetically so the sign stays.
    const int e = int(int16_t(uint16_t(nibble << 12))) >> shift;
    const double y = (c1 * h2 + c0 * h1) + e;
    h2 = h1;
    h1 = y;
    out[j] = filterOutputToSample(y);
  }
  state.h1 = h1;
  state.h2 = h2;
}

}  // namespace wc
