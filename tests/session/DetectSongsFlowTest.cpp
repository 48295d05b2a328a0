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
#include "session/Command.h"
#include "session/StudioSession.h"
#include "support/BareDiscRun.h"
#include "support/FakeSessionPrompts.h"
#include "support/GameDataFakes.h"
#include "support/IsoImage.h"

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

class DetectSongsFlowTest : public ::testing::Test {
 protected:
  DetectSongsFlowTest() : run({{4, {songBlock(2, 1), chatter(), songBlock(1, 2)}}}, 21) {}

  // A fresh start of the program in `directory` (the disc's by default),
  // reading through `fs`; the dialogs' settings stay.
  void start(FileSystem& fs = realFileSystem(), std::optional<Path> image = {}, std::optional<Path> directory = {}) {
    session.reset();
    gameData = std::make_unique<GameData>(fs, directory.value_or(run.temp.path()), mounts, prompts, exits.function());
    if (image) gameData->discLocator().useDiscImages({static_cast<DiscImageFileSystem*>(&fs), image, nullptr, nullptr});
    gameData->loadCatalogue();
    session = std::make_unique<StudioSession>(*gameData, dialogs, random, nullptr);
    session->selectStation(4);
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
  FakeSessionPrompts dialogs;
  CRandom random;
  std::unique_ptr<GameData> gameData;
  std::unique_ptr<StudioSession> session;
};

TEST_F(DetectSongsFlowTest, TheStartQuestionFindsTheSongsAndSavesThemOnce) {
  ASSERT_TRUE(run.disc);
  start();
  ASSERT_TRUE(gameData->startedBare());
  EXPECT_FALSE(session->commandState(Command::AddAllSongs)->enabled);

  // No: nothing is analysed or written.
  dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);
  session->offerSongDetection();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text,
            "No songs are known for this disc yet. Find the songs, intros and outros from the audio now?");
  EXPECT_EQ(dialogs.checkLabels, std::vector<std::string>{"Don't ask again for this disc"});
  EXPECT_TRUE(dialogs.backgroundTitles.empty());
  EXPECT_FALSE(std::filesystem::exists(catalogueFile()));

  // Yes: the songs are found and written, and the song tools come alive.
  dialogs.questionAnswers.push_back(SessionPrompts::Answer::Yes);
  session->offerSongDetection();
  EXPECT_EQ(dialogs.backgroundTitles, std::vector<std::string>{"Detect Songs"});
  EXPECT_EQ(songsOf(4), 2);
  EXPECT_TRUE(std::filesystem::exists(catalogueFile()));
  EXPECT_FALSE(session->catalogueModified());
  EXPECT_TRUE(session->commandState(Command::AddAllSongs)->enabled);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_NE(dialogs.boxes[0].text.find("CH: 2 songs, "), std::string::npos) << dialogs.boxes[0].text;

  // The next start finds the file: no question, the same catalogue.
  start();
  EXPECT_FALSE(gameData->startedBare());
  session->offerSongDetection();
  EXPECT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(songsOf(4), 2);
}

TEST_F(DetectSongsFlowTest, TheQuestionIsAskedWhileNoSongIsKnownUnlessDeclinedForThisDisc) {
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
      dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);
      session->offerSongDetection();
    }
    start();
    const size_t before = dialogs.questions.size();
    dialogs.questionAnswers = {SessionPrompts::Answer::No};
    session->offerSongDetection();
    EXPECT_EQ(dialogs.questions.size() - before, c.asked ? 1u : 0u);
  }
  EXPECT_TRUE(dialogs.backgroundTitles.empty());
}

// Nothing readable, or no song: the catalogue file is not written, so the
// question comes back at the next start.
TEST_F(DetectSongsFlowTest, AnAnalysisWithoutSongsWritesNothing) {
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
    dialogs.questionAnswers = {SessionPrompts::Answer::Yes};
    session->offerSongDetection();
    EXPECT_FALSE(std::filesystem::exists(disc->temp.path() / std::string(kCatalogueFileName)));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_NE(dialogs.boxes[0].text.find(says), std::string::npos) << dialogs.boxes[0].text;
    const size_t asked = dialogs.questions.size();
    start(realFileSystem(), {}, disc->temp.path());
    session->offerSongDetection();
    EXPECT_EQ(dialogs.questions.size(), asked + 1);
  }
}

TEST_F(DetectSongsFlowTest, SongsAreFoundFromADiscImage) {
  ASSERT_TRUE(run.disc);
  ScopedTempDir temp;
  const Path image = temp.path() / "disc.iso";
  makeIsoImage(image, run.isoGrafts(), IsoNames::Plain);
  DiscImageFileSystem fs(realFileSystem());
  start(fs, image, temp.path());
  dialogs.questionAnswers.push_back(SessionPrompts::Answer::Yes);
  session->offerSongDetection();
  EXPECT_EQ(songsOf(4), 2);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_NE(dialogs.boxes[0].text.find("CH: 2 songs, "), std::string::npos) << dialogs.boxes[0].text;
  EXPECT_TRUE(std::filesystem::exists(temp.path() / std::string(kCatalogueFileName)));
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "CACHE"));
  session.reset();
  gameData.reset();
}

TEST_F(DetectSongsFlowTest, CancelChangesNothingAndADoneDiscIsLeftAlone) {
  ASSERT_TRUE(run.disc);
  start();
  dialogs.cancelBackground = true;
  EXPECT_TRUE(session->onCommand(Command::DetectSongs));
  EXPECT_EQ(dialogs.backgroundTitles.size(), 1u);
  EXPECT_EQ(songsOf(4), 0);
  EXPECT_FALSE(std::filesystem::exists(catalogueFile()));
  EXPECT_TRUE(dialogs.boxes.empty());

  dialogs.cancelBackground = false;
  session->onCommand(Command::DetectSongs);
  EXPECT_EQ(songsOf(4), 2);
  // Once every station has songs the command says so and analyses nothing.
  session->onCommand(Command::DetectSongs);
  EXPECT_EQ(dialogs.backgroundTitles.size(), 2u);
  EXPECT_NE(dialogs.boxes.back().text.find("already has songs"), std::string::npos);
}

}  // namespace
}  // namespace wc::test
