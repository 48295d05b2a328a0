#pragma once
// A playlist built in memory from generated music and speech, with a
// catalogue holding its clips' titles: exports run on it without a disc.
#include <cstdint>
#include <memory>
#include <string>

#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"

namespace wc::test {

struct SyntheticPlaylist {
  static constexpr int kStation = 4;
  static constexpr const char* kLabel = "Test FM";

  SyntheticPlaylist();
  // Appends a track of one clip lasting `seconds` (music for songs, speech
  // otherwise; `seed` varies the signal).
  Track& add(const std::string& title, const std::string& artist, ClipClass clipClass, double seconds, uint32_t seed);

  std::unique_ptr<Catalogue> catalogue;
  Playlist playlist;
};

}  // namespace wc::test
