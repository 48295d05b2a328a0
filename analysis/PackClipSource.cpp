#include "analysis/PackClipSource.h"

#include <memory>
#include <vector>

#include "gamedata/ClipLoader.h"

namespace wc {
namespace {

struct ClipPlace {
  uint32_t offset = 0;
  uint32_t size = 0;
};

struct PackReader {
  FileSystem* fs;
  std::array<std::optional<Path>, kStationCount> paths;
  std::array<std::vector<ClipPlace>, kStationCount> places;
  std::array<std::unique_ptr<InputFile>, kStationCount> open;
  std::array<bool, kStationCount> tried{};

  std::unique_ptr<ClipAudio> load(int station, int clip) {
    if (station < 0 || station >= kStationCount || !paths[size_t(station)]) return nullptr;
    const auto& list = places[size_t(station)];
    if (clip < 0 || size_t(clip) >= list.size()) return nullptr;
    if (!tried[size_t(station)]) {
      tried[size_t(station)] = true;
      open[size_t(station)] = fs->openRead(*paths[size_t(station)]);
    }
    InputFile* pack = open[size_t(station)].get();
    return pack ? readClipAudio(*pack, list[size_t(clip)].offset, list[size_t(clip)].size) : nullptr;
  }
};

}  // namespace

ClipSource packClipSource(FileSystem& fs, const std::array<std::optional<Path>, kStationCount>& packs,
                          const Catalogue& catalogue) {
  auto reader = std::make_shared<PackReader>();
  reader->fs = &fs;
  reader->paths = packs;
  for (int s = 0; s < kStationCount; ++s)
    for (const Clip& c : catalogue.stations[s].validClips()) reader->places[size_t(s)].push_back({c.offset, c.size});
  return [reader](int station, int clip) { return reader->load(station, clip); };
}

}  // namespace wc
