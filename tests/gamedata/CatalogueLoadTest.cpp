#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "support/GameDataHarness.h"

namespace wc::test {
namespace {

constexpr uint32_t kChunk = 135168;

TEST(ClipSecondsTest, WholeChunksOnlyInUnsigned32BitArithmetic) {
  EXPECT_EQ(clipSeconds(0), 0u);
  EXPECT_EQ(clipSeconds(135167), 0u);
  EXPECT_EQ(clipSeconds(1351680), 47u);
  EXPECT_EQ(clipSeconds(kChunk * 13), 62u);
  EXPECT_EQ(clipSeconds(kChunk * 13 + kChunk - 1), 62u);
  EXPECT_EQ(clipSeconds(0xFFFFFFFFu), 151842u);  // 31775 chunks: no wrap-around
}

TEST(DefaultTitleTest, NumberFromOneAndTwoDigitMinutesAndSeconds) {
  char title[64];
  formatDefaultTitle(title, 0, kChunk * 13);
  EXPECT_STREQ(title, "Clip #1 01:02");
  formatDefaultTitle(title, 254, 135167);
  EXPECT_STREQ(title, "Clip #255 00:00");
  formatDefaultTitle(title, 9, kChunk * 1300);  // 6212 s
  EXPECT_STREQ(title, "Clip #10 103:32");
}

// The lookup table lives in the cache, so these tests need no packs.
class CatalogueLoadTest : public ::testing::Test {
 protected:
  void writeTable(const std::vector<LookupRecord>& table) {
    writeBytes(h.cache() / "TRAKLKUP.DAT", lookupTableBytes(table));
  }
  Path catalogueFile() const { return h.work / "WavecrateInfo.dat"; }
  const Catalogue& catalogue() { return h.gameData->catalogue(); }

  // Loads the bare catalogue for `records`, gives clip 0 of CH an annotation
  // and saves it, as an annotated catalogue file would be.
  void saveAnnotatedCatalogue() {
    writeTable(records);
    h.gameData->loadCatalogue();
    Clip& song = h.gameData->catalogue().stations[4].clips[0];
    std::strcpy(song.title, "Annotated song");
    std::strcpy(song.artist, "Somebody");
    song.setKind(ClipClass::Song);
    ASSERT_TRUE(h.gameData->saveCatalogue());
    savedImage = readBytes(catalogueFile());
    h.recreate();
  }

  void expectBareAfterOneWarning() {
    ASSERT_EQ(h.prompts.shown.size(), 1u);
    EXPECT_EQ(h.prompts.shown[0].caption, "Warning");
    EXPECT_EQ(h.prompts.shown[0].buttons, MessageButtons::Ok);
    const std::string& text = h.prompts.shown[0].text;
    const std::string first = "Your copy of GTA does not have the same audio data as the first issue PAL version.  ";
    ASSERT_EQ(text.compare(0, first.size(), first), 0) << text;
    EXPECT_NE(text.find("Wavecrate project"), std::string::npos);
    EXPECT_STRNE(catalogue().stations[4].clips[0].title, "Annotated song");
    EXPECT_EQ(std::string(catalogue().stations[4].clips[0].title).rfind("Clip #1 ", 0), 0u);
    EXPECT_EQ(catalogue().stations[4].clips[0].kind(), ClipClass::Chatter);
    // The file is left as it was.
    EXPECT_EQ(readBytes(catalogueFile()), savedImage);
  }

  GameDataHarness h;
  // Interleaved stations: CH, ADVERTS, CH, TK, CH.
  std::vector<LookupRecord> records = {{4, 32, kChunk * 39},
                                       {1, 32, 135167},
                                       {4, 32 + 8068 + kChunk * 39, 1351680},
                                       {15, 500, 0},
                                       {4, 999999, kChunk * 13}};
  std::vector<uint8_t> savedImage;
};

TEST_F(CatalogueLoadTest, BareCatalogueFromTheLookupTable) {
  writeTable(records);
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.prompts.shown.empty());

  const Station& ch = catalogue().stations[4];
  ASSERT_EQ(ch.clipCount, 3);
  EXPECT_STREQ(ch.clips[0].title, "Clip #1 03:06");
  EXPECT_STREQ(ch.clips[1].title, "Clip #2 00:47");
  EXPECT_STREQ(ch.clips[2].title, "Clip #3 01:02");
  EXPECT_EQ(ch.clips[1].offset, 32u + 8068 + kChunk * 39);
  EXPECT_EQ(ch.clips[1].size, 1351680u);
  EXPECT_EQ(ch.clips[2].offset, 999999u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ch.clips[k].kind(), ClipClass::Chatter);
    EXPECT_EQ(ch.clips[k].artist[0], '\0');
    EXPECT_EQ(ch.clips[k].intros, 0);
    EXPECT_EQ(ch.clips[k].outros, 0);
  }
  EXPECT_EQ(ch.clips[3].title[0], '\0');  // records past the count stay zero

  const Station& adverts = catalogue().stations[1];
  ASSERT_EQ(adverts.clipCount, 1);
  EXPECT_STREQ(adverts.clips[0].title, "Clip #1 00:00");
  EXPECT_EQ(adverts.clips[0].kind(), ClipClass::Commercial);
  EXPECT_EQ(catalogue().stations[15].clipCount, 1);
  EXPECT_EQ(catalogue().stations[0].clipCount, 0);

  for (int i = 0; i < kStationCount; ++i) {
    const Station& s = catalogue().stations[i];
    EXPECT_STREQ(s.name, kPackNames[size_t(i)]);
    EXPECT_STREQ(s.label, kPackNames[size_t(i)]);
    const bool unlisted = i == 0 || i == 2 || i == 3 || i == 7;
    EXPECT_EQ(s.listed, unlisted ? 0 : 1) << s.name;
  }
}

TEST_F(CatalogueLoadTest, LookupTableGoneAfterTheDiscWasFoundReadsAsNoClips) {
  saveAnnotatedCatalogue();
  std::filesystem::remove(h.cache() / "TRAKLKUP.DAT");
  writeDisc(h.discMount, {});
  ASSERT_TRUE(h.gameData->locateDisc());
  std::filesystem::remove(h.discMount / "AUDIO" / "CONFIG" / "TRAKLKUP.DAT");

  // The annotated file has clips, so it no longer fits: warning, then an
  // empty bare catalogue. No second search for the disc.
  h.gameData->loadCatalogue();
  ASSERT_EQ(h.prompts.shown.size(), 1u);
  EXPECT_EQ(h.prompts.shown[0].caption, "Warning");
  for (const Station& s : catalogue().stations) EXPECT_EQ(s.clipCount, 0);
  EXPECT_EQ(catalogue().stations[4].clips[0].title[0], '\0');
  EXPECT_EQ(h.mounts.reads, 1);
}

TEST_F(CatalogueLoadTest, RecordsThatDoNotFitTheCatalogueAreSkipped) {
  std::vector<LookupRecord> big = {{16, 1, 1}, {0xFFFFFFFFu, 2, 2}};
  for (uint32_t k = 0; k < 300; ++k) big.push_back({5, k * 10, k});
  big.push_back({6, 77, 88});
  writeTable(big);
  h.gameData->loadCatalogue();
  EXPECT_EQ(catalogue().stations[5].clipCount, 256);
  EXPECT_EQ(catalogue().stations[5].clips[255].offset, 2550u);
  EXPECT_EQ(catalogue().stations[6].clipCount, 1);
  EXPECT_EQ(catalogue().stations[6].clips[0].offset, 77u);
  EXPECT_EQ(catalogue().stations[6].listed, 1);  // the record after 256 did not spill over
  EXPECT_STREQ(catalogue().stations[6].name, "CR");

  // A full station's catalogue file still matches the same table.
  ASSERT_TRUE(h.gameData->saveCatalogue());
  h.recreate();
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_EQ(catalogue().stations[5].clipCount, 256);
}

// A lookup table larger than any can be (sparse, so it costs no disk) is
// not read: its size would take all memory. The file is named in a warning,
// and the disc's table is used when only the cached one is too large.
TEST_F(CatalogueLoadTest, OversizedLookupTablesAreReportedNotRead) {
  const struct {
    const char* name;
    uint64_t cachedSize;  // 0: no cached table
    uint64_t discSize;    // 0: the disc's table holds `records`
    int clipsOfCh;
  } cases[] = {
      {"100 GB in the cache, a good one on the disc", uint64_t(100) << 30, 0, 2},
      {"4 GB on the disc", 0, uint64_t(4) << 30, 0},
      {"one byte past the cap in the cache and on the disc", kMaxConfigFileBytes + 1, kMaxConfigFileBytes + 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(h.cache());
    std::filesystem::remove_all(h.discMount / "AUDIO");
    writeDisc(h.discMount, {{4, 1000}, {4, 500}});
    const Path discTable = h.discMount / "AUDIO" / "CONFIG" / "TRAKLKUP.DAT";
    if (c.discSize) std::filesystem::resize_file(discTable, c.discSize);
    if (c.cachedSize) {
      std::filesystem::create_directories(h.cache());
      writeTable({{4, 0, 1000}});
      std::filesystem::resize_file(h.cache() / "TRAKLKUP.DAT", c.cachedSize);
    }
    h.recreate();
    h.prompts.shown.clear();
    h.fs.clearLog();
    h.gameData->loadCatalogue();
    EXPECT_EQ(catalogue().stations[4].clipCount, c.clipsOfCh);
    EXPECT_LE(h.fs.bytesRead(), kMaxConfigFileBytes);
    const size_t warnings = (c.cachedSize ? 1u : 0u) + (c.discSize ? 1u : 0u);
    ASSERT_EQ(h.prompts.shown.size(), warnings);
    for (const auto& shown : h.prompts.shown) {
      EXPECT_EQ(shown.caption, "Warning");
      EXPECT_NE(shown.text.find("TRAKLKUP.DAT"), std::string::npos) << shown.text;
    }
  }
}

TEST_F(CatalogueLoadTest, MatchingFileKeepsItsAnnotations) {
  saveAnnotatedCatalogue();
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_STREQ(catalogue().stations[4].clips[0].title, "Annotated song");
  EXPECT_STREQ(catalogue().stations[4].clips[0].artist, "Somebody");
  EXPECT_EQ(catalogue().stations[4].clips[0].kind(), ClipClass::Song);
  EXPECT_EQ(catalogue().stations[4].clipCount, 3);
}

TEST_F(CatalogueLoadTest, OffsetOneByteOffShowsTheWarningOnceThenTheBareCatalogue) {
  saveAnnotatedCatalogue();
  records[2].offset += 1;
  writeTable(records);
  h.gameData->loadCatalogue();
  expectBareAfterOneWarning();
  EXPECT_EQ(catalogue().stations[4].clips[1].offset, records[2].offset);
}

TEST_F(CatalogueLoadTest, SizeDifferenceShowsTheWarning) {
  saveAnnotatedCatalogue();
  records[3].size = 1;
  writeTable(records);
  h.gameData->loadCatalogue();
  expectBareAfterOneWarning();
}

TEST_F(CatalogueLoadTest, OneClipTooManyOrTooFewShowsTheWarning) {
  saveAnnotatedCatalogue();
  auto more = records;
  more.push_back({4, 5000000, 10});
  writeTable(more);
  h.gameData->loadCatalogue();
  expectBareAfterOneWarning();
  EXPECT_EQ(catalogue().stations[4].clipCount, 4);

  h.prompts.shown.clear();
  h.recreate();
  auto fewer = records;
  fewer.pop_back();  // every remaining clip still matches
  writeTable(fewer);
  h.gameData->loadCatalogue();
  expectBareAfterOneWarning();
  EXPECT_EQ(catalogue().stations[4].clipCount, 2);
}

TEST_F(CatalogueLoadTest, ShortFileReadsAsZeroTail) {
  saveAnnotatedCatalogue();
  // Keep stations 0 to 5: the annotated clip survives, stations 6 to 15 read
  // as zero, which still fits a table with no clips for them...
  auto prefix = savedImage;
  prefix.resize(6 * sizeof(Station));
  writeBytes(catalogueFile(), prefix);
  writeTable({records[0], records[1], records[2], records[4]});
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_STREQ(catalogue().stations[4].clips[0].title, "Annotated song");
  EXPECT_EQ(catalogue().stations[10].name[0], '\0');
  EXPECT_EQ(catalogue().stations[10].listed, 0);
  // ...and a station without a usable stored name still finds its pack.
  EXPECT_EQ(h.gameData->packName(10), "MH");
  EXPECT_EQ(h.gameData->packName(4), "CH");

  // ...but not one that has clips in the zero tail.
  h.recreate();
  writeTable(records);
  savedImage = prefix;
  h.gameData->loadCatalogue();
  expectBareAfterOneWarning();
}

TEST_F(CatalogueLoadTest, SaveAndReloadGivesTheSameBytes) {
  saveAnnotatedCatalogue();
  EXPECT_EQ(savedImage.size(), 623488u);
  h.gameData->loadCatalogue();
  ASSERT_TRUE(h.gameData->saveCatalogue());
  EXPECT_EQ(readBytes(catalogueFile()), savedImage);
  EXPECT_EQ(serializeCatalogue(catalogue()), savedImage);
}

TEST_F(CatalogueLoadTest, FailedSaveKeepsTheOldFileAndReportsFailure) {
  saveAnnotatedCatalogue();
  h.gameData->loadCatalogue();
  std::strcpy(h.gameData->catalogue().stations[4].clips[0].title, "Changed");
  h.fs.failWritesAfter(4096);
  EXPECT_FALSE(h.gameData->saveCatalogue());
  EXPECT_EQ(readBytes(catalogueFile()), savedImage);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(h.work), {}), 2);  // the file and CACHE
}

TEST_F(CatalogueLoadTest, StoredPackNamesThatAreNotPlainFileNamesAreNotUsedInPaths) {
  writeTable(records);
  h.gameData->loadCatalogue();
  std::strcpy(h.gameData->catalogue().stations[4].name, "../../etc");
  EXPECT_EQ(h.gameData->packName(4), "CH");
  std::memset(h.gameData->catalogue().stations[4].name, 'A', 16);  // no terminating NUL
  EXPECT_EQ(h.gameData->packName(4), "CH");
  std::strcpy(h.gameData->catalogue().stations[4].name, "Custom");
  EXPECT_EQ(h.gameData->packName(4), "Custom");
  EXPECT_EQ(h.gameData->packName(16), "");
}

}  // namespace
}  // namespace wc::test
