// Names, tags and CD-image ranges of the tracks of an export, and its M3U8.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "audio/WaveWriter.h"
#include "gamedata/ClipAnnotation.h"
#include "playlist/TrackExporter.h"

namespace wc {
namespace {

constexpr int32_t kStreamRate = 24000;
constexpr int32_t kCdRate = 44100;
constexpr int64_t kFramesPerSector = kCdRate / WaveWriter::kSectorsPerSecond;

// Catalogue text on its way into tags: Latin-1 to UTF-8, controls out.
std::string tagText(std::string_view latin1) { return printableUtf8(latin1ToUtf8(latin1)); }

// The first CD sector of a track that starts after `samplesBefore` input
// samples: the writer's sectorsSoFar() at that moment.
int64_t startSector(int64_t samplesBefore) {
  return (samplesBefore * WaveWriter::kSectorsPerSecond + kStreamRate - 1) / kStreamRate;
}

}  // namespace

std::vector<std::string> TrackExportPlan::fileNames() const {
  std::vector<std::string> names;
  for (const PlannedTrack& t : tracks) names.push_back(t.fileName);
  names.push_back(playlistName);
  return names;
}

std::string safeFileName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    const bool refused = c < 0x20 || c == 0x7f || std::strchr("/\\:*?\"<>|", c) != nullptr;
    out += refused ? '_' : char(c);
  }
  const size_t first = out.find_first_not_of(". ");
  const size_t last = out.find_last_not_of(". ");
  out = first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
  return out.empty() ? "_" : out;
}

TrackExportPlan planTrackExport(const Playlist& playlist, const Catalogue& catalogue, const std::string& album,
                                TrackFormat format) {
  TrackExportPlan plan;
  plan.format = format;
  plan.playlistName = safeFileName(album) + ".m3u8";
  int64_t samplesBefore = 0;
  int count = 0;
  for (const Track* t = playlist.first(); t; t = Playlist::after(t)) ++count;
  int number = 1;
  for (const Track* t = playlist.first(); t; t = Playlist::after(t), ++number) {
    PlannedTrack planned;
    const Clip& clip = *t->clip;
    const bool knownStation = t->station >= 0 && t->station < kStationCount;
    const std::string label = knownStation ? tagText(catalogue.stations[t->station].labelText()) : "";
    planned.tags.title = tagText(clip.titleText());
    planned.tags.artist = clip.isSong() ? tagText(clip.artistText()) : label;
    planned.tags.album = printableUtf8(album);
    planned.tags.albumArtist = "Various Artists";
    planned.tags.genre = "Radio";
    planned.tags.trackNumber = number;
    planned.tags.trackTotal = count;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d - ", number);
    planned.fileName = prefix + safeFileName(planned.tags.title) + "." + std::string(trackFormatName(format));
    planned.firstFrame = startSector(samplesBefore) * kFramesPerSector;
    samplesBefore += trackSamples(*t);
    plan.tracks.push_back(std::move(planned));
  }
  // Each track runs to the next one's start; the last to the end of the
  // image, its padding to a whole sector included.
  const int64_t imageFrames = int64_t(WaveWriter::predictedDataBytes(samplesBefore, kStreamRate, kCdRate) / 4);
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const int64_t end = i + 1 < plan.tracks.size() ? plan.tracks[i + 1].firstFrame : imageFrames;
    plan.tracks[i].frames = end - plan.tracks[i].firstFrame;
  }
  return plan;
}

std::vector<std::string> existingExportFiles(FileSystem& fs, const Path& folder, const TrackExportPlan& plan) {
  const std::vector<std::string> present = fs.listDirectory(folder);
  std::vector<std::string> existing;
  for (const std::string& name : plan.fileNames())
    if (std::find(present.begin(), present.end(), name) != present.end()) existing.push_back(name);
  return existing;
}

std::vector<std::string> staleAlbumFiles(FileSystem& fs, const Path& folder, const TrackExportPlan& plan) {
  // Far above any playlist of 99 tracks; a larger file is not ours.
  constexpr size_t kMaxPlaylistBytes = 256 * 1024;
  const auto bytes = readFilePrefix(fs, folder / plan.playlistName, kMaxPlaylistBytes + 1);
  if (!bytes || bytes->size() > kMaxPlaylistBytes) return {};
  const std::vector<std::string> ours = plan.fileNames();
  const std::vector<std::string> present = fs.listDirectory(folder);
  auto looksLikeTrack = [](const std::string& name) {
    if (name.size() < 6 || !std::isdigit(uint8_t(name[0])) || !std::isdigit(uint8_t(name[1])) ||
        name.compare(2, 3, " - ") != 0)
      return false;
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && parseTrackFormat(name.substr(dot + 1)).has_value();
  };
  std::vector<std::string> stale;
  const std::string text(bytes->begin(), bytes->end());
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || line.find('/') != std::string::npos || line.find('\\') != std::string::npos)
      continue;
    if (!looksLikeTrack(line) || std::find(ours.begin(), ours.end(), line) != ours.end() ||
        std::find(stale.begin(), stale.end(), line) != stale.end())
      continue;
    if (std::find(present.begin(), present.end(), line) != present.end() && !fs.isDirectory(folder / line))
      stale.push_back(line);
  }
  return stale;
}

std::string m3u8Text(const TrackExportPlan& plan) {
  std::string text = "#EXTM3U\n";
  for (const PlannedTrack& t : plan.tracks) {
    // A song whose artist is not known is listed by its title alone.
    const std::string name = t.tags.artist.empty() ? t.tags.title : t.tags.artist + " - " + t.tags.title;
    text += "#EXTINF:" + std::to_string((t.frames + kCdRate / 2) / kCdRate) + "," + name + "\n";
    text += t.fileName + "\n";
  }
  return text;
}

}  // namespace wc
