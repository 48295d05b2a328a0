#include "gamedata/DiscFingerprint.h"

#include <cstdio>

namespace wc {

std::string discFingerprint(const Catalogue& catalogue) {
  // FNV-1a over every station's clip count and each clip's offset and size:
  // stable across runs and machines, unlike std::hash.
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (value >> shift) & 0xFFu;
      hash *= 1099511628211ull;
    }
  };
  for (int s = 0; s < kStationCount; ++s) {
    const Station& station = catalogue.stations[s];
    mix(uint32_t(station.validCount()));
    for (const Clip& clip : station.validClips()) {
      mix(clip.offset);
      mix(clip.size);
    }
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace wc
