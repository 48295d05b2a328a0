#pragma once
// A generated bare disc on disk and the song detection run over it, for the
// song detection tests and the command-line tool's tests.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/DiscAnalysis.h"
#include "support/DiscFixture.h"
#include "support/IsoImage.h"
#include "testkit/discgen/BareDisc.h"
#include "testkit/discgen/BareFamilies.h"

namespace wc::test {

// Three song blocks a station, short songs: a family's disc a test can afford.
inline constexpr BareDiscSize kSmallBareDisc{3, true, 2};

struct BareDiscRun {
  ScopedTempDir temp;
  std::optional<WrittenDisc> disc;  // its catalogue is the truth
  std::unique_ptr<Catalogue> bare;  // what the program builds from the lookup table
  // Why there is no disc: the family's material is missing on this machine
  // (a test skips with it), or the disc could not be written.
  std::string unavailable;

  // Writes the stations as a cache (CACHE/ in the temporary directory).
  BareDiscRun(const std::vector<BareStation>& stations, uint32_t seed);
  // Disc `seed` of a family of BareFamilies.h.
  BareDiscRun(std::string_view family, uint32_t seed, const BareDiscSize& size = kSmallBareDisc);

  // Loads clips from the written packs, each read through its own handle.
  ClipSource source() const;
  // The written files as grafts of a disc image (tests/support/IsoImage.h).
  std::vector<IsoGraft> isoGrafts() const;
  // Analyses every station of the bare catalogue that has no song.
  std::optional<DiscProposal> analyse() const;

 private:
  void write(DiscPlan plan);
};

}  // namespace wc::test
