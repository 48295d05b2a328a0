#include "support/BareDiscRun.h"

#include "gamedata/CatalogueBuilder.h"
#include "gamedata/ClipLoader.h"
#include "tools/discgen/ParallelEncode.h"

namespace wc::test {

BareDiscRun::BareDiscRun(const std::vector<BareStation>& stations, uint32_t seed) {
  DiscPlan plan = bareDiscPlan(stations, seed);
  encodeClipsAhead(plan, 2);
  DiscWriteOptions options;
  options.layout = DiscLayout::Cache;
  options.writeCatalogueFile = false;
  disc = writeDisc(plan, temp.path(), options);
  bare = std::make_unique<Catalogue>();
  resetToBareCatalogue(*bare);
  if (disc) fillClipsFromLookup(*bare, disc->records);
}

ClipSource BareDiscRun::source() const {
  return [this](int station, int clip) -> std::unique_ptr<ClipAudio> {
    auto pack = realFileSystem().openRead(disc->paths.packs[size_t(station)]);
    if (!pack) return nullptr;
    const Clip& c = bare->stations[station].clips[clip];
    return readClipAudio(*pack, c.offset, c.size);
  };
}

std::optional<DiscProposal> BareDiscRun::analyse() const {
  return analyseStations(*bare, stationsWithoutSongs(*bare), source());
}

}  // namespace wc::test
