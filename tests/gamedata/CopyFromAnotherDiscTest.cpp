// Copy Audio Files with a disc that is not the one the catalogue describes,
// or whose pack is shorter than the cached one: nothing in the cache is
// replaced before the user agrees.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/GameDataHarness.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

using CacheImage = std::map<std::string, std::vector<uint8_t>>;

const std::vector<FixtureClip> kFirstDisc = {{1, 70000}, {4, 100000}, {4, 20000}, {5, 65536}};
// Another data set: CH holds one short clip, so its pack is far shorter.
const std::vector<FixtureClip> kOtherDisc = {{1, 70000}, {4, 500}, {5, 65536}};

class CopyFromAnotherDiscTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeDisc(h.discMount, kFirstDisc);
    h.gameData->loadCatalogue();
    ASSERT_EQ(h.gameData->copyAudioFilesChecked(nullptr), GameData::CopyOutcome::Copied);
    ASSERT_TRUE(h.prompts.shown.empty());
    before = cacheImage();
  }
  CacheImage cacheImage() const {
    CacheImage image;
    for (const auto& entry : fs::directory_iterator(h.cache()))
      image[entry.path().filename().string()] = readBytes(entry.path());
    return image;
  }
  GameDataHarness h;
  CacheImage before;
};

TEST_F(CopyFromAnotherDiscTest, AnotherDataSetIsCopiedOnlyAfterTheQuestion) {
  fs::remove_all(h.discMount / "AUDIO");
  writeDisc(h.discMount, kOtherDisc);
  const struct {
    MessageAnswer answer;
    GameData::CopyOutcome outcome;
  } cases[] = {{MessageAnswer::Cancel, GameData::CopyOutcome::Declined},
               {MessageAnswer::Ok, GameData::CopyOutcome::Copied}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.answer));
    h.prompts.shown.clear();
    h.prompts.answers = {c.answer};
    EXPECT_EQ(h.gameData->copyAudioFilesChecked(nullptr), c.outcome);
    // One question, before anything was copied: the agreed copy asks nothing
    // more about the shorter CH pack.
    ASSERT_EQ(h.prompts.shown.size(), 1u);
    EXPECT_NE(h.prompts.shown[0].text.find("does not match"), std::string::npos);
    EXPECT_EQ(h.prompts.shown[0].buttons, MessageButtons::OkCancel);
  }
  const CacheImage after = cacheImage();
  EXPECT_EQ(after.at("CH.PAK"), readBytes(h.discMount / "AUDIO" / "STREAMS" / "CH.PAK"));
  EXPECT_NE(after.at("CH.PAK"), before.at("CH.PAK"));
}

TEST_F(CopyFromAnotherDiscTest, DecliningLeavesEveryCachedFileAsItWas) {
  fs::remove_all(h.discMount / "AUDIO");
  writeDisc(h.discMount, kOtherDisc);
  h.prompts.answers = {MessageAnswer::Cancel};
  EXPECT_FALSE(h.gameData->copyAudioFiles(nullptr));
  EXPECT_EQ(cacheImage(), before);
}

// The same disc again asks nothing; a cached pack longer than the disc's
// (the same table, yet the disc's file was cut) is replaced only after a
// question, and Cancel stops there, before any later pack.
TEST_F(CopyFromAnotherDiscTest, AShorterPackIsNotCopiedOverALongerOneWithoutAsking) {
  EXPECT_EQ(h.gameData->copyAudioFilesChecked(nullptr), GameData::CopyOutcome::Copied);
  EXPECT_TRUE(h.prompts.shown.empty());

  const Path discCh = h.discMount / "AUDIO" / "STREAMS" / "CH.PAK";
  fs::resize_file(discCh, fs::file_size(discCh) / 2);
  fs::remove(h.cache() / "CO.PAK");  // a later pack, still missing from the cache
  h.prompts.answers = {MessageAnswer::Cancel};
  EXPECT_EQ(h.gameData->copyAudioFilesChecked(nullptr), GameData::CopyOutcome::Declined);
  ASSERT_EQ(h.prompts.shown.size(), 1u);
  EXPECT_NE(h.prompts.shown[0].text.find("CH.PAK"), std::string::npos);
  EXPECT_EQ(readBytes(h.cache() / "CH.PAK"), before.at("CH.PAK"));
  EXPECT_FALSE(fs::exists(h.cache() / "CO.PAK"));
}

}  // namespace
}  // namespace wc::test
