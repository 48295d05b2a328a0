#pragma once
// A generated bare disc on disk and the song detection run over it, for the
// song detection tests and the command-line tool's tests.
#include <memory>
#include <optional>

#include "analysis/DiscAnalysis.h"
#include "support/DiscFixture.h"
#include "support/IsoImage.h"
#include "tools/discgen/BareDisc.h"

namespace wc::test {

struct BareDiscRun {
  ScopedTempDir temp;
  std::optional<WrittenDisc> disc;  // its catalogue is the truth
  std::unique_ptr<Catalogue> bare;  // what the program builds from the lookup table

  // Writes the stations as a cache (CACHE/ in the temporary directory).
  BareDiscRun(const std::vector<BareStation>& stations, uint32_t seed);

  // Loads clips from the written packs, each read through its own handle.
  ClipSource source() const;
  // The written files as grafts of a disc image (tests/support/IsoImage.h).
  std::vector<IsoGraft> isoGrafts() const;
  // Analyses every station of the bare catalogue that has no song.
  std::optional<DiscProposal> analyse() const;
};

}  // namespace wc::test
