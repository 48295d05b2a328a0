#pragma once
// The playlist file: a 32-bit count, then one 16-byte record per track
// (station, clip index, intro, outro), all signed little-endian. No magic and
// no version: files are shared between users, so reading validates every
// record against the catalogue instead of trusting it.
#include <cstdint>
#include <span>
#include <vector>

#include "gamedata/CatalogueRecords.h"

namespace wc {

struct PlaylistRecord {
  int32_t station = 0;
  int32_t clipIndex = 0;
  int32_t intro = 0;
  int32_t outro = 0;
  bool operator==(const PlaylistRecord&) const = default;
};

inline constexpr size_t kPlaylistRecordSize = 16;

std::vector<uint8_t> encodePlaylistFile(std::span<const PlaylistRecord> records);

// The records of a file as the program opens it: at most 99 of the records
// the count announces (none when it is 0 or below), reading stops where the
// file ends, and records that do not name a clip of the catalogue or choose
// an intro or outro the song does not have are left out.
std::vector<PlaylistRecord> decodePlaylistFile(std::span<const uint8_t> bytes, const Catalogue& catalogue);

// Whether a record names a clip of the catalogue with a valid intro and
// outro. Intro 0 and outro 0 are valid on clips without intros or outros.
bool isValidPlaylistRecord(const PlaylistRecord& record, const Catalogue& catalogue);

// Whether a valid record chose an intro or outro (other than the first) of a
// clip that has none in this catalogue: the track opens, but plays without
// it, as when the file was made with an annotated catalogue and is opened
// with the bare one.
bool losesIntroOrOutro(const PlaylistRecord& record, const Catalogue& catalogue);

}  // namespace wc
