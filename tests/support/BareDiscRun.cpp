#include "support/BareDiscRun.h"

#include <filesystem>

#include "analysis/PackClipSource.h"
#include "gamedata/CatalogueBuilder.h"
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
  PackFiles packs;
  for (int s = 0; s < kStationCount; ++s) packs[size_t(s)] = realFileSystem().openRead(disc->paths.packs[size_t(s)]);
  return packClipSource(std::move(packs), *bare);
}

std::vector<IsoGraft> BareDiscRun::isoGrafts() const {
  std::vector<IsoGraft> grafts{{"/AUDIO/CONFIG/TRAKLKUP.DAT", disc->paths.lookupTable}};
  for (const Path& pack : disc->paths.packs)
    if (std::filesystem::exists(pack)) grafts.push_back({"/AUDIO/STREAMS/" + pack.filename().string(), pack});
  return grafts;
}

std::optional<DiscProposal> BareDiscRun::analyse() const {
  return analyseStations(*bare, stationsWithoutSongs(*bare), source());
}

}  // namespace wc::test
