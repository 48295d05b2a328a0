#pragma once
// Clips whose audio should be loaded but is not: their pack is missing, too
// short to hold them, or could not be read. Such a track plays and exports
// short or silent, so the user is told which clips are affected, and an
// export refuses them unless told to leave their tracks out. A clip that the
// catalogue itself gives no frames loads fine and is not counted here.
#include <string>
#include <vector>

#include "playlist/Playlist.h"

namespace wc {

struct MissingClip {
  int trackNumber = 0;  // from 1, in playlist order
  int station = 0;
  int clipIndex = 0;
};

// Whether a clip the track needs (its song; its chosen intro and outro where
// the song has them) has no audio.
bool trackLacksAudio(const Catalogue& catalogue, const Track& track);

// Every such clip of the playlist, in playlist order (intro, song, outro).
std::vector<MissingClip> clipsWithoutAudio(const Catalogue& catalogue, const Playlist& playlist);

// One line per clip: "track 3: CH clip 12 (Title)".
std::string describeMissingClips(const Catalogue& catalogue, const std::vector<MissingClip>& clips);

// The message of an export refused for such clips, listing their tracks.
std::string exportRefusalForMissingAudio(const Catalogue& catalogue, const std::vector<MissingClip>& clips);

// The distinct track numbers among `clips`, in order.
std::vector<int> trackNumbersOf(const std::vector<MissingClip>& clips);

// Unlinks and frees the tracks that lack audio; returns how many went.
int removeTracksWithoutAudio(const Catalogue& catalogue, Playlist& playlist);

}  // namespace wc
