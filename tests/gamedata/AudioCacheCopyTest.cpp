#include <gtest/gtest.h>

#include <utility>

#include "gamedata/AudioCache.h"
#include "support/GameDataHarness.h"

namespace wc::test {
namespace {

using Reports = std::vector<std::pair<std::string, float>>;

CopyProgress recorder(Reports& reports) {
  return [&reports](const char* name, float percent) { reports.emplace_back(name, percent); };
}

std::vector<std::string> hiddenFiles(const Path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().filename().string().front() == '.') names.push_back(entry.path().filename().string());
  return names;
}

class CopyProgressTest : public ::testing::Test {
 protected:
  Reports copy(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = packByte(3, i);
    writeBytes(dir.path() / "source", bytes);
    Reports reports;
    EXPECT_TRUE(copyIntoCache(fs, dir.path() / "source", dir.path() / "CACHE", "X.PAK", recorder(reports)));
    EXPECT_EQ(readBytes(dir.path() / "CACHE" / "X.PAK"), bytes);
    EXPECT_TRUE(hiddenFiles(dir.path() / "CACHE").empty());
    for (const auto& [name, percent] : reports) EXPECT_EQ(name, "X.PAK");
    return reports;
  }
  static std::vector<float> percents(const Reports& reports) {
    std::vector<float> values;
    for (const auto& report : reports) values.push_back(report.second);
    return values;
  }

  ScopedTempDir dir;
  FaultyFileSystem fs;
  void SetUp() override { std::filesystem::create_directories(dir.path() / "CACHE"); }
};

TEST_F(CopyProgressTest, EmptyFileReportsZeroThenHundred) {
  EXPECT_EQ(percents(copy(0)), (std::vector<float>{0.0f, 100.0f}));
}

TEST_F(CopyProgressTest, OneFullBlockIsOneStep) {
  EXPECT_EQ(percents(copy(65536)), (std::vector<float>{0.0f, 100.0f}));
}

TEST_F(CopyProgressTest, OneBlockAndOneByte) {
  const auto values = percents(copy(65537));
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0], 0.0f);
  EXPECT_EQ(values[1], 6553600.0f / 65537.0f);  // about 99.998, shown as 100
  EXPECT_LT(values[1], 100.0f);
  EXPECT_GT(values[1], 99.99f);
  EXPECT_EQ(values[2], 100.0f);
}

TEST_F(CopyProgressTest, OneReportPerBlockRisingToHundred) {
  const auto values = percents(copy(3 * 65536 + 3392));
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0], 0.0f);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_GT(values[i], values[i - 1]);
    EXPECT_NEAR(values[i], float(i) * 6553600.0f / float(3 * 65536 + 3392), 1e-3f);
  }
  EXPECT_EQ(values[4], 100.0f);
}

TEST_F(CopyProgressTest, FailedRenameLeavesNothingBehind) {
  writeBytes(dir.path() / "source", std::vector<uint8_t>(70000, 5));
  fs.failRenames(true);
  Reports reports;
  EXPECT_FALSE(copyIntoCache(fs, dir.path() / "source", dir.path() / "CACHE", "X.PAK", recorder(reports)));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "CACHE"));
  EXPECT_NE(reports.back().second, 100.0f);
}

TEST_F(CopyProgressTest, MissingSourceOrCacheDirectoryFails) {
  EXPECT_FALSE(copyIntoCache(fs, dir.path() / "nothing", dir.path() / "CACHE", "X.PAK", nullptr));
  writeBytes(dir.path() / "source", std::vector<uint8_t>(10, 5));
  EXPECT_FALSE(copyIntoCache(fs, dir.path() / "source", dir.path() / "NO_CACHE", "X.PAK", nullptr));
}

// ---- Copy Audio Files ----

constexpr const char* kListedPacks[] = {"ADVERTS.PAK", "CH.PAK", "CO.PAK", "CR.PAK", "DS.PAK", "HC.PAK",
                                        "MH.PAK",      "MR.PAK", "NJ.PAK", "RE.PAK", "RG.PAK", "TK.PAK"};

class CopyAudioFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Multi-block packs for the first stations, so a copy can fail mid-file.
    writeDisc(h.discMount, {{1, 70000}, {4, 100000}, {5, 65536}, {6, 150000}, {8, 10}, {0, 5}});
    h.gameData->loadCatalogue();
  }
  Path discFile(const std::string& relative) const { return h.discMount / "AUDIO" / relative; }
  uint64_t discSize(const std::string& relative) const { return std::filesystem::file_size(discFile(relative)); }
  std::vector<std::string> firstReportNames() const {
    std::vector<std::string> names;
    for (const auto& [name, percent] : reports)
      if (percent == 0.0f) names.push_back(name);
    return names;
  }

  GameDataHarness h;
  Reports reports;
};

TEST_F(CopyAudioFilesTest, CopiesTheLookupTableAndListedPacksInOrder) {
  writeBytes(h.cache() / "CH.PAK", std::vector<uint8_t>(5, 0xEE));  // stale copy: overwritten
  ASSERT_TRUE(h.gameData->copyAudioFiles(recorder(reports)));

  std::vector<std::string> expected = {"TRAKLKUP.DAT"};
  expected.insert(expected.end(), std::begin(kListedPacks), std::end(kListedPacks));
  EXPECT_EQ(firstReportNames(), expected);
  EXPECT_EQ(readBytes(h.cache() / "TRAKLKUP.DAT"), readBytes(discFile("CONFIG/TRAKLKUP.DAT")));
  for (const char* pack : kListedPacks)
    EXPECT_EQ(readBytes(h.cache() / pack), readBytes(discFile(std::string("STREAMS/") + pack))) << pack;
  EXPECT_FALSE(std::filesystem::exists(h.cache() / "AA.PAK"));  // not a radio station
  EXPECT_TRUE(hiddenFiles(h.cache()).empty());
  EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(CopyAudioFilesTest, DiskFullDuringTheFourthPackKeepsEarlierFilesCompleteAndLeavesNoPartialPack) {
  writeBytes(h.cache() / "CR.PAK", std::vector<uint8_t>{'o', 'l', 'd'});
  writeBytes(h.cache() / "DS.PAK", std::vector<uint8_t>{'o', 'l', 'd'});
  const uint64_t beforeFourth = discSize("CONFIG/TRAKLKUP.DAT") + discSize("STREAMS/ADVERTS.PAK") +
                                discSize("STREAMS/CH.PAK") + discSize("STREAMS/CO.PAK");
  h.fs.failWritesAfter(beforeFourth + 65536 + 100);

  EXPECT_FALSE(h.gameData->copyAudioFiles(recorder(reports)));
  EXPECT_EQ(readBytes(h.cache() / "TRAKLKUP.DAT"), readBytes(discFile("CONFIG/TRAKLKUP.DAT")));
  for (const char* pack : {"ADVERTS.PAK", "CH.PAK", "CO.PAK"})
    EXPECT_EQ(readBytes(h.cache() / pack), readBytes(discFile(std::string("STREAMS/") + pack))) << pack;
  EXPECT_EQ(readBytes(h.cache() / "CR.PAK"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(readBytes(h.cache() / "DS.PAK"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(std::filesystem::exists(h.cache() / "HC.PAK"));
  EXPECT_TRUE(hiddenFiles(h.cache()).empty());
  EXPECT_EQ(reports.back().first, "CR.PAK");
  EXPECT_LT(reports.back().second, 100.0f);
}

TEST_F(CopyAudioFilesTest, AlwaysAsksForTheDiscEvenWithACompleteCache) {
  ASSERT_TRUE(h.gameData->copyAudioFiles(nullptr));
  std::filesystem::remove_all(h.discMount / "AUDIO");
  h.recreate();
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.gameData->loadClipAudio(6, 0));
  EXPECT_TRUE(h.prompts.shown.empty());

  h.prompts.answers = {MessageAnswer::Cancel};
  EXPECT_FALSE(h.gameData->copyAudioFiles(recorder(reports)));
  ASSERT_EQ(h.prompts.shown.size(), 1u);
  EXPECT_EQ(h.prompts.shown[0].caption, "Error");
  EXPECT_EQ(h.exits.statuses, std::vector<int>{0});
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(std::filesystem::file_size(h.cache() / "CR.PAK"), 32u + 150000 + 8068);
}

TEST_F(CopyAudioFilesTest, MissingPackOnTheDiscStopsTheCopy) {
  std::filesystem::remove(discFile("STREAMS/CO.PAK"));
  EXPECT_FALSE(h.gameData->copyAudioFiles(recorder(reports)));
  EXPECT_TRUE(std::filesystem::exists(h.cache() / "CH.PAK"));
  EXPECT_FALSE(std::filesystem::exists(h.cache() / "CO.PAK"));
  EXPECT_FALSE(std::filesystem::exists(h.cache() / "CR.PAK"));
}

}  // namespace
}  // namespace wc::test
