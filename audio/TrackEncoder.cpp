#include "audio/TrackEncoder.h"

namespace wc {

std::string_view trackFormatName(TrackFormat format) {
  switch (format) {
    case TrackFormat::Flac: return "flac";
    case TrackFormat::Opus: return "opus";
    case TrackFormat::Mp3: return "mp3";
    case TrackFormat::Wave: return "wav";
  }
  return "";
}

std::optional<TrackFormat> parseTrackFormat(std::string_view name) {
  for (TrackFormat f : {TrackFormat::Flac, TrackFormat::Opus, TrackFormat::Mp3, TrackFormat::Wave})
    if (trackFormatName(f) == name) return f;
  return std::nullopt;
}

std::optional<QualityRange> trackFormatQuality(TrackFormat format) {
  switch (format) {
    case TrackFormat::Flac: return QualityRange{0, 8, 5};
    case TrackFormat::Opus: return QualityRange{6, 256, 160};
    case TrackFormat::Mp3: return QualityRange{0, 9, 2};
    case TrackFormat::Wave: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace wc
