// Names, tags and CD-image ranges of the tracks of an export, and its M3U8.
#include <algorithm>
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
    const std::string label = knownStation ? latin1ToUtf8(catalogue.stations[t->station].labelText()) : "";
    planned.tags.title = latin1ToUtf8(clip.titleText());
    planned.tags.artist = clip.isSong() ? latin1ToUtf8(clip.artistText()) : label;
    planned.tags.album = album;
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

std::string m3u8Text(const TrackExportPlan& plan) {
  std::string text = "#EXTM3U\n";
  for (const PlannedTrack& t : plan.tracks) {
    text += "#EXTINF:" + std::to_string((t.frames + kCdRate / 2) / kCdRate) + "," + t.tags.artist + " - " +
            t.tags.title + "\n";
    text += t.fileName + "\n";
  }
  return text;
}

}  // namespace wc
