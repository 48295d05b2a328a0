#pragma once
// Writes a synthetic game disc (AUDIO/CONFIG/TRAKLKUP.DAT and
// AUDIO/STREAMS/<pack>.PAK) or a cache of one (CACHE/TRAKLKUP.DAT and
// CACHE/<pack>.PAK) into a directory, together with the annotated catalogue
// file WavecrateInfo.dat that matches it clip for clip.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/File.h"
#include "gamedata/CatalogueBuilder.h"  // LookupRecord
#include "gamedata/CatalogueRecords.h"
#include "testkit/discgen/ClipBuilder.h"
#include "testkit/discgen/Signals.h"

namespace wc {

struct ClipPlan {
  std::string title;   // cut to 63 characters
  std::string artist;  // cut to 63 characters
  ClipClass clipClass = ClipClass::Chatter;

  // The audio, first match wins: ready frames; else generate(), called once
  // while the pack is written (so a long disc never holds all its samples);
  // else `signal`. An empty signal makes a clip of size 0.
  std::optional<EncodedClip> frames;
  std::function<StereoSignal()> generate;
  StereoSignal signal;

  // Follow-on clips, stored right after this one in this order; the
  // catalogue records their counts. They may not have follow-ons themselves.
  std::vector<ClipPlan> intros;
  std::vector<ClipPlan> outros;
};

struct StationPlan {
  int index = 0;                     // 0..15, the row of kPackNames
  std::optional<std::string> label;  // default: the pack name
  std::optional<bool> listed;        // default: as the bare catalogue has it
  std::vector<ClipPlan> clips;       // top-level clips; with follow-ons at most 256 records
};

struct DiscPlan {
  std::vector<StationPlan> stations;  // any order, each index at most once
  // Stations without clips become unlisted unless their StationPlan says
  // `listed`, so a browser steps only through stations with something to show.
  bool unlistEmptyStations = false;
};

enum class DiscLayout {
  Disc,   // <dir>/AUDIO/CONFIG/TRAKLKUP.DAT, <dir>/AUDIO/STREAMS/<pack>.PAK, every pack
  Cache,  // <dir>/CACHE/TRAKLKUP.DAT, <dir>/CACHE/<pack>.PAK, packs of listed stations and of stations with clips
};

struct DiscWriteOptions {
  DiscLayout layout = DiscLayout::Disc;
  // Disc layout only: names as a disc mounted without Rock Ridge shows them,
  // audio/config/traklkup.dat;1 and audio/streams/ch.pak;1.
  bool isoNames = false;
  // Lookup records round robin over the stations (one clip of each in turn)
  // instead of station after station in the order of DiscPlan::stations.
  bool interleave = false;
  // Bytes of filler (0xEE) in front of the first clip of a pack, and the
  // alignment of every clip's offset; both keep offsets from being trivial.
  uint32_t packLeadIn = 2048;
  uint32_t clipAlignment = 2048;
  bool writeCatalogueFile = true;  // <dir>/WavecrateInfo.dat
};

struct DiscPaths {
  Path audioRoot;  // the AUDIO directory, or CACHE for the cache layout
  Path lookupTable;
  std::array<Path, kStationCount> packs;
  Path catalogueFile;  // <dir>/WavecrateInfo.dat
};

// Where writeDisc puts each file for a layout.
DiscPaths discPaths(const Path& directory, DiscLayout layout, bool isoNames = false);

// 12 bytes per record, little-endian, in the given order.
std::vector<uint8_t> serializeLookupTable(std::span<const LookupRecord> records);

struct WrittenDisc {
  DiscPaths paths;
  std::vector<LookupRecord> records;     // in the lookup table's order
  std::unique_ptr<Catalogue> catalogue;  // what the catalogue file holds (written or not)
  // For each station, its clips' records in clip order: what the catalogue
  // loader will build from the table.
  std::array<std::vector<LookupRecord>, kStationCount> clipsOf;
};

// Writes the files of `plan` into `directory` (created if missing, one
// level). On failure returns nullopt and, if `error` is given, says why;
// files already written stay.
std::optional<WrittenDisc> writeDisc(const DiscPlan& plan, const Path& directory, const DiscWriteOptions& options = {},
                                     std::string* error = nullptr, FileSystem& fs = realFileSystem());

}  // namespace wc
