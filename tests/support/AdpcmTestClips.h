#pragma once
// Hand-made ADPCM frames and clip buffers for tests and benchmarks. Filter 0
// frames have the filter output e = (nibble << 12 as int16) >> shift, so
// shift 12 gives the nibble's signed value (-8..7) and shift 0 multiples of
// 4096. The sample is e + 0.5 truncated toward zero: negative values come out
// one higher (decodedValue).
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gamedata/ClipAudio.h"

namespace wc::test {

using AdpcmFrame = std::array<uint8_t, 16>;

// A frame from 28 nibbles (low 4 bits used), filter and shift.
AdpcmFrame adpcmFrame(int filter, int shift, const std::array<uint8_t, 28>& nibbles);
// All 28 nibbles equal.
AdpcmFrame constantFrame(int filter, int shift, uint8_t nibble);
// Filter 0, shift 12: filter outputs `values` (each -8..7) whatever the
// history; the samples are decodedValue() of them.
AdpcmFrame smallValuesFrame(const std::array<int8_t, 28>& values);
// The sample a filter output of integer `e` decodes to.
inline int decodedValue(int e) { return e < 0 ? e + 1 : e; }
// A filter 0 frame whose 28 filter outputs are all `value` (-8..7).
inline AdpcmFrame flatFrame(int8_t value) { return constantFrame(0, 12, uint8_t(value & 15)); }

// The bytes of a clip as loaded from a pack: the 8068-byte header with the
// channel length at 8016, then whole 135168-byte chunks.
class TestClip {
 public:
  // Appends left frame i and right frame i.
  TestClip& add(const AdpcmFrame& left, const AdpcmFrame& right);
  TestClip& addRepeated(uint32_t count, const AdpcmFrame& left, const AdpcmFrame& right);
  // Bytes beyond the whole frames in the header's channel length (0..15).
  TestClip& remainder(uint32_t bytes);
  // Replaces the channel length the header claims.
  TestClip& claimChannelLength(uint32_t bytes);

  uint32_t frames() const { return uint32_t(left_.size()); }
  std::vector<uint8_t> bytes() const;
  std::unique_ptr<ClipAudio> build() const;

 private:
  std::vector<AdpcmFrame> left_;
  std::vector<AdpcmFrame> right_;
  uint32_t remainder_ = 0;
  bool claimed_ = false;
  uint32_t claimedLength_ = 0;
};

// `frames` frames per channel of pseudo-random nibbles, filters 0..4 and
// shifts 0..12, from `seed`; loud and busy, for speed and round trips.
std::unique_ptr<ClipAudio> randomClip(uint32_t frames, uint32_t seed);

}  // namespace wc::test
