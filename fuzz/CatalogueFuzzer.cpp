// The catalogue file together with a lookup table, as start-up reads them,
// then every reader of the catalogue: the browser's clip list and painting on
// every station, the playlist tools' pools and picks, row colours, and the
// intro and outro lookups of tracks.
//
// Input: one control byte, the size the lookup table claims (with control
// bit 64: as a disc image's directory may claim more than the file holds),
// the lookup table as a length-prefixed part, then the catalogue file (any
// length; a short one reads as zero-padded).
#include <cstdint>
#include <cstdlib>

#include "base/CRandom.h"
#include "fuzz/FuzzSupport.h"
#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "playlist/ClipPool.h"
#include "playlist/Track.h"
#include "session/Command.h"

namespace wc::fuzz {
namespace {

// The loaded catalogue must hold exactly the clips of the lookup table that
// fit it, wherever its counts came from.
void checkAgainstLookup(const Catalogue& catalogue, std::span<const uint8_t> table) {
  const auto records = parseLookupTable(table);
  int counts[kStationCount] = {};
  forEachFittingRecord(records, [&](int station, int k, const LookupRecord& r) {
    const Clip& c = catalogue.stations[station].clips[k];
    if (c.offset != r.offset || c.size != r.size) std::abort();
    counts[station] = k + 1;
  });
  for (int i = 0; i < kStationCount; ++i)
    if (catalogue.stations[i].clipCount != counts[i]) std::abort();
}

void readEveryClip(const Catalogue& catalogue) {
  uint64_t sink = 0;
  for (int s = 0; s < kStationCount; ++s) {
    const Station& station = catalogue.stations[s];
    for (const Clip& c : station.validClips()) sink += clipClassColour(c.kind()) + c.titleText().size();
    for (int k = 0; k < station.validCount(); k = station.nextTopLevel(k)) {
      std::unique_ptr<Track> track(createTrack(catalogue, s, k));
      if (!track) std::abort();
      // The default choices, the first and last the counts allow, and the
      // ones just past them and past the records.
      const auto [intros, outros] = station.followOns(k);
      for (int32_t intro : {track->intro, int32_t(0), intros - 1, intros, int32_t(kMaxClipsPerStation)}) {
        track->intro = intro;
        const Clip* c = introClipOf(catalogue, *track);
        if (c) sink += uint8_t(c->title[0]);
      }
      for (int32_t outro : {track->outro, int32_t(0), outros - 1, outros, int32_t(kMaxClipsPerStation)}) {
        track->outro = outro;
        const Clip* c = outroClipOf(catalogue, *track);
        if (c) sink += uint8_t(c->title[0]);
      }
    }
  }
  CRandom random(1);
  for (int s = 0; s < kStationCount; ++s) {
    for (uint32_t mask :
         {PoolMask::Songs, PoolMask::Commercials, PoolMask::Five, PoolMask::Six, PoolMask::TwoSeven, 0xFFFFFFFFu}) {
      ClipPool once = buildPool(catalogue, s, mask, false, random);
      for (int n = 0; n <= once.capacity() && once.pick() >= 0; ++n) {
      }
      ClipPool ageing = buildPool(catalogue, s, mask, true, random);
      for (int n = 0; n < 8; ++n) sink += uint32_t(ageing.pick());
    }
  }
  if (sink == 0x5eed) std::abort();  // keeps the reads from being optimised away
}

void browseAndUseTools(HeadlessView& h, uint8_t control) {
  StudioView& view = h.makeView();
  StudioSession& session = *h.session;
  view.paintAll(h.surface);
  for (int step = 0; step < kStationCount; ++step) {
    view.stepStation((control & 2) ? -1 : +1);
    view.pageScroll(Pane::Clips, +1);
    view.paintAll(h.surface);
  }
  view.onCommand(Command::ShowAllClips);
  view.pageScroll(Pane::Clips, +1);
  view.paintAll(h.surface);
  if (control & 4) view.onCommand(Command::ShowAllClips);

  // The tools run through the command routing, only where enabled.
  auto run = [&](Command command) {
    const auto state = session.commandState(command);
    if (!state || !state->enabled) return false;
    session.onCommand(command);
    view.paintAll(h.surface);
    return true;
  };
  run((control & 8) ? Command::CreateRadioMix : Command::AddAllSongs);
  if (run(Command::RandomizeIntros)) {
    if (control & 16) run(Command::Pad);
    view.pageScroll(Pane::Playlist, +1);
    view.paintAll(h.surface);
  }
  if (control & 32) run(Command::CreateMusicMix);
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc;
  using namespace wc::fuzz;
  FuzzInput input({data, size});
  const uint8_t control = input.byte();
  // Up to 16 GiB in steps of 4 bytes; reading such a claim whole would take
  // more memory than the fuzzer's limit.
  const uint64_t claim = uint64_t(input.u32()) * 4;
  const auto table = input.prefixed();
  const auto catalogueFile = input.rest();
  const bool lies = (control & 64) && claim != table.size();

  MemoryFileSystem fs;
  const Path tablePath = kWorkDirectory / "CACHE" / "TRAKLKUP.DAT";
  fs.put(tablePath, {table.begin(), table.end()});
  if (lies) fs.claimSize(tablePath, claim);
  if (!(control & 1)) fs.put(kWorkDirectory / kCatalogueFileName, {catalogueFile.begin(), catalogueFile.end()});

  HeadlessView h(fs);
  h.gameData->loadCatalogue();
  const Catalogue& catalogue = h.gameData->catalogue();
  if (lies && claim > kMaxConfigFileBytes) {
    // Refused unread and named: no station has a clip.
    for (const Station& s : catalogue.stations)
      if (s.clipCount != 0) std::abort();
    bool named = false;
    for (const auto& shown : h.prompts.shown) named |= shown.text.find("TRAKLKUP.DAT") != std::string::npos;
    if (!named) std::abort();
  } else if (!lies) {
    checkAgainstLookup(catalogue, table);
  }
  readEveryClip(catalogue);

  // What a save writes, a later start reads back unchanged.
  if (!h.gameData->saveCatalogue()) std::abort();
  const auto* saved = fs.find(kWorkDirectory / kCatalogueFileName);
  if (!saved || saved->size() != kCatalogueFileSize) std::abort();
  auto reread = std::make_unique<Catalogue>();
  parseCatalogue(*saved, *reread);
  if (serializeCatalogue(*reread) != *saved) std::abort();

  browseAndUseTools(h, control);
  return 0;
}
