#pragma once
// A track of the CD playlist: one clip of one station with the chosen intro
// and outro, and the audio loaded for the three parts. Tracks are nodes of a
// hand-linked ring (see Playlist); a preview track is linked nowhere (both
// links null) and belongs to the Voice that plays it.
#include <cstdint>
#include <memory>

#include "gamedata/CatalogueRecords.h"
#include "gamedata/ClipAudio.h"

namespace wc {

struct Track {
  Track* next = nullptr;
  Track* prev = nullptr;
  int32_t station = -1;
  const Clip* clip = nullptr;  // null in the playlist's end marker
  int32_t clipIndex = -1;      // position of `clip` in its station
  int32_t intro = 0;
  int32_t outro = 0;
  std::unique_ptr<ClipAudio> introAudio;
  std::unique_ptr<ClipAudio> songAudio;
  std::unique_ptr<ClipAudio> outroAudio;

  bool isPreview() const { return next == nullptr; }
  bool isEndMarker() const { return clip == nullptr; }
};

// A new unlinked track for clip `clipIndex` of `station`, with the first intro
// and first outro over which nobody speaks, where the song has one. Null if
// the station or clip lies outside the catalogue.
std::unique_ptr<Track> createTrack(const Catalogue& catalogue, int station, int clipIndex);

// Index of the track's chosen intro / outro clip within its station, or -1
// when the song has none (or the catalogue's counts point past the station).
int introClipIndexOf(const Catalogue& catalogue, const Track& track);
int outroClipIndexOf(const Catalogue& catalogue, const Track& track);
const Clip* introClipOf(const Catalogue& catalogue, const Track& track);
const Clip* outroClipOf(const Catalogue& catalogue, const Track& track);

// Samples per channel at 24000 Hz of the parts that are loaded.
int64_t trackSamples(const Track& track);

}  // namespace wc
