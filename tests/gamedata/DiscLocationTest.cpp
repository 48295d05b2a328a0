#include <gtest/gtest.h>

#include "gamedata/CaseInsensitivePath.h"
#include "gamedata/MountTable.h"
#include "support/GameDataHarness.h"

namespace wc::test {
namespace {

// ---- The mount table and the order in which mounts are probed ----

TEST(MountTableTest, DecodesKernelEscapesAndSkipsMalformedLines) {
  const auto entries = parseMountTable(
      "/dev/sr0 /media/user/GTA\\040SA iso9660 ro 0 0\n"
      "garbage\n"
      "server:/x /mnt/back\\134slash\\011tab nfs rw 0 0\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].mountPoint, Path("/media/user/GTA SA"));
  EXPECT_EQ(entries[0].fsType, "iso9660");
  EXPECT_EQ(entries[1].mountPoint, Path("/mnt/back\\slash\ttab"));
  EXPECT_EQ(decodeMountField("trailing\\04"), "trailing\\04");
}

TEST(MountTableTest, OpticalDiscsFirstThenRemovableMediaThenOthersAndRootLast) {
  FakeMountTable table;
  table.addMount("/", "ext4");
  table.addMount("/home", "ext4");
  table.addMount("/mnt/usb", "vfat");
  table.addMount("/proc", "proc");
  table.addMount("/media/cd", "iso9660");
  table.addMount("/mediaplayer", "ext4");
  table.addMount("/srv/dvd", "udf");
  table.addMount("/run/media/me/STICK", "exfat");
  table.addMount("/media", "ext4");
  table.addMount("/home", "ext4");  // mounted over: probed once
  const auto roots = candidateRoots(parseMountTable(table.text));
  const std::vector<Path> expected = {"/media/cd", "/srv/dvd", "/mnt/usb",     "/run/media/me/STICK",
                                      "/media",    "/home",    "/mediaplayer", "/"};
  EXPECT_EQ(roots, expected);
}

// ---- Case-insensitive names on the disc ----

TEST(DiscNamesTest, MatchesIgnoringCaseAndIsoVersionSuffix) {
  EXPECT_TRUE(entryNameMatches("traklkup.dat", "TRAKLKUP.DAT"));
  EXPECT_TRUE(entryNameMatches("TRAKLKUP.DAT;1", "TRAKLKUP.DAT"));
  EXPECT_TRUE(entryNameMatches("ch.pak;1", "CH.PAK"));
  EXPECT_TRUE(entryNameMatches("audio", "AUDIO"));
  EXPECT_TRUE(entryNameMatches("CONFIG.;1", "CONFIG"));
  EXPECT_FALSE(entryNameMatches("CH.PAK;X", "CH.PAK"));
  EXPECT_FALSE(entryNameMatches("CH.PAKS", "CH.PAK"));
  EXPECT_FALSE(entryNameMatches("CHPAK;1", "CH.PAK"));
  EXPECT_FALSE(entryNameMatches("CO.PAK", "CH.PAK"));
}

TEST(DiscNamesTest, PrefersTheExactName) {
  ScopedTempDir dir;
  writeBytes(dir.path() / "ch.pak", std::vector<uint8_t>{1});
  writeBytes(dir.path() / "CH.PAK", std::vector<uint8_t>{2});
  EXPECT_EQ(findEntryIgnoringCase(realFileSystem(), dir.path(), "CH.PAK"), dir.path() / "CH.PAK");
  EXPECT_EQ(findEntryIgnoringCase(realFileSystem(), dir.path(), "NJ.PAK"), std::nullopt);
}

class DiscLocationTest : public ::testing::Test {
 protected:
  GameDataHarness h;
  std::vector<FixtureClip> clips = {{4, 100}, {4, 0}, {1, 50}};
};

TEST_F(DiscLocationTest, FindsLowerCaseDiscWithVersionSuffixesAndLoadsFromIt) {
  const auto records = writeDisc(h.discMount, clips, {.lowerCase = true, .versionSuffix = true});
  h.gameData->loadCatalogue();
  ASSERT_TRUE(h.gameData->discRoot());
  EXPECT_EQ(*h.gameData->discRoot(), h.discMount / "audio");
  EXPECT_EQ(h.gameData->catalogue().stations[4].clipCount, 2);

  const auto audio = h.gameData->loadClipAudio(4, 0);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->size(), 100u + 8068u);
  EXPECT_EQ(audio->data()[0], packByte(4, records[0].offset));
  EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(DiscLocationTest, OpticalMountWinsOverEarlierOrdinaryMountAndRootComesLast) {
  const Path ordinary = h.temp.path() / "ordinary";
  const Path rootLike = h.temp.path() / "root";
  writeDisc(ordinary, clips);
  writeDisc(rootLike, clips);
  writeDisc(h.discMount, clips);
  h.mounts.text.clear();
  h.mounts.addMount(rootLike.string(), "ext4");
  h.mounts.addMount(ordinary.string(), "ext4");
  h.mounts.addMount(h.discMount.string(), "udf");
  ASSERT_TRUE(h.gameData->locateDisc());
  EXPECT_EQ(*h.gameData->discRoot(), h.discMount / "AUDIO");

  // Without the optical mount, the first ordinary one in table order wins.
  std::filesystem::remove_all(h.discMount / "AUDIO");
  h.recreate();
  ASSERT_TRUE(h.gameData->locateDisc());
  EXPECT_EQ(*h.gameData->discRoot(), rootLike / "AUDIO");
}

TEST_F(DiscLocationTest, MountWithoutTheLookupTableIsNotTheDisc) {
  const Path decoy = h.temp.path() / "decoy";
  std::filesystem::create_directories(decoy / "AUDIO" / "CONFIG");
  writeBytes(decoy / "AUDIO" / "CONFIG" / "OTHER.DAT", std::vector<uint8_t>{0});
  writeDisc(h.discMount, clips);
  h.mounts.text.clear();
  h.mounts.addMount(decoy.string(), "iso9660");
  h.mounts.addMount(h.discMount.string(), "ext4");
  ASSERT_TRUE(h.gameData->locateDisc());
  EXPECT_EQ(*h.gameData->discRoot(), h.discMount / "AUDIO");
}

// ---- The "insert the disc" box ----

TEST_F(DiscLocationTest, BoxTextAndOkSearchesAgainFromTheStart) {
  const Path elsewhere = h.temp.path() / "later";
  h.mounts.addMount(elsewhere.string(), "ext4");
  h.prompts.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
  // The disc shows up in the last mount while the second box is open: found
  // only because OK searches every mount again.
  h.prompts.beforeAnswer = [&] {
    if (h.prompts.shown.size() == 2) writeDisc(elsewhere, clips);
  };
  ASSERT_TRUE(h.gameData->locateDisc());
  EXPECT_EQ(*h.gameData->discRoot(), elsewhere / "AUDIO");
  EXPECT_EQ(h.mounts.reads, 3);
  ASSERT_EQ(h.prompts.shown.size(), 2u);
  EXPECT_EQ(h.prompts.shown[0].caption, "Error");
  EXPECT_EQ(h.prompts.shown[0].text,
            "Unable to locate GTA: San Andreas (PlayStation 2) disc in any of your drives.  Please insert the "
            "disc and press OK, or cancel to exit");
  EXPECT_EQ(h.prompts.shown[0].buttons, MessageButtons::OkCancel);
  EXPECT_TRUE(h.exits.statuses.empty());
}

TEST_F(DiscLocationTest, CancelEndsTheProcessWithStatusZero) {
  h.prompts.answers = {MessageAnswer::Cancel};
  EXPECT_FALSE(h.gameData->locateDisc());
  EXPECT_EQ(h.exits.statuses, std::vector<int>{0});
  EXPECT_FALSE(h.gameData->discRoot());
}

TEST_F(DiscLocationTest, CancelWithTheRealExitEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  GameData gameData(h.fs, h.work, h.mounts, h.prompts);  // the real process exit
  EXPECT_EXIT(gameData.locateDisc(), ::testing::ExitedWithCode(0), "");
}

TEST_F(DiscLocationTest, CompleteCacheNeverSearchesNorAsks) {
  const auto records = writeDisc(h.discMount, clips);
  for (const char* name : {"CH.PAK", "ADVERTS.PAK"})
    writeBytes(h.cache() / name, readBytes(h.discMount / "AUDIO" / "STREAMS" / name));
  writeBytes(h.cache() / "TRAKLKUP.DAT", lookupTableBytes(records));
  std::filesystem::remove_all(h.discMount / "AUDIO");

  h.gameData->loadCatalogue();
  for (int clip = 0; clip < 2; ++clip) EXPECT_TRUE(h.gameData->loadClipAudio(4, clip)) << clip;
  EXPECT_TRUE(h.gameData->loadClipAudio(1, 0));
  EXPECT_EQ(h.mounts.reads, 0);
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_FALSE(h.gameData->discRoot());
}

TEST_F(DiscLocationTest, CachedLookupTableStartsWithoutDiscAndAsksAtFirstUncachedPack) {
  writeBytes(h.cache() / "TRAKLKUP.DAT", lookupTableBytes(writeDisc(h.discMount, clips)));
  std::filesystem::remove_all(h.discMount / "AUDIO");
  h.gameData->loadCatalogue();
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_EQ(h.gameData->catalogue().stations[4].clipCount, 2);

  h.prompts.answers = {MessageAnswer::Cancel};
  EXPECT_EQ(h.gameData->loadClipAudio(4, 0), nullptr);
  EXPECT_EQ(h.prompts.shown.size(), 1u);
  EXPECT_EQ(h.exits.statuses, std::vector<int>{0});
}

TEST_F(DiscLocationTest, FoundOnceNeverSearchedAgainEvenWhenTheDiscGoes) {
  writeDisc(h.discMount, clips);
  h.gameData->loadCatalogue();
  ASSERT_TRUE(h.gameData->discRoot());
  EXPECT_EQ(h.mounts.reads, 1);

  std::filesystem::remove_all(h.discMount / "AUDIO");
  writeDisc(h.temp.path() / "other", clips);
  h.mounts.addMount((h.temp.path() / "other").string(), "iso9660");
  EXPECT_EQ(h.gameData->loadClipAudio(4, 0), nullptr);
  EXPECT_EQ(h.gameData->readConfigFile("TRAKLKUP.DAT"), std::nullopt);
  EXPECT_EQ(h.mounts.reads, 1);
  EXPECT_TRUE(h.prompts.shown.empty());
  EXPECT_EQ(*h.gameData->discRoot(), h.discMount / "AUDIO");
}

}  // namespace
}  // namespace wc::test
