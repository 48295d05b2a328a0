#pragma once
// Working out the songs, intros, outros, chatter and station identifications
// of a bare catalogue's radio stations from their audio.
//
// The analysis is split in two so that it can run on a worker thread:
//   1. analyseStations reads clips through a ClipSource, touches nothing but
//      its arguments and returns a DiscProposal (or nothing when cancelled);
//   2. applyProposal writes a proposal into the catalogue, on the thread that
//      owns it, all or nothing.
// Memory: one clip at a time plus a few kilobytes per clip of the station.
// packClipSource (PackClipSource.h) reads the packs with the worker's own
// file handles; stationsWithoutSongs says what runs by default.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Segmentation.h"
#include "gamedata/CatalogueRecords.h"
#include "gamedata/ClipAudio.h"

namespace wc {

// Loads clip `clip` of `station`; null when it cannot be read. Called on the
// analysing thread, one call at a time.
using ClipSource = std::function<std::unique_ptr<ClipAudio>(int station, int clip)>;
// The station being analysed and the share of all the work done (0..1).
// Called on the analysing thread.
using AnalysisProgress = std::function<void(int station, double fraction)>;

// A station the analysis may touch: listed, not ADVERTS, with clips.
bool isAnalysableStation(const Catalogue& catalogue, int station);
bool stationHasSongs(const Station& station);
// What runs by default: the analysable stations that have no song yet.
std::vector<int> stationsWithoutSongs(const Catalogue& catalogue);

struct RoleTally {
  int songs = 0, intros = 0, outros = 0, chatter = 0, identifications = 0, unreadable = 0;
};

struct StationProposal {
  int station = 0;
  // What the analysis saw: the proposal applies only while the station
  // still has these clips.
  std::vector<uint32_t> offsets, sizes;
  std::vector<RoleOfClip> roles;  // one per clip
  RoleTally tally() const;
};

struct DiscProposal {
  std::vector<StationProposal> stations;
};

// Analyses `stations` (others, and stations that are not analysable, are
// skipped) of a snapshot of the catalogue. Nullopt when `cancel` was set.
std::optional<DiscProposal> analyseStations(const Catalogue& catalogue, const std::vector<int>& stations,
                                            const ClipSource& source, const AnalysisProgress& progress = {},
                                            const std::atomic<bool>* cancel = nullptr);

// The class a role gives a clip.
ClipClass classOfRole(ClipRole role);

enum class ApplyResult {
  Applied,
  CatalogueChanged,  // a station's clips are no longer those analysed: nothing was written
};

// Writes the proposal: classes, intro and outro counts, titles. A clip
// whose role is the one it had keeps its title and artist; one whose role
// changed gets "Song 3 02:47" (songs, numbered in the station) or its bare
// title, and no artist. Unreadable clips stay as they were.
ApplyResult applyProposal(Catalogue& catalogue, const DiscProposal& proposal);

// "Song 3 02:47": the station's third song, 2 minutes 47 seconds.
std::string songTitle(int songNumber, uint32_t clipSize);

}  // namespace wc
