#include "playlist/PlaylistFileReader.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace wc {

PlaylistFileContents inspectPlaylistFile(std::span<const uint8_t> bytes, uint64_t fileSize,
                                         const Catalogue& catalogue) {
  PlaylistFileContents contents;
  if (bytes.size() < 4 || fileSize < 4) {
    contents.problem = PlaylistFileProblem::TooShort;
    return contents;
  }
  const int32_t count = readI32LE(bytes.data());
  const uint64_t expected = 4 + kPlaylistRecordSize * uint64_t(std::max(count, 0));
  if (fileSize != expected || bytes.size() < std::min<uint64_t>(expected, kMaxPlaylistFileBytes)) {
    contents.problem = PlaylistFileProblem::WrongSize;
    return contents;
  }
  bytes = bytes.first(std::min(bytes.size(), kMaxPlaylistFileBytes));
  contents.records = decodePlaylistFile(bytes, catalogue);
  contents.lostIntroOrOutro =
      int(std::count_if(contents.records.begin(), contents.records.end(),
                        [&](const PlaylistRecord& r) { return losesIntroOrOutro(r, catalogue); }));
  if (count <= 0) return contents;  // an empty playlist, as saved
  contents.skipped = int64_t(count) - int64_t(contents.records.size());
  if (contents.records.empty()) contents.problem = PlaylistFileProblem::NoValidRecord;
  return contents;
}

PlaylistFileContents readPlaylistFile(FileSystem& fs, const Path& path, const Catalogue& catalogue) {
  auto file = fs.openRead(path);
  const auto size = file ? file->size() : std::nullopt;
  if (!size) return {PlaylistFileProblem::CannotOpen, {}, 0};
  std::vector<uint8_t> head(size_t(std::min<uint64_t>(*size, kMaxPlaylistFileBytes)));
  size_t filled = 0;
  while (filled < head.size()) {
    const size_t n = file->read(head.data() + filled, head.size() - filled);
    if (n == 0) break;
    filled += n;
  }
  head.resize(filled);
  return inspectPlaylistFile(head, *size, catalogue);
}

std::string describeLostIntrosOrOutros(int tracks) {
  if (tracks <= 0) return "";
  return std::to_string(tracks) + (tracks == 1 ? " track plays" : " tracks play") +
         " without the intro or outro chosen in the playlist file: the catalogue in use does not know them "
         "(is this the folder of the annotated catalogue file?).";
}

std::string describePlaylistProblem(PlaylistFileProblem problem, const std::string& path) {
  // The first line is the box's traditional text.
  const std::string head = "Failed to open file\n" + path;
  switch (problem) {
    case PlaylistFileProblem::None: return "";
    case PlaylistFileProblem::CannotOpen: return head + "\nIt does not exist, cannot be read or is not a file.";
    case PlaylistFileProblem::TooShort:
    case PlaylistFileProblem::WrongSize:
    case PlaylistFileProblem::NoValidRecord:
      return head + "\nIt is not a playlist of this catalogue; the current playlist was kept.";
  }
  return head;
}

}  // namespace wc
