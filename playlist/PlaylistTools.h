#pragma once
// The playlist tools: Add all Songs, Randomize Intros, Pad and Radio Mix.
// Each draws its random choices from the given generator in a fixed order,
// so a run from a known seed is reproducible. They add tracks without
// regard to the CD's 99 tracks, as their users expect.
#include <functional>

#include "base/CRandom.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"

namespace wc {

// What a tool reports while it works, so a window can follow along.
class ToolObserver {
 public:
  virtual ~ToolObserver() = default;
  // `track` was just linked into the playlist; its audio is not loaded yet.
  virtual void trackInserted(Track& /*track*/) {}
  // The intro or outro of `track` changed and its audio was reloaded.
  virtual void trackChanged(Track& /*track*/) {}
};

// Everything a tool works on. `loadAudio` fills a track's empty audio slots
// (song, chosen intro and outro).
struct ToolContext {
  const Catalogue& catalogue;
  int station;
  Playlist& playlist;
  CRandom& random;
  std::function<void(Track&)> loadAudio;
  ToolObserver& observer;
};

// Whether the station has a song: Add all Songs and both mixes need one.
bool stationHasSong(const Station& station);
// Whether the playlist holds a song: Randomize Intros and Pad need one.
bool playlistHasSong(const Playlist& playlist);

// Appends every song of the station in random order.
void addAllSongs(const ToolContext& context);
// Draws a new intro and outro for every song that has a choice.
void randomizeIntros(const ToolContext& context);
// Puts chatter at the start and commercials and chatter between the songs.
void pad(const ToolContext& context);
// Appends a whole radio programme: every song once, with random intros and
// outros, and commercials and chatter between them.
void appendRadioMix(const ToolContext& context);

}  // namespace wc
