#include "gamedata/CatalogueBuilder.h"

#include <cstdio>
#include <cstring>

#include "base/LittleEndian.h"

namespace wc {

std::vector<LookupRecord> parseLookupTable(std::span<const uint8_t> bytes) {
  std::vector<LookupRecord> records(bytes.size() / kLookupRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    const uint8_t* p = bytes.data() + i * kLookupRecordSize;
    records[i] = {readU32LE(p), readU32LE(p + 4), readU32LE(p + 8)};
  }
  return records;
}

uint32_t clipSeconds(uint32_t size) {
  // Stays in unsigned 32-bit arithmetic on purpose: titles of existing
  // catalogue files were made with exactly this rounding.
  return size / 135168u * 114688u / 24000u;
}

void formatDefaultTitle(char (&title)[64], int clipIndex, uint32_t size) {
  const uint32_t seconds = clipSeconds(size);
  std::snprintf(title, sizeof title, "Clip #%d %2.2u:%2.2u", clipIndex + 1, seconds / 60, seconds % 60);
}

void resetToBareCatalogue(Catalogue& catalogue) {
  std::memset(&catalogue, 0, sizeof catalogue);
  for (int i = 0; i < kStationCount; ++i) {
    Station& s = catalogue.stations[i];
    std::snprintf(s.name, sizeof s.name, "%s", kPackNames[size_t(i)]);
    std::snprintf(s.label, sizeof s.label, "%s", kPackNames[size_t(i)]);
    s.listed = 1;
  }
  for (int unlisted : {0, 2, 3, 7}) catalogue.stations[unlisted].listed = 0;
}

void fillClipsFromLookup(Catalogue& catalogue, std::span<const LookupRecord> records) {
  for (Station& s : catalogue.stations) s.clipCount = 0;
  forEachFittingRecord(records, [&](int station, int k, const LookupRecord& r) {
    Station& s = catalogue.stations[station];
    Clip& c = s.clips[k];
    std::memset(&c, 0, sizeof c);
    formatDefaultTitle(c.title, k, r.size);
    c.setKind(station == kAdvertsStation ? ClipClass::Commercial : ClipClass::Chatter);
    c.offset = r.offset;
    c.size = r.size;
    s.clipCount = k + 1;
  });
}

bool catalogueMatchesLookup(const Catalogue& catalogue, std::span<const LookupRecord> records) {
  bool matches = true;
  int counts[kStationCount] = {};
  forEachFittingRecord(records, [&](int station, int k, const LookupRecord& r) {
    const Clip& c = catalogue.stations[station].clips[k];
    if (c.offset != r.offset || c.size != r.size) matches = false;
    counts[station] = k + 1;
  });
  for (int i = 0; i < kStationCount; ++i)
    if (catalogue.stations[i].clipCount != counts[i]) matches = false;
  return matches;
}

}  // namespace wc
