#include "support/DiscFixture.h"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <map>
#include <random>

#include "base/LittleEndian.h"
#include "gamedata/CatalogueRecords.h"
#include "gamedata/ClipAudio.h"

namespace wc::test {
namespace {

constexpr uint64_t kLeadIn = 32;
constexpr int kUnlistedStations[] = {0, 2, 3, 7};

std::string spelt(std::string name, const DiscSpelling& spelling, bool isFile) {
  if (spelling.lowerCase)
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (spelling.versionSuffix && isFile) name += ";1";
  return name;
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("wavecrate-test-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++) + "-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

uint8_t packByte(uint32_t station, uint64_t offset) {
  return uint8_t((offset * 131 + (offset >> 9) * 7 + station * 59) & 0xFF);
}

std::vector<uint8_t> lookupTableBytes(const std::vector<LookupRecord>& records) {
  std::vector<uint8_t> bytes(records.size() * kLookupRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    writeU32LE(&bytes[i * 12], records[i].station);
    writeU32LE(&bytes[i * 12 + 4], records[i].offset);
    writeU32LE(&bytes[i * 12 + 8], records[i].size);
  }
  return bytes;
}

void writeBytes(const Path& file, std::span<const uint8_t> bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> readBytes(const Path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readText(const Path& file) {
  const std::vector<uint8_t> bytes = readBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<LookupRecord> writeDisc(const Path& root, const std::vector<FixtureClip>& clips, DiscSpelling spelling) {
  std::vector<LookupRecord> records;
  std::map<uint32_t, uint64_t> packEnd;
  for (const FixtureClip& clip : clips) {
    uint64_t& end = packEnd.try_emplace(clip.station, kLeadIn).first->second;
    records.push_back({clip.station, uint32_t(end), clip.size});
    end += uint64_t(clip.size) + ClipAudio::kHeaderSize;
  }
  for (int station = 0; station < kStationCount; ++station) {
    const bool listed =
        std::find(std::begin(kUnlistedStations), std::end(kUnlistedStations), station) == std::end(kUnlistedStations);
    if (listed) packEnd.try_emplace(uint32_t(station), 0);
  }

  const Path audio = root / spelt("AUDIO", spelling, false);
  for (const auto& [station, size] : packEnd) {
    if (station >= uint32_t(kStationCount)) continue;
    std::vector<uint8_t> pack(size);
    for (uint64_t i = 0; i < size; ++i) pack[i] = packByte(station, i);
    writeBytes(
        audio / spelt("STREAMS", spelling, false) / spelt(std::string(kPackNames[station]) + ".PAK", spelling, true),
        pack);
  }
  writeBytes(audio / spelt("CONFIG", spelling, false) / spelt("TRAKLKUP.DAT", spelling, true),
             lookupTableBytes(records));
  return records;
}

}  // namespace wc::test
