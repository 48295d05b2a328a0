#pragma once
// Small on-disk fixtures for game data tests: a scratch directory, and a
// disc's AUDIO tree with a lookup table and packs whose clips have given
// sizes. Pack bytes follow a fixed pattern so tests can check what was read.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/File.h"
#include "gamedata/CatalogueBuilder.h"

namespace wc::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const Path& path() const { return path_; }

 private:
  Path path_;
};

struct FixtureClip {
  uint32_t station;
  uint32_t size;  // audio bytes after the 8068-byte header
};

// How the disc's names are spelt: as on the disc ("AUDIO", "CH.PAK"), in
// lower case, and with the ISO 9660 version suffix on files ("ch.pak;1").
struct DiscSpelling {
  bool lowerCase = false;
  bool versionSuffix = false;
};

// The byte at `offset` of the pack of `station`.
uint8_t packByte(uint32_t station, uint64_t offset);

// Writes <root>/AUDIO/CONFIG/TRAKLKUP.DAT and <root>/AUDIO/STREAMS/<PACK>.PAK
// for the clips, in the given order (so stations may interleave). Each pack
// starts with 32 bytes of lead-in, then holds its clips back to back. Every
// listed station of the bare catalogue gets a pack, empty if it has no clips.
// Returns the lookup records written.
std::vector<LookupRecord> writeDisc(const Path& root, const std::vector<FixtureClip>& clips,
                                    DiscSpelling spelling = {});

std::vector<uint8_t> lookupTableBytes(const std::vector<LookupRecord>& records);
void writeBytes(const Path& file, std::span<const uint8_t> bytes);
std::vector<uint8_t> readBytes(const Path& file);
// The whole file as text (empty when it cannot be read).
std::string readText(const Path& file);

}  // namespace wc::test
