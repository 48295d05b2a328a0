#include "support/BareDiscRun.h"

#include <filesystem>

#include "analysis/PackClipSource.h"
#include "gamedata/CatalogueBuilder.h"
#include "testkit/discgen/ParallelEncode.h"

namespace wc::test {

BareDiscRun::BareDiscRun(const std::vector<BareStation>& stations, uint32_t seed) {
  write(bareDiscPlan(stations, seed));
}

BareDiscRun::BareDiscRun(std::string_view family, uint32_t seed, const BareDiscSize& size) {
  const BareFamily* f = findBareFamily(family);
  if (!f) {
    unavailable = "no family " + std::string(family);
    return;
  }
  if (std::optional<DiscPlan> plan = f->plan(seed, size, unavailable)) write(std::move(*plan));
}

void BareDiscRun::write(DiscPlan plan) {
  encodeClipsAhead(plan, 2);
  DiscWriteOptions options;
  options.layout = DiscLayout::Cache;
  options.writeCatalogueFile = false;
  disc = writeDisc(plan, temp.path(), options, &unavailable);
  bare = std::make_unique<Catalogue>();
  resetToBareCatalogue(*bare);
  if (disc) fillClipsFromLookup(*bare, disc->records);
}

ClipSource BareDiscRun::source() const {
  std::array<std::optional<Path>, kStationCount> packs;
  for (int s = 0; s < kStationCount; ++s) packs[size_t(s)] = disc->paths.packs[size_t(s)];
  return packClipSource(realFileSystem(), packs, *bare);
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
