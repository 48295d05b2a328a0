#pragma once
// Turns one track of a CD image (44100 Hz, 16-bit, stereo) into a complete,
// tagged music file in memory. The encoders themselves live in their own
// library (audio/encode/) so that only the programs that export tracks link
// the codec libraries; everything else sees this interface.
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

enum class TrackFormat { Flac, Opus, Mp3, Wave };

// "flac", "opus", "mp3", "wav": the file name extension and the command-line name.
std::string_view trackFormatName(TrackFormat format);
std::optional<TrackFormat> parseTrackFormat(std::string_view name);
// The quality where the format has one: the Opus bitrate in kb/s (6..256),
// the MP3 VBR level (0 best .. 9 smallest), the FLAC compression level
// (0..8); WAV has none.
struct QualityRange {
  int lowest = 0, highest = 0, standard = 0;
};
std::optional<QualityRange> trackFormatQuality(TrackFormat format);

struct TrackTags {
  std::string title;
  std::string artist;
  std::string album;
  std::string albumArtist;
  std::string genre;
  int trackNumber = 0;
  int trackTotal = 0;
  std::vector<uint8_t> coverPng;  // empty: no picture
};

class TrackEncoder {
 public:
  static constexpr int kSampleRate = 44100;
  static constexpr int kChannels = 2;

  virtual ~TrackEncoder() = default;
  virtual TrackFormat format() const = 0;
  // The whole file for `frames` (interleaved left/right samples), or nullopt
  // when the codec failed or `stop` became true (checked between blocks, so a
  // stop takes effect within milliseconds). Thread-safe: every call keeps its
  // own codec state, so one encoder serves all the export's threads.
  virtual std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                                     const std::atomic<bool>& stop) const = 0;
};

}  // namespace wc
