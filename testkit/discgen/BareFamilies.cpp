#include "testkit/discgen/BareFamilies.h"

#include <array>

#include "testkit/discgen/BareDisc.h"

namespace wc {
namespace {

std::optional<DiscPlan> synthDisc(uint32_t seed, const BareDiscSize& size, std::string&) {
  return bareDiscPlan(randomBareStations(seed, size.songsPerStation, size.small ? 4.0 : 9.0), seed);
}

constexpr std::array kFamilies = {
    BareFamily{"synth", "synthesised songs, speech-like babble, linear fades", synthDisc},
};

}  // namespace

std::span<const BareFamily> bareFamilies() { return kFamilies; }

const BareFamily* findBareFamily(std::string_view name) {
  for (const BareFamily& f : kFamilies)
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace wc
