// Detect Songs from the window: the question while the catalogue knows no
// song, the analysis behind the progress window from every source, and the
// catalogue written all at once, and only when songs were found.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/CRandom.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/DiscFingerprint.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "support/BareDiscRun.h"
#include "support/FakeViewServices.h"
#include "support/GameDataFakes.h"
#include "support/IsoImage.h"
#include "ui/CommandIds.h"
#include "ui/StudioView.h"

namespace wc::test {
namespace {

BareItem songBlock(int intros, int outros) {
  BareItem item;
  item.seconds = 5;
  item.intros = intros;
  item.outros = outros;
  return item;
}

BareItem chatter() {
  BareItem item;
  item.kind = BareItemKind::Chatter;
  item.seconds = 2;
  return item;
}

class DetectSongsViewTest : public ::testing::Test {
 protected:
  DetectSongsViewTest() : run({{4, {songBlock(2, 1), chatter(), songBlock(1, 2)}}}, 21) {}

  // A fresh start of the program in `directory` (the disc's by default),
  // reading through `fs`; the dialogs' settings stay.
  void start(FileSystem& fs = realFileSystem(), std::optional<Path> image = {}, std::optional<Path> directory = {}) {
    view.reset();
    gameData = std::make_unique<GameData>(fs, directory.value_or(run.temp.path()), mounts, prompts, exits.function());
    if (image) gameData->discLocator().useDiscImages({static_cast<DiscImageFileSystem*>(&fs), image, nullptr, nullptr});
    gameData->loadCatalogue();
    view = std::make_unique<StudioView>(*gameData, host, dialogs, random, nullptr);
    view->showStation(4);
  }
  int songsOf(int station) const {
    int songs = 0;
    const Station& s = gameData->catalogue().stations[station];
    for (const Clip& c : s.validClips()) songs += c.isSong();
    return songs;
  }
  Path catalogueFile() const { return run.temp.path() / std::string(kCatalogueFileName); }

  BareDiscRun run;
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  FakeViewHost host;
  FakeViewDialogs dialogs;
  CRandom random;
  std::unique_ptr<GameData> gameData;
  std::unique_ptr<StudioView> view;
};

TEST_F(DetectSongsViewTest, TheStartQuestionFindsTheSongsAndSavesThemOnce) {
  ASSERT_TRUE(run.disc);
  start();
  ASSERT_TRUE(gameData->startedBare());
  EXPECT_FALSE(view->commandState(cmd::AddAllSongs)->enabled);

  // No: nothing is analysed or written.
  dialogs.questionAnswers.push_back(ViewDialogs::Answer::No);
  view->offerSongDetection();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text,
            "No songs are known for this disc yet. Find the songs, intros and outros from the audio now?");
  EXPECT_EQ(dialogs.checkLabels, std::vector<std::string>{"Don't ask again for this disc"});
  EXPECT_TRUE(dialogs.backgroundTitles.empty());
  EXPECT_FALSE(std::filesystem::exists(catalogueFile()));

  // Yes: the songs are found and written, and the song tools come alive.
  dialogs.questionAnswers.push_back(ViewDialogs::Answer::Yes);
  view->offerSongDetection();
  EXPECT_EQ(dialogs.backgroundTitles, std::vector<std::string>{"Detect Songs"});
  EXPECT_EQ(songsOf(4), 2);
  EXPECT_TRUE(std::filesystem::exists(catalogueFile()));
  EXPECT_FALSE(view->catalogueModified());
  EXPECT_TRUE(view->commandState(cmd::AddAllSongs)->enabled);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_NE(dialogs.boxes[0].text.find("2 songs, 3 intros, 3 outros"), std::string::npos) << dialogs.boxes[0].text;

  // The next start finds the file: no question, the same catalogue.
  start();
  EXPECT_FALSE(gameData->startedBare());
  view->offerSongDetection();
  EXPECT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(songsOf(4), 2);
}

TEST_F(DetectSongsViewTest, TheQuestionIsAskedWhileNoSongIsKnownUnlessDeclinedForThisDisc) {
  ASSERT_TRUE(run.disc);
  Catalogue otherDisc = *run.bare;
  otherDisc.stations[4].clips[0].size += 1;
  const struct {
    const char* name;
    const Catalogue* file;  // the catalogue file's contents, null: none
    bool declinedHere, declinedElsewhere, asked;
  } cases[] = {
      {"no catalogue file", nullptr, false, false, true},
      {"a catalogue file without songs", run.bare.get(), false, false, true},
      {"a catalogue file with songs", run.disc->catalogue.get(), false, false, false},
      {"don't ask again for this disc", run.bare.get(), true, false, false},
      {"don't ask again for another disc", nullptr, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.offerMemory.discs.clear();
    std::filesystem::remove(catalogueFile());
    if (c.file) writeBytes(catalogueFile(), serializeCatalogue(*c.file));
    if (c.declinedElsewhere) dialogs.offerMemory.decline(discFingerprint(otherDisc));
    if (c.declinedHere) {  // ticked and answered No at the start before
      start();
      dialogs.checkNextBox = true;
      dialogs.questionAnswers.push_back(ViewDialogs::Answer::No);
      view->offerSongDetection();
    }
    start();
    const size_t before = dialogs.questions.size();
    dialogs.questionAnswers = {ViewDialogs::Answer::No};
    view->offerSongDetection();
    EXPECT_EQ(dialogs.questions.size() - before, c.asked ? 1u : 0u);
  }
  EXPECT_TRUE(dialogs.backgroundTitles.empty());
}

// Nothing readable, or no song: the catalogue file is not written, so the
// question comes back at the next start.
TEST_F(DetectSongsViewTest, AnAnalysisWithoutSongsWritesNothing) {
  const BareDiscRun talk({{4, {chatter(), chatter(), chatter()}}}, 5);
  ASSERT_TRUE(run.disc && talk.disc);
  for (const Path& pack : run.disc->paths.packs)
    if (std::filesystem::exists(pack)) std::filesystem::resize_file(pack, 4096);
  for (const auto& [disc, says] :
       {std::pair{&talk, "No song was found in the audio of 3 clips"},
        std::pair{static_cast<const BareDiscRun*>(&run), "None of the 9 clips could be read"}}) {
    SCOPED_TRACE(says);
    start(realFileSystem(), {}, disc->temp.path());
    dialogs.boxes.clear();
    dialogs.questionAnswers = {ViewDialogs::Answer::Yes};
    view->offerSongDetection();
    EXPECT_FALSE(std::filesystem::exists(disc->temp.path() / std::string(kCatalogueFileName)));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_NE(dialogs.boxes[0].text.find(says), std::string::npos) << dialogs.boxes[0].text;
    const size_t asked = dialogs.questions.size();
    start(realFileSystem(), {}, disc->temp.path());
    view->offerSongDetection();
    EXPECT_EQ(dialogs.questions.size(), asked + 1);
  }
}

TEST_F(DetectSongsViewTest, SongsAreFoundFromADiscImage) {
  ASSERT_TRUE(run.disc);
  ScopedTempDir temp;
  const Path image = temp.path() / "disc.iso";
  makeIsoImage(image, run.isoGrafts(), IsoNames::Plain);
  DiscImageFileSystem fs(realFileSystem());
  start(fs, image, temp.path());
  dialogs.questionAnswers.push_back(ViewDialogs::Answer::Yes);
  view->offerSongDetection();
  EXPECT_EQ(songsOf(4), 2);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_NE(dialogs.boxes[0].text.find("2 songs, 3 intros, 3 outros"), std::string::npos) << dialogs.boxes[0].text;
  EXPECT_TRUE(std::filesystem::exists(temp.path() / std::string(kCatalogueFileName)));
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "CACHE"));
  view.reset();
  gameData.reset();
}

TEST_F(DetectSongsViewTest, CancelChangesNothingAndADoneDiscIsLeftAlone) {
  ASSERT_TRUE(run.disc);
  start();
  dialogs.cancelBackground = true;
  EXPECT_TRUE(view->onCommand(cmd::DetectSongs));
  EXPECT_EQ(dialogs.backgroundTitles.size(), 1u);
  EXPECT_EQ(songsOf(4), 0);
  EXPECT_FALSE(std::filesystem::exists(catalogueFile()));
  EXPECT_TRUE(dialogs.boxes.empty());

  dialogs.cancelBackground = false;
  view->onCommand(cmd::DetectSongs);
  EXPECT_EQ(songsOf(4), 2);
  // Once every station has songs the command says so and analyses nothing.
  view->onCommand(cmd::DetectSongs);
  EXPECT_EQ(dialogs.backgroundTitles.size(), 2u);
  EXPECT_NE(dialogs.boxes.back().text.find("already has songs"), std::string::npos);
}

}  // namespace
}  // namespace wc::test
