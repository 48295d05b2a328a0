#pragma once
// Encoder for the 16-byte, 28-sample ADPCM frames that audio/Decoder.h
// decodes. Each frame tries every filter (0..4) and shift (0..12), picks the
// nibbles sample by sample with the decoder's own arithmetic, and keeps the
// combination with the least squared error of the decoded samples. The
// history then advances through decodeFrame itself, so the encoder's idea of
// the channel state is bit for bit the state a player will have.
#include <cstdint>
#include <span>
#include <vector>

#include "audio/Decoder.h"

namespace wc {

inline constexpr int kAdpcmFrameBytes = 16;
inline constexpr int kMaxEncoderShift = 12;  // step 1; larger shifts add nothing

class AdpcmEncoder {
 public:
  // Encodes 28 samples into one frame and advances the history. Byte 1 (the
  // flags, which the decoder ignores) is written as 0.
  void encodeFrame(const int16_t* samples, uint8_t* frame);

  // The decoder history after the frames encoded so far.
  const DecoderState& state() const { return state_; }

 private:
  DecoderState state_;
};

// One channel as consecutive frames, starting from a zeroed history. The last
// frame is completed with silence; an empty input gives no frames.
std::vector<uint8_t> encodeChannel(std::span<const int16_t> samples);

}  // namespace wc
