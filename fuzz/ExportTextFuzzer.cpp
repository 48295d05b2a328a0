// Catalogue text on its way out of the program: the per-track export's file
// names, tags and M3U8 playlist, and the reading of an earlier export's
// M3U8 that decides which old files may be removed. Whatever the titles,
// artists, labels and album hold, the playlist gets exactly two lines per
// track, every line and tag is printable, and only plain track files of the
// folder are ever offered for removal.
//
// Input: one control byte (the format), the album as a length-prefixed part,
// an earlier M3U8 as a length-prefixed part, then records of one clip class
// byte, a 64-byte title, a 64-byte artist and a 32-byte station label.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "playlist/TrackExporter.h"

namespace wc::fuzz {
namespace {

constexpr int kStation = 6;

bool printable(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = uint8_t(text[i]);
    if (b < 0x20 || b == 0x7f) return false;
    if (b == 0xc2 && i + 1 < text.size() && uint8_t(text[i + 1]) >= 0x80 && uint8_t(text[i + 1]) < 0xa0) return false;
  }
  return true;
}

void copyField(char* field, std::span<const uint8_t> bytes, size_t capacity) {
  std::memset(field, 0, capacity);
  std::memcpy(field, bytes.data(), std::min(bytes.size(), capacity));
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc;
  using namespace wc::fuzz;
  FuzzInput input({data, size});
  const TrackFormat format = TrackFormat(input.byte() % 4);
  const auto albumBytes = input.prefixed();
  const std::string album(albumBytes.begin(), albumBytes.end());
  const auto oldM3u = input.prefixed();

  auto catalogue = std::make_unique<Catalogue>();
  std::memset(catalogue.get(), 0, sizeof(Catalogue));
  Playlist playlist;
  Station& station = catalogue->stations[kStation];
  while (!input.empty() && station.clipCount < kMaxCdTracks) {
    Clip& clip = station.clips[station.clipCount];
    clip.clipClass = input.byte() % 8;
    copyField(clip.title, input.take(sizeof clip.title), sizeof clip.title);
    copyField(clip.artist, input.take(sizeof clip.artist), sizeof clip.artist);
    copyField(station.label, input.take(sizeof station.label), sizeof station.label);
    auto track = std::make_unique<Track>();
    track->station = kStation;
    track->clip = &clip;
    track->clipIndex = station.clipCount++;
    playlist.append(std::move(track));
  }

  const TrackExportPlan plan = planTrackExport(playlist, *catalogue, album, format);
  const std::string m3u = m3u8Text(plan);
  size_t lines = 0;
  for (size_t at = 0; at < m3u.size();) {
    const size_t end = m3u.find('\n', at);
    if (end == std::string::npos) std::abort();  // every line ends
    if (!printable(std::string_view(m3u).substr(at, end - at))) std::abort();
    ++lines;
    at = end + 1;
  }
  if (lines != 1 + 2 * plan.tracks.size()) std::abort();
  for (const PlannedTrack& t : plan.tracks) {
    for (const std::string* tag : {&t.tags.title, &t.tags.artist, &t.tags.album, &t.tags.albumArtist, &t.tags.genre})
      if (!printable(*tag)) std::abort();
    if (t.fileName.find('/') != std::string::npos || t.fileName.front() == '.' || !printable(t.fileName)) std::abort();
  }

  // An earlier export's playlist beside files of every kind.
  MemoryFileSystem fs;
  const Path folder = kWorkDirectory / "album";
  fs.put(folder / plan.playlistName, {oldM3u.begin(), oldM3u.end()});
  for (const char* name : {"01 - A.flac", "02 - B.mp3", "notes.txt", ".03 - C.wav", "04 - D.opus"})
    fs.put(folder / name, {1});
  fs.createDirectory(folder / "05 - E.flac");
  const std::vector<std::string> present = fs.listDirectory(folder);
  const std::vector<std::string> own = plan.fileNames();
  for (const std::string& name : staleAlbumFiles(fs, folder, plan)) {
    if (std::find(present.begin(), present.end(), name) == present.end()) std::abort();
    if (std::find(own.begin(), own.end(), name) != own.end()) std::abort();
    if (name == "notes.txt" || name[0] == '.' || name.find('/') != std::string::npos || fs.isDirectory(folder / name))
      std::abort();
  }
  return 0;
}
