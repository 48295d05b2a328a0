#pragma once
// A clip's bytes as they lie in a stream pack: the 8068-byte header (all zero
// but the channel length at byte 8016), then chunks of 135168 bytes, each
// 4096 bytes of filler, up to 4096 left frames at 4096 and as many right
// frames at 69632. The last chunk is zero-padded to its full length.
#include <cstdint>
#include <vector>

#include "testkit/discgen/Signals.h"

namespace wc {

// Both channels of a clip as consecutive 16-byte frames.
struct EncodedClip {
  std::vector<uint8_t> left;
  std::vector<uint8_t> right;

  // Frames per channel: the longer channel's count (the shorter one is
  // completed with zero frames when the clip is laid out).
  uint32_t frames() const;
};

// The two channels encoded independently, each from a zeroed history.
EncodedClip encodeStereo(const StereoSignal& signal);

// The clip's `size` in the lookup table: the bytes of its chunks, without
// the header. 0 frames give 0; 4096 frames one chunk; 4097 frames two.
uint32_t clipChunkBytes(uint32_t framesPerChannel);

// Header plus chunks: 8068 + clipChunkBytes(clip.frames()) bytes.
std::vector<uint8_t> layOutClip(const EncodedClip& clip);

}  // namespace wc
