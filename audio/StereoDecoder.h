#pragma once
// Decodes a left and a right ADPCM frame of the same step together, the two
// channels as the two lanes of one SIMD register. The arithmetic per lane is
// decodeFrame's, operation for operation in double precision and without
// fused multiply-adds, so the samples and histories are bit for bit the same.
#include <cstdint>

#include "audio/Decoder.h"

namespace wc {

// `left` and `right` are 16-byte frames; 28 samples of each channel go to
// `outLeft` and `outRight`; both histories are read and updated.
void decodeStereoFrame(const uint8_t* left, const uint8_t* right, int16_t* outLeft, int16_t* outRight,
                       DecoderState& leftState, DecoderState& rightState);

// The same samples as floats over 32768 (exact), as the export renders them.
void decodeStereoFrameScaled(const uint8_t* left, const uint8_t* right, float* outLeft, float* outRight,
                             DecoderState& leftState, DecoderState& rightState);

}  // namespace wc
