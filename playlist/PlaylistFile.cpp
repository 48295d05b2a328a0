#include "playlist/PlaylistFile.h"

#include <algorithm>

#include "base/LittleEndian.h"
#include "playlist/Playlist.h"

namespace wc {

std::vector<uint8_t> encodePlaylistFile(std::span<const PlaylistRecord> records) {
  std::vector<uint8_t> bytes(4 + records.size() * kPlaylistRecordSize);
  writeI32LE(bytes.data(), int32_t(records.size()));
  uint8_t* p = bytes.data() + 4;
  for (const auto& r : records) {
    writeI32LE(p, r.station);
    writeI32LE(p + 4, r.clipIndex);
    writeI32LE(p + 8, r.intro);
    writeI32LE(p + 12, r.outro);
    p += kPlaylistRecordSize;
  }
  return bytes;
}

bool isValidPlaylistRecord(const PlaylistRecord& r, const Catalogue& catalogue) {
  if (r.station < 0 || r.station >= kStationCount) return false;
  const Station& s = catalogue.stations[r.station];
  if (!s.hasClip(r.clipIndex)) return false;
  const auto [intros, outros] = s.followOns(r.clipIndex);
  if (r.intro < 0 || (intros > 0 && r.intro >= intros)) return false;
  if (r.outro < 0 || (outros > 0 && r.outro >= outros)) return false;
  return true;
}

bool losesIntroOrOutro(const PlaylistRecord& r, const Catalogue& catalogue) {
  const auto [intros, outros] = catalogue.stations[r.station].followOns(r.clipIndex);
  return (r.intro > 0 && intros == 0) || (r.outro > 0 && outros == 0);
}

std::vector<PlaylistRecord> decodePlaylistFile(std::span<const uint8_t> bytes, const Catalogue& catalogue) {
  std::vector<PlaylistRecord> records;
  if (bytes.size() < 4) return records;
  const int32_t count = std::min(readI32LE(bytes.data()), int32_t(kMaxCdTracks));
  const size_t available = (bytes.size() - 4) / kPlaylistRecordSize;
  const size_t n = count <= 0 ? 0 : std::min(size_t(count), available);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* p = bytes.data() + 4 + i * kPlaylistRecordSize;
    const PlaylistRecord r{readI32LE(p), readI32LE(p + 4), readI32LE(p + 8), readI32LE(p + 12)};
    if (isValidPlaylistRecord(r, catalogue)) records.push_back(r);
  }
  return records;
}

}  // namespace wc
