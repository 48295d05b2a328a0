#include "playlist/PlaylistFileReader.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace wc {

PlaylistFileContents inspectPlaylistFile(std::span<const uint8_t> bytes, const Catalogue& catalogue) {
  PlaylistFileContents contents;
  if (bytes.size() < 4) {
    contents.problem = PlaylistFileProblem::TooShort;
    return contents;
  }
  bytes = bytes.first(std::min(bytes.size(), kMaxPlaylistFileBytes));
  contents.records = decodePlaylistFile(bytes, catalogue);
  const int32_t count = readI32LE(bytes.data());
  if (count <= 0) return contents;  // an empty playlist, as saved
  contents.skipped = int64_t(count) - int64_t(contents.records.size());
  if (contents.records.empty()) contents.problem = PlaylistFileProblem::NoValidRecord;
  return contents;
}

PlaylistFileContents readPlaylistFile(FileSystem& fs, const Path& path, const Catalogue& catalogue) {
  const auto bytes = readFilePrefix(fs, path, kMaxPlaylistFileBytes);
  if (!bytes) return {PlaylistFileProblem::CannotOpen, {}, 0};
  return inspectPlaylistFile(*bytes, catalogue);
}

std::string describePlaylistProblem(PlaylistFileProblem problem, const std::string& path) {
  // The first line is the box's traditional text.
  const std::string head = "Failed to open file\n" + path;
  switch (problem) {
    case PlaylistFileProblem::None: return "";
    case PlaylistFileProblem::CannotOpen: return head + "\nIt does not exist, cannot be read or is not a file.";
    case PlaylistFileProblem::TooShort:
    case PlaylistFileProblem::NoValidRecord:
      return head + "\nIt is not a playlist of this catalogue; the current playlist was kept.";
  }
  return head;
}

}  // namespace wc
