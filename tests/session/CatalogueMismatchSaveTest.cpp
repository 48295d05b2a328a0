// A catalogue file that does not match the disc holds the user's annotations
// of another disc. The program runs on the bare catalogue, and the first save
// keeps that file under a backup name instead of writing bare titles over it.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/CRandom.h"
#include "gamedata/CatalogueFile.h"
#include "session/Command.h"
#include "support/FaultyFileSystem.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOtherBackup = {1, 2, 3};

class CatalogueMismatchSaveTest : public ::testing::Test {
 protected:
  // The annotated file with one clip offset a byte off, as for another
  // edition of the disc; a new start then warns and goes bare.
  void SetUp() override {
    Catalogue annotated = f.catalogue();
    annotated.stations[testdisc::kMusic].clips[5].offset += 1;
    userFile = serializeCatalogue(annotated);
    writeBytes(catalogueFile, userFile);
    restart();
  }
  void restart() {
    gameData = std::make_unique<GameData>(f.fs, f.disc.directory(), f.mounts, f.prompts, f.exits.function());
    f.prompts.shown.clear();
    gameData->loadCatalogue();
  }

  SessionFixture f;
  Path catalogueFile = f.disc.directory() / "WavecrateInfo.dat";
  std::vector<uint8_t> userFile;
  std::unique_ptr<GameData> gameData;
};

TEST_F(CatalogueMismatchSaveTest, TheFirstSaveKeepsTheUserFileUnderAFreeBackupName) {
  const struct {
    std::vector<std::string> taken;  // backup names already in use
    std::string expected;
  } cases[] = {
      {{}, "WavecrateInfo.dat.bak"},
      {{"WavecrateInfo.dat.bak"}, "WavecrateInfo.dat.bak.1"},
      {{"WavecrateInfo.dat.bak", "WavecrateInfo.dat.bak.1"}, "WavecrateInfo.dat.bak.2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    writeBytes(catalogueFile, userFile);
    for (const auto& name : c.taken) writeBytes(f.disc.directory() / name, kOtherBackup);
    restart();
    ASSERT_EQ(f.prompts.shown.size(), 1u);  // the mismatch warning

    ASSERT_TRUE(gameData->saveCatalogue());
    ASSERT_TRUE(gameData->catalogueBackup());
    EXPECT_EQ(gameData->catalogueBackup()->filename(), c.expected);
    EXPECT_EQ(readBytes(f.disc.directory() / c.expected), userFile);
    for (const auto& name : c.taken) EXPECT_EQ(readBytes(f.disc.directory() / name), kOtherBackup);
    EXPECT_EQ(readBytes(catalogueFile), serializeCatalogue(gameData->catalogue()));

    // Later saves write over the program's own file and keep nothing more.
    ASSERT_TRUE(gameData->saveCatalogue());
    EXPECT_FALSE(gameData->catalogueBackup());
    EXPECT_EQ(readBytes(f.disc.directory() / c.expected), userFile);
    for (const auto& name : c.taken) fs::remove(f.disc.directory() / name);
    fs::remove(f.disc.directory() / c.expected);
  }
}

// A save that fails leaves the user's file where it was, and the next save
// still keeps it.
TEST_F(CatalogueMismatchSaveTest, AFailedSaveLeavesTheUserFileInPlace) {
  FaultyFileSystem faulty;
  faulty.failRenamesTo(catalogueFile);
  GameData failing(faulty, f.disc.directory(), f.mounts, f.prompts, f.exits.function());
  failing.loadCatalogue();
  EXPECT_FALSE(failing.saveCatalogue());
  EXPECT_EQ(readBytes(catalogueFile), userFile);
  EXPECT_FALSE(fs::exists(f.disc.directory() / "WavecrateInfo.dat.bak"));

  ASSERT_TRUE(gameData->saveCatalogue());
  EXPECT_EQ(readBytes(f.disc.directory() / "WavecrateInfo.dat.bak"), userFile);
}

// A matching file is the program's own: saving replaces it, keeping nothing.
TEST_F(CatalogueMismatchSaveTest, AMatchingFileIsReplacedWithoutBackup) {
  writeBytes(catalogueFile, serializeCatalogue(f.catalogue()));
  restart();
  ASSERT_TRUE(f.prompts.shown.empty());
  ASSERT_TRUE(gameData->saveCatalogue());
  EXPECT_FALSE(gameData->catalogueBackup());
  EXPECT_FALSE(fs::exists(f.disc.directory() / "WavecrateInfo.dat.bak"));
}

// The save command says where the user's file went.
TEST_F(CatalogueMismatchSaveTest, TheSaveCommandNamesTheBackup) {
  CRandom random;
  StudioSession session(*gameData, f.dialogs, random, nullptr, f.fs);
  session.catalogueChanged(false);
  session.onCommand(Command::SaveCatalogue);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_NE(f.dialogs.boxes[0].text.find("WavecrateInfo.dat.bak"), std::string::npos);
  EXPECT_FALSE(session.catalogueModified());
  EXPECT_EQ(readBytes(f.disc.directory() / "WavecrateInfo.dat.bak"), userFile);
}

}  // namespace
}  // namespace wc::test
