#pragma once
// Opening a playlist file as File Open and the command-line exporter do:
// only what the format can use is read, and a file that is no playlist at
// all (a text file, a device, an empty file) is refused instead of opening
// as an empty playlist that a later Save would write over it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/File.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFile.h"

namespace wc {

// The most bytes a playlist file can use: the count and 99 records.
inline constexpr size_t kMaxPlaylistFileBytes = 4 + kPlaylistRecordSize * size_t(kMaxCdTracks);

enum class PlaylistFileProblem {
  None,
  CannotOpen,     // missing, unreadable, or not a regular file
  TooShort,       // fewer than the 4 bytes of the count
  WrongSize,      // not the 4 + 16 x count bytes a file of its count is (4 for a count of 0 or below)
  NoValidRecord,  // a positive count, yet not one record names a clip of the catalogue
};

struct PlaylistFileContents {
  PlaylistFileProblem problem = PlaylistFileProblem::None;
  std::vector<PlaylistRecord> records;  // as decodePlaylistFile gives them
  // Records the count announces that were left out: past the 99th, or invalid.
  int64_t skipped = 0;
  // Tracks that open without the intro or outro their record chose
  // (losesIntroOrOutro).
  int lostIntroOrOutro = 0;
};

// The warning about those tracks; empty when there are none.
std::string describeLostIntrosOrOutros(int tracks);

// Judges a file from its first bytes (at most kMaxPlaylistFileBytes of them
// are looked at) and its whole size, which must be what its count makes it:
// many a JPEG or text file begins with a count of 0 or below, and a file cut
// short or with a tail is not one this program wrote.
PlaylistFileContents inspectPlaylistFile(std::span<const uint8_t> head, uint64_t fileSize, const Catalogue& catalogue);
// The same for a whole file's bytes.
inline PlaylistFileContents inspectPlaylistFile(std::span<const uint8_t> bytes, const Catalogue& catalogue) {
  return inspectPlaylistFile(bytes, bytes.size(), catalogue);
}
// Reads at most kMaxPlaylistFileBytes of `path` and judges them.
PlaylistFileContents readPlaylistFile(FileSystem& fs, const Path& path, const Catalogue& catalogue);

// The message for a refused file, naming it: the File Open box's text.
std::string describePlaylistProblem(PlaylistFileProblem problem, const std::string& path);

}  // namespace wc
