#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "base/LittleEndian.h"
#include "playlist/ClipPool.h"
#include "playlist/CueSheet.h"
#include "playlist/PlaylistFile.h"

namespace wc {
namespace {

std::unique_ptr<Catalogue> smallCatalogue() {
  auto c = std::make_unique<Catalogue>();
  std::memset(c.get(), 0, sizeof(Catalogue));
  Station& s = c->stations[5];
  s.clipCount = 6;
  s.clips[0] = Clip{"Song", "", 0, 2, 1, 0, 0, 0};  // intros 1-2, outro 3
  s.clips[4] = Clip{"Chatter", "", 2, 0, 0, 0, 0, 0};
  s.clips[5] = Clip{"Song B", "", 0, 0, 0, 0, 0, 0};
  return c;
}

// ---- Playlist file ----------------------------------------------------------

TEST(PlaylistFileTest, ThreeTracksAre52BytesAndReadBackTheSame) {
  auto catalogue = smallCatalogue();
  const std::vector<PlaylistRecord> records = {{5, 0, 1, 0}, {5, 4, 0, 0}, {5, 5, 0, 0}};
  const auto bytes = encodePlaylistFile(records);
  ASSERT_EQ(bytes.size(), 52u);
  EXPECT_EQ(readI32LE(bytes.data()), 3);
  EXPECT_EQ(readI32LE(bytes.data() + 4 + 16 + 4), 4);  // clip index of record 1
  EXPECT_EQ(decodePlaylistFile(bytes, *catalogue), records);
}

TEST(PlaylistFileTest, CountIsCappedAt99AndNonPositiveCountsReadNothing) {
  auto catalogue = smallCatalogue();
  std::vector<PlaylistRecord> many(150, PlaylistRecord{5, 5, 0, 0});
  auto bytes = encodePlaylistFile(many);
  EXPECT_EQ(decodePlaylistFile(bytes, *catalogue).size(), 99u);

  writeI32LE(bytes.data(), 0);
  EXPECT_TRUE(decodePlaylistFile(bytes, *catalogue).empty());
  writeI32LE(bytes.data(), -5);
  EXPECT_TRUE(decodePlaylistFile(bytes, *catalogue).empty());
}

TEST(PlaylistFileTest, TruncatedAndInvalidRecordsKeepTheValidPart) {
  auto catalogue = smallCatalogue();
  const std::vector<PlaylistRecord> records = {
      {5, 0, 1, 0},   // valid
      {16, 0, 0, 0},  // station outside
      {-1, 0, 0, 0},  // station outside
      {5, 6, 0, 0},   // clip past the station's count
      {5, -1, 0, 0},  // negative clip
      {5, 0, 2, 0},   // intro not below 2
      {5, 0, 0, 1},   // outro not below 1
      {5, 0, -1, 0},  // negative intro
      {5, 4, 0, 0},   // valid: clip without intros
      {5, 4, 3, 7},   // valid: choices on a clip without intros or outros are unused
      {5, 5, 0, 0},   // valid, but cut off below
  };
  auto bytes = encodePlaylistFile(records);
  bytes.resize(bytes.size() - 5);  // the file ends inside the last record
  const auto read = decodePlaylistFile(bytes, *catalogue);
  EXPECT_EQ(read, (std::vector<PlaylistRecord>{{5, 0, 1, 0}, {5, 4, 0, 0}, {5, 4, 3, 7}}));

  EXPECT_TRUE(decodePlaylistFile(std::vector<uint8_t>{1, 0}, *catalogue).empty());
  EXPECT_TRUE(decodePlaylistFile({}, *catalogue).empty());
}

TEST(PlaylistFileTest, HostileCatalogueCountsNeverValidateOutsideTheStation) {
  auto catalogue = smallCatalogue();
  catalogue->stations[5].clipCount = 100000;
  EXPECT_TRUE(isValidPlaylistRecord({5, 255, 0, 0}, *catalogue));
  EXPECT_FALSE(isValidPlaylistRecord({5, 256, 0, 0}, *catalogue));
  catalogue->stations[5].clipCount = -4;
  EXPECT_FALSE(isValidPlaylistRecord({5, 0, 0, 0}, *catalogue));
}

// ---- Clip pool --------------------------------------------------------------

TEST(ClipPoolTest, WithoutAgeingYieldsAPermutationThenNothing) {
  CRandom random(1234);
  ClipPool pool(3, false, random);
  pool.add(10);
  pool.add(20);
  pool.add(30);
  std::set<int> seen;
  for (int i = 0; i < 3; ++i) seen.insert(pool.pick());
  EXPECT_EQ(seen, (std::set<int>{10, 20, 30}));
  EXPECT_EQ(pool.pick(), -1);

  ClipPool empty(0, true, random);
  EXPECT_EQ(empty.pick(), -1);
}

TEST(ClipPoolTest, AgeingFollowsTheWorkedExample) {
  CRandom random(777);
  CRandom shadow(777);  // the same sequence, to know each draw in advance
  ClipPool pool(3, true, random);
  pool.add(0);  // A
  pool.add(1);  // B
  pool.add(2);  // C

  auto sorted = [](std::vector<int64_t> w) {
    std::sort(w.begin(), w.end());
    return w;
  };
  // Pick 1: all ripe at 4; the chosen one drops to 0.
  const int first = pool.pick();
  EXPECT_EQ(first, shadow.next() % 12 / 4);
  EXPECT_EQ(sorted(pool.weights()), (std::vector<int64_t>{0, 4, 4}));
  // Pick 2: weights 1, 5, 5; only the two at 5 are ripe.
  const int second = pool.pick();
  shadow.next();
  EXPECT_NE(second, first);
  EXPECT_EQ(sorted(pool.weights()), (std::vector<int64_t>{0, 1, 5}));
  // Pick 3: the last unpicked clip is the only ripe one.
  const int third = pool.pick();
  shadow.next();
  EXPECT_EQ(std::set<int>({first, second, third}), (std::set<int>{0, 1, 2}));
  auto w = pool.weights();
  EXPECT_EQ(w[size_t(first)], 2);
  EXPECT_EQ(w[size_t(second)], 1);
  EXPECT_EQ(w[size_t(third)], 0);
  // Pick 4: nothing ripe; weights 3, 2, 1 in the order first, second, third
  // picked, and r = draw % 6 chooses among them in index order.
  const int r = shadow.next() % 6;
  std::vector<int64_t> aged = {w[0] + 1, w[1] + 1, w[2] + 1};
  int expected = 0;
  for (int64_t rest = r; rest >= aged[size_t(expected)]; ++expected) rest -= aged[size_t(expected)];
  EXPECT_EQ(pool.pick(), expected);
  // An ageing pool never runs dry.
  for (int i = 0; i < 50; ++i) EXPECT_NE(pool.pick(), -1);
}

TEST(ClipPoolTest, BuildPoolWalksTopLevelClipsByClassMask) {
  auto catalogue = smallCatalogue();
  catalogue->stations[5].clips[4].clipClass = 7;  // chatter 7 joins classes 2 and 7
  CRandom random(5);
  auto songs = buildPool(*catalogue, 5, PoolMask::Songs, false, random);
  EXPECT_EQ(songs.capacity(), 2);  // clips 0 and 5; the intros and outro are stepped over
  auto chatter = buildPool(*catalogue, 5, PoolMask::TwoSeven, false, random);
  EXPECT_EQ(chatter.capacity(), 1);
  EXPECT_EQ(chatter.pick(), 4);
  // A class outside 0..7 reads as class 3 (no tool's class) and cannot
  // overflow the shift.
  catalogue->stations[5].clips[4].clipClass = 32 + 7;
  EXPECT_EQ(buildPool(*catalogue, 5, PoolMask::TwoSeven, false, random).capacity(), 0);
  EXPECT_EQ(buildPool(*catalogue, 5, classBit(ClipClass::Other3), false, random).pick(), 4);
}

// ---- CUE sheet ----------------------------------------------------------------

TEST(CueSheetTest, LinesAndPositions) {
  EXPECT_EQ(cueFileLine("/home/me/cd/mix.wav"), "FILE \"/home/me/cd/mix.wav\" WAVE\r\n");
  EXPECT_EQ(cueTrackLine(2), "  TRACK 02 AUDIO\r\n");
  EXPECT_EQ(cueIndexLine(0), "    INDEX 01 00:00:00\r\n");
  EXPECT_EQ(cueIndexLine(15375), "    INDEX 01 03:25:00\r\n");
  EXPECT_EQ(cueIndexLine(15376), "    INDEX 01 03:25:01\r\n");
  EXPECT_EQ(cueIndexLine(80 * 4500), "    INDEX 01 80:00:00\r\n");
  EXPECT_EQ(cueIndexLine(99 * 4500), "    INDEX 01 00:00:00\r\n");
}

}  // namespace
}  // namespace wc
