#pragma once
// PlayStation SPU ADPCM: one 16-byte frame expands to 28 samples of one
// channel. The history is the unrounded, unclamped filter output in double
// precision; feeding back the rounded samples would give different audio.
#include <array>
#include <cstdint>

namespace wc {

struct DecoderState {
  double h1 = 0.0;  // newest filter output
  double h2 = 0.0;  // the one before it
};

// The histories of a stereo clip, left channel first.
using StereoHistory = std::array<DecoderState, 2>;

inline constexpr int kSamplesPerFrame = 28;

// Decodes `frame` (16 bytes) into `out` (28 samples), updating `state`.
void decodeFrame(const uint8_t* frame, int16_t* out, DecoderState& state);

// The filter table, weights of h1 and h2 (filters 5..15 decode as 0).
struct FilterCoefficients {
  double c0, c1;
};
inline constexpr FilterCoefficients kFilters[5] = {
    {0.0, 0.0}, {0.9375, 0.0}, {1.796875, -0.8125}, {1.53125, -0.859375}, {1.90625, -0.9375}};

// The decoder's conversion of a filter output to a sample: +0.5, truncation
// toward zero, clamp. Negative values thus move toward zero (-2.5 gives -2).
inline int16_t filterOutputToSample(double y) {
  const double r = y + 0.5;
  if (r >= 32767.0) return 32767;
  if (r <= -32768.0) return -32768;
  return int16_t(r);  // truncates toward zero
}

}  // namespace wc
