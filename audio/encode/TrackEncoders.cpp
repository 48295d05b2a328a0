#include "audio/encode/TrackEncoders.h"

#include <algorithm>

namespace wc {

std::unique_ptr<TrackEncoder> makeWaveTrackEncoder();
std::unique_ptr<TrackEncoder> makeFlacTrackEncoder(int level);
std::unique_ptr<TrackEncoder> makeOpusTrackEncoder(int kbps);
std::unique_ptr<TrackEncoder> makeMp3TrackEncoder(int vbrLevel);

std::unique_ptr<TrackEncoder> makeTrackEncoder(TrackFormat format, int quality) {
  if (const auto range = trackFormatQuality(format)) quality = std::clamp(quality, range->lowest, range->highest);
  switch (format) {
    case TrackFormat::Flac: return makeFlacTrackEncoder(quality);
    case TrackFormat::Opus: return makeOpusTrackEncoder(quality);
    case TrackFormat::Mp3: return makeMp3TrackEncoder(quality);
    case TrackFormat::Wave: return makeWaveTrackEncoder();
  }
  return nullptr;
}

}  // namespace wc
