// The checked readers against records a catalogue file from outside may hold:
// none of them may reach past a field or past the station's valid clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gamedata/CatalogueRecords.h"

namespace wc {
namespace {

struct HostileStation {
  const char* what;
  int32_t clipCount;
  int32_t clipClass;  // of clip 1
  int32_t intros;     // of clip 1
  int32_t outros;     // of clip 1
  bool fillTitle;     // clip 1's title and artist fill their fields without a NUL
  // What the readers must make of it.
  int validCount;
  ClipClass kind;
  FollowOns followOns;
  std::vector<int> topLevel;
};

const HostileStation kHostile[] = {
    {"a well-formed song", 6, 0, 2, 1, false, 6, ClipClass::Song, {2, 1}, {0, 1, 5}},
    {"class past 7", 4, 8, 0, 0, false, 4, ClipClass::Other3, {0, 0}, {0, 1, 2, 3}},
    {"negative class", 4, -1, 0, 0, false, 4, ClipClass::Other3, {0, 0}, {0, 1, 2, 3}},
    {"class 32 + 0 is no song", 4, 32, 0, 0, false, 4, ClipClass::Other3, {0, 0}, {0, 1, 2, 3}},
    {"intros past the station", 4, 0, 9, 1, false, 4, ClipClass::Song, {2, 0}, {0, 1}},
    {"outros past the station", 4, 0, 1, 9, false, 4, ClipClass::Song, {1, 1}, {0, 1}},
    {"counts that overflow when added", 5, 0, INT32_MAX, INT32_MAX, false, 5, ClipClass::Song, {3, 0}, {0, 1}},
    {"negative counts", 4, 0, -5, -1, false, 4, ClipClass::Song, {0, 0}, {0, 1, 2, 3}},
    {"clip count past 256", 300, 0, 0, 0, false, 256, ClipClass::Song, {0, 0}, {}},
    {"negative clip count", -3, 0, 0, 0, false, 0, ClipClass::Song, {0, 0}, {}},
    {"unterminated text", 2, 7, 0, 0, true, 2, ClipClass::ChatterSeven, {0, 0}, {0, 1}},
};

TEST(CatalogueAccessTest, HostileRecordsReadInsideTheStation) {
  for (const HostileStation& h : kHostile) {
    SCOPED_TRACE(h.what);
    auto station = std::make_unique<Station>();
    std::memset(station.get(), 0, sizeof(Station));
    station->clipCount = h.clipCount;
    Clip& c = station->clips[1];
    c.clipClass = h.clipClass;
    c.intros = h.intros;
    c.outros = h.outros;
    std::strcpy(c.title, "Title");
    if (h.fillTitle) {
      std::memset(c.title, 'T', sizeof c.title);
      std::memset(c.artist, 'A', sizeof c.artist);
      std::memset(station->label, 'L', sizeof station->label);
    }

    EXPECT_EQ(station->validCount(), h.validCount);
    EXPECT_EQ(station->validClips().size(), size_t(h.validCount));
    EXPECT_EQ(c.kind(), h.kind);
    EXPECT_EQ(station->followOns(1), h.validCount > 1 ? h.followOns : FollowOns{});
    EXPECT_EQ(c.titleText().size(), h.fillTitle ? sizeof c.title : 5u);
    EXPECT_EQ(c.artistText().size(), h.fillTitle ? sizeof c.artist : 0u);
    EXPECT_EQ(station->labelText().size(), h.fillTitle ? sizeof station->label : 0u);
    if (h.topLevel.size() || h.validCount == 0) {
      std::vector<int> walked;
      station->forEachTopLevel([&](int k, const Clip&) { walked.push_back(k); });
      EXPECT_EQ(walked, h.topLevel);
    }
    // No follow-on of any clip lies past the valid clips.
    for (int k = -1; k <= h.validCount; ++k) {
      const FollowOns f = station->followOns(k);
      EXPECT_LE(int64_t(k) + 1 + f.intros + f.outros, std::max(h.validCount, k + 1)) << k;
    }
  }
}

TEST(CatalogueAccessTest, SettersKeepTheRecordsInside) {
  auto station = std::make_unique<Station>();
  std::memset(station.get(), 0, sizeof(Station));
  station->clipCount = 4;
  EXPECT_TRUE(station->setFollowOns(0, {2, 1}));
  EXPECT_FALSE(station->setFollowOns(1, {2, 1}));  // one past the last clip
  EXPECT_FALSE(station->setFollowOns(4, {0, 0}));
  EXPECT_FALSE(station->setFollowOns(0, {-1, 0}));
  EXPECT_EQ(station->followOns(1), FollowOns{});
  EXPECT_EQ(station->followOns(0), (FollowOns{2, 1}));

  Clip& c = station->clips[0];
  std::memset(c.title, 'x', sizeof c.title);
  c.setTitle(std::string(80, 'y'));
  EXPECT_EQ(c.titleText(), std::string(63, 'y'));
  c.setTitle("Short");
  EXPECT_EQ(c.titleText(), "Short");
  EXPECT_EQ(c.title[63], '\0');  // the rest of the field is zero again
  EXPECT_EQ(c.title[6], '\0');
}

}  // namespace
}  // namespace wc
