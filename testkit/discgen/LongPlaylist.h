#pragma once
// A playlist of a chosen length over the clips of a catalogue, for measuring
// a full-length CD export from the command line: songs in turn with varied
// intros and outros, then short clips (chatter, commercials) spread between
// the songs to close the gap to the requested length.
//
// The total never exceeds the request, nor the 4 GiB a 44100 Hz wave file
// can hold; it falls short by less than the shortest non-song clip that
// still fits, unless the 99 tracks of a CD run out first.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audio/WaveWriter.h"
#include "base/File.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFile.h"
#include "testkit/discgen/DiscBuilder.h"

namespace wc {

// Samples per channel at 24000 Hz of clip `clipIndex` of `station`, as the
// export will render it (0 for a clip that cannot be loaded).
using ClipSamplesFunction = std::function<int64_t(int station, int clipIndex)>;

struct LongPlaylistTarget {
  double minutes = 74.0;
  int maxTracks = kMaxCdTracks;
  // Data bytes of the 44100 Hz CD image; tests lower it.
  uint64_t maxCdDataBytes = WaveWriter::kMaxDataBytes;
};

struct LongPlaylist {
  std::vector<PlaylistRecord> records;  // in playlist order
  int64_t samples = 0;                  // total at 24000 Hz
  int64_t targetSamples = 0;            // the request, capped by the wave size
};

// Samples of one playlist record: its song, chosen intro and chosen outro.
int64_t recordSamples(const Catalogue& catalogue, const PlaylistRecord& record, const ClipSamplesFunction& clipSamples);

LongPlaylist planLongPlaylist(const Catalogue& catalogue, const ClipSamplesFunction& clipSamples,
                              const LongPlaylistTarget& target);

// Clip lengths read from the packs of a written disc, each clip loaded once
// and only when asked for.
ClipSamplesFunction packClipSamples(const WrittenDisc& disc, FileSystem& fs);

// Plans a playlist for a written disc and writes it to `file`. On failure
// returns nullopt and says why in `error` (if given).
std::optional<LongPlaylist> writeLongPlaylist(const WrittenDisc& disc, const Path& file,
                                              const LongPlaylistTarget& target, std::string* error = nullptr,
                                              FileSystem& fs = realFileSystem());

}  // namespace wc
