#pragma once
// The families of generated bare discs that the song detection is measured
// on. Each family makes its discs its own way (synthesised music, cuts of
// real recordings, ...); a disc is fixed by its family, seed and size, so a
// detector can be tuned on one family and seed range and judged on others
// it never saw. The plan's catalogue is the truth; written without a
// catalogue file, the disc is what a user's bare disc looks like.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "testkit/discgen/DiscBuilder.h"
#include "testkit/discgen/RadioDisc.h"  // BareDiscSize

namespace wc {

struct BareFamily {
  std::string_view name;
  std::string_view about;
  // The disc of `seed`; nullopt with the reason when the family's material
  // (a package's recordings, say) is not on this machine. Clips may come
  // encoded or as signals for encodeClipsAhead.
  std::optional<DiscPlan> (*plan)(uint32_t seed, const BareDiscSize& size, std::string& why);
};

std::span<const BareFamily> bareFamilies();
const BareFamily* findBareFamily(std::string_view name);

}  // namespace wc
