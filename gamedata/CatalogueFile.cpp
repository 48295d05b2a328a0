#include "gamedata/CatalogueFile.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"

namespace wc {
namespace {

constexpr size_t kStationSize = sizeof(Station);
constexpr size_t kClipSize = sizeof(Clip);
constexpr size_t kClipsOffset = offsetof(Station, clips);

void writeClip(uint8_t* p, const Clip& c) {
  std::memcpy(p, c.title, sizeof c.title);
  std::memcpy(p + 64, c.artist, sizeof c.artist);
  writeI32LE(p + 128, c.clipClass);
  writeI32LE(p + 132, c.intros);
  writeI32LE(p + 136, c.outros);
  writeU32LE(p + 140, c.offset);
  writeU32LE(p + 144, c.size);
  writeU32LE(p + 148, c.reserved);
}

void readClip(const uint8_t* p, Clip& c) {
  std::memcpy(c.title, p, sizeof c.title);
  std::memcpy(c.artist, p + 64, sizeof c.artist);
  c.clipClass = readI32LE(p + 128);
  c.intros = readI32LE(p + 132);
  c.outros = readI32LE(p + 136);
  c.offset = readU32LE(p + 140);
  c.size = readU32LE(p + 144);
  c.reserved = readU32LE(p + 148);
}

}  // namespace

std::vector<uint8_t> serializeCatalogue(const Catalogue& catalogue) {
  std::vector<uint8_t> bytes(kCatalogueFileSize, 0);
  for (int i = 0; i < kStationCount; ++i) {
    const Station& s = catalogue.stations[i];
    uint8_t* p = bytes.data() + size_t(i) * kStationSize;
    std::memcpy(p, s.name, sizeof s.name);
    std::memcpy(p + 16, s.label, sizeof s.label);
    writeI32LE(p + 48, s.clipCount);
    for (int k = 0; k < kMaxClipsPerStation; ++k) writeClip(p + kClipsOffset + size_t(k) * kClipSize, s.clips[k]);
    p[offsetof(Station, listed)] = s.listed;
    std::memcpy(p + offsetof(Station, padding), s.padding, sizeof s.padding);
  }
  return bytes;
}

void parseCatalogue(std::span<const uint8_t> bytes, Catalogue& catalogue) {
  // Parse from a zero-padded full image so a short file reads as one whose
  // missing tail is zero.
  std::vector<uint8_t> image(kCatalogueFileSize, 0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kCatalogueFileSize), image.begin());
  for (int i = 0; i < kStationCount; ++i) {
    Station& s = catalogue.stations[i];
    const uint8_t* p = image.data() + size_t(i) * kStationSize;
    std::memcpy(s.name, p, sizeof s.name);
    std::memcpy(s.label, p + 16, sizeof s.label);
    s.clipCount = readI32LE(p + 48);
    for (int k = 0; k < kMaxClipsPerStation; ++k) readClip(p + kClipsOffset + size_t(k) * kClipSize, s.clips[k]);
    s.listed = p[offsetof(Station, listed)];
    std::memcpy(s.padding, p + offsetof(Station, padding), sizeof s.padding);
  }
}

}  // namespace wc
