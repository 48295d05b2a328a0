#pragma once
// Building the catalogue from the disc's lookup table, and checking an
// annotated catalogue file against it. Pure functions on memory; the file
// handling lives in GameData.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "gamedata/CatalogueRecords.h"

namespace wc {

inline constexpr size_t kLookupRecordSize = 12;

// One record of TRAKLKUP.DAT: where a clip lies in its station's pack.
struct LookupRecord {
  uint32_t station;
  uint32_t offset;
  uint32_t size;
};

inline constexpr std::string_view kMismatchCaption = "Warning";
inline constexpr std::string_view kMismatchText =
    "Your copy of GTA does not have the same audio data as the first issue PAL version.  "
    "If you would like help, please report this problem to the Wavecrate project.";

// The records of a lookup table; a trailing partial record is ignored.
std::vector<LookupRecord> parseLookupTable(std::span<const uint8_t> bytes);

// Whole seconds of a clip of `size` bytes as default titles show it:
// whole 135168-byte chunks of 114688 samples at 24000 Hz, truncated.
uint32_t clipSeconds(uint32_t size);

// The default title of clip `clipIndex` (from 0): "Clip #1 03:05".
void formatDefaultTitle(char (&title)[64], int clipIndex, uint32_t size);

// Zeroes the catalogue and names its stations after the packs; every station
// is listed except AA, AMBIENCE, BEATS and CUTSCENE.
void resetToBareCatalogue(Catalogue& catalogue);

// Records that fit the catalogue: station 0..15 and at most 256 per station.
// Anything else is skipped, so the catalogue is never written out of bounds.
// Calls visit(stationIndex, clipIndex, record) for each kept record in order.
template <typename Visit>
void forEachFittingRecord(std::span<const LookupRecord> records, Visit&& visit) {
  int counts[kStationCount] = {};
  for (const LookupRecord& r : records) {
    if (r.station >= uint32_t(kStationCount)) continue;
    int& k = counts[r.station];
    if (k >= kMaxClipsPerStation) continue;
    visit(int(r.station), k, r);
    ++k;
  }
}

// Fills a bare catalogue's clips from the lookup table: numbered titles,
// class 1 for ADVERTS and 2 elsewhere, offsets and sizes from the records.
void fillClipsFromLookup(Catalogue& catalogue, std::span<const LookupRecord> records);

// True if an annotated catalogue describes exactly the clips of the lookup
// table: every clip's offset and size, and every station's clip count.
bool catalogueMatchesLookup(const Catalogue& catalogue, std::span<const LookupRecord> records);

}  // namespace wc
