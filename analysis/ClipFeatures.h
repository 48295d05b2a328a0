#pragma once
// What the analysis keeps of one clip after decoding it: the music at both
// ends at full resolution (for the junction tests) and a few numbers about
// the whole clip from sampled stretches. A summary is a few kilobytes, so a
// station's summaries fit in memory where its clips would not.
#include <array>
#include <cstdint>
#include <vector>

#include "audio/Decoder.h"
#include "gamedata/ClipAudio.h"

namespace wc {

// Mono samples (the mean of both channels, full scale ±1) kept at each end.
inline constexpr int kEdgeSamples = 1024;
// Frames at the start of a clip kept undecoded, so its head can be decoded
// again with the history another clip left behind.
inline constexpr int kRawHeadFrames = 16;

struct ClipSummary {
  bool audible = false;     // decodable frames with some sound in them
  int64_t samples = 0;      // per channel, 24000 Hz
  std::vector<float> head;  // first samples, decoded from a zeroed history
  std::vector<float> tail;  // last samples
  // Decoder histories after the last frame, and the first frames' bytes:
  // together they give the head as it sounds when played after the tail.
  DecoderState endLeft, endRight;
  std::array<uint8_t, kRawHeadFrames * 16> rawLeft{}, rawRight{};
  int rawFrames = 0;
  // Of the sampled 14 ms windows, the share much quieter than the clip's
  // median: the pauses between words. Music hardly ever drops that low.
  double pauseShare = 0.0;
  // The share of sampled windows 30 dB below the median: silence between
  // words, which a voice over music or an outro's fade hardly ever reaches.
  double silenceShare = 0.0;
  double medianPower = 0.0;  // of the sampled windows, full scale 1.0

  double seconds() const { return double(samples) / 24000.0; }
};

ClipSummary summarizeClip(const ClipAudio& clip);

// The head of `next` decoded with the history `previous` ends with.
std::vector<float> headAfter(const ClipSummary& previous, const ClipSummary& next);

}  // namespace wc
