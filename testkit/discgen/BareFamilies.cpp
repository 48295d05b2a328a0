#include "testkit/discgen/BareFamilies.h"

#include <array>

#include "testkit/discgen/BareDisc.h"
#include "testkit/discgen/RadioMaterials.h"
#include "testkit/discgen/Speech.h"

namespace wc {
namespace {

std::optional<DiscPlan> synthDisc(uint32_t seed, const BareDiscSize& size, std::string&) {
  return bareDiscPlan(randomBareStations(seed, size.songsPerStation, size.small ? 4.0 : 9.0), seed);
}

std::optional<DiscPlan> synthWideDisc(uint32_t seed, const BareDiscSize& size, std::string&) {
  return radioDiscPlan(*synthesisedMaterial(), 1, seed, size);
}

// The two recorded families never share a file: each has its own package.
constexpr RecordingShelf kHyperrogue{"/usr/share/hyperrogue/music", "", "hyperrogue-music"};
constexpr RecordingShelf kDrascula{"/usr/share/scummvm/drascula/audio", "track", "drascula-music"};

std::optional<DiscPlan> recordedDisc(const RecordingShelf& shelf, uint32_t family, uint32_t seed,
                                     const BareDiscSize& size, std::string& why) {
  // The babble fallback would make a different disc on a machine without it.
  if (!findOnPath("espeak-ng")) {
    why = "espeak-ng is not installed (Debian package espeak-ng)";
    return std::nullopt;
  }
  const auto recordings = loadRecordings(shelf, why);
  if (!recordings) return std::nullopt;
  return radioDiscPlan(*recordedMaterial(recordings), family, seed, size);
}

std::optional<DiscPlan> hyperrogueDisc(uint32_t seed, const BareDiscSize& size, std::string& why) {
  return recordedDisc(kHyperrogue, 2, seed, size, why);
}

std::optional<DiscPlan> drasculaDisc(uint32_t seed, const BareDiscSize& size, std::string& why) {
  return recordedDisc(kDrascula, 3, seed, size, why);
}

constexpr std::array kFamilies = {
    BareFamily{"synth", "synthesised songs, speech-like babble, linear fades", synthDisc},
    BareFamily{"synthwide", "synthesised band songs cut like radio, babble voices", synthWideDisc},
    BareFamily{"hyperrogue", "recordings of hyperrogue-music cut like radio, espeak-ng voices", hyperrogueDisc},
    BareFamily{"drascula", "recordings of drascula-music cut like radio, espeak-ng voices", drasculaDisc},
};

}  // namespace

std::span<const BareFamily> bareFamilies() { return kFamilies; }

const BareFamily* findBareFamily(std::string_view name) {
  for (const BareFamily& f : kFamilies)
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace wc
