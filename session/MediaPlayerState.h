#pragma once
// What the desktop's media controls are told about playback: the status and
// the track that sounds, taken from the transport and the catalogue. Plain
// data, so the session-bus side only converts it.
//
// A preview (a clip played from the clip list) counts as Playing: sound comes
// out and Stop ends it, so the desktop's play/pause button must offer to stop
// it. It has no track number, as it is no track of the CD.
#include <cstdint>
#include <optional>
#include <string>

#include "gamedata/CatalogueRecords.h"
#include "playlist/Transport.h"

namespace wc {

enum class MediaPlaybackStatus { Stopped, Playing };

struct MediaTrackInfo {
  int trackNumber = 0;  // position in the playlist from 1; 0 for a preview
  // Catalogue text, Latin-1 as the catalogue stores it.
  std::string title;
  std::string artist;
  std::string station;  // the station's label
  // Intro, song and outro as loaded, in microseconds; 0 when nothing is loaded.
  int64_t lengthMicroseconds = 0;
  bool operator==(const MediaTrackInfo&) const = default;
};

struct MediaPlayerState {
  MediaPlaybackStatus status = MediaPlaybackStatus::Stopped;
  std::optional<MediaTrackInfo> track;  // set exactly while Playing
  // Whole seconds into the reported track, in microseconds. Left out of ==:
  // the desktop asks for the position; it is not announced every second.
  int64_t positionMicroseconds = 0;
  bool operator==(const MediaPlayerState& other) const { return status == other.status && track == other.track; }
};

// The state for the transport's current track: the last reported one, or,
// before the first report of a just-started track, the one the Voice took.
MediaPlayerState mediaPlayerState(const Catalogue& catalogue, const Transport& transport);

}  // namespace wc
