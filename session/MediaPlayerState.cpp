#include "session/MediaPlayerState.h"

#include "gamedata/ClipAnnotation.h"

namespace wc {
namespace {

constexpr int64_t kSamplesPerSecond = 24000;
constexpr int64_t kMicrosecondsPerSecond = 1000000;

int playlistPosition(const Track& track) {
  if (track.isPreview()) return 0;
  int position = 1;
  for (const Track* t = track.prev; t && !t->isEndMarker(); t = t->prev) ++position;
  return position;
}

MediaTrackInfo trackInfo(const Catalogue& catalogue, const Track& track) {
  MediaTrackInfo info;
  info.trackNumber = playlistPosition(track);
  if (track.clip) {
    info.title = printableLatin1(track.clip->titleText());
    info.artist = printableLatin1(track.clip->artistText());
  }
  if (track.station >= 0 && track.station < kStationCount)
    info.station = printableLatin1(catalogue.stations[track.station].labelText());
  info.lengthMicroseconds = trackSamples(track) * kMicrosecondsPerSecond / kSamplesPerSecond;
  return info;
}

}  // namespace

MediaPlayerState mediaPlayerState(const Catalogue& catalogue, const Transport& transport) {
  MediaPlayerState state;
  const Track* track = transport.playingTrack();
  if (!track && transport.existingVoice()) track = transport.existingVoice()->track();
  // The end marker is never played; a clip-less track would have no title.
  if (!track || track->isEndMarker()) return state;
  state.status = MediaPlaybackStatus::Playing;
  state.track = trackInfo(catalogue, *track);
  if (track == transport.playingTrack())
    state.positionMicroseconds = int64_t(transport.playingSeconds()) * kMicrosecondsPerSecond;
  return state;
}

}  // namespace wc
