#include "analysis/PackClipSource.h"

#include "gamedata/ClipLoader.h"
#include "gamedata/GameData.h"

namespace wc {
namespace {

struct ClipPlace {
  uint32_t offset = 0;
  uint32_t size = 0;
};

struct PackReader {
  PackFiles packs;
  std::array<std::vector<ClipPlace>, kStationCount> places;

  std::unique_ptr<ClipAudio> load(int station, int clip) {
    if (station < 0 || station >= kStationCount || !packs[size_t(station)]) return nullptr;
    const auto& list = places[size_t(station)];
    if (clip < 0 || size_t(clip) >= list.size()) return nullptr;
    return readClipAudio(*packs[size_t(station)], list[size_t(clip)].offset, list[size_t(clip)].size);
  }
};

}  // namespace

PackFiles openPacks(GameData& gameData, const std::vector<int>& stations) {
  PackFiles packs;
  for (int station : stations)
    if (station >= 0 && station < kStationCount && !packs[size_t(station)])
      packs[size_t(station)] = gameData.openPack(station);
  return packs;
}

ClipSource packClipSource(PackFiles packs, const Catalogue& catalogue) {
  auto reader = std::make_shared<PackReader>();
  reader->packs = std::move(packs);
  for (int s = 0; s < kStationCount; ++s)
    for (const Clip& c : catalogue.stations[s].validClips()) reader->places[size_t(s)].push_back({c.offset, c.size});
  return [reader](int station, int clip) { return reader->load(station, clip); };
}

ClipSource packClipSource(FileSystem& fs, const std::array<std::optional<Path>, kStationCount>& packs,
                          const Catalogue& catalogue) {
  PackFiles files;
  for (int s = 0; s < kStationCount; ++s)
    if (packs[size_t(s)]) files[size_t(s)] = fs.openRead(*packs[size_t(s)]);
  return packClipSource(std::move(files), catalogue);
}

}  // namespace wc
