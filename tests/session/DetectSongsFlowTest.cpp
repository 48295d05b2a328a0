// Detect Songs as the window runs it: the question on a bare disc, the analysis
// behind the progress window, and the catalogue written all at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/CRandom.h"
#include "gamedata/GameData.h"
#include "session/Command.h"
#include "session/StudioSession.h"
#include "support/BareDiscRun.h"
#include "support/FakeSessionPrompts.h"
#include "support/GameDataFakes.h"

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

  // A fresh start of the program in the disc's directory.
  void start() {
    session.reset();
    gameData = std::make_unique<GameData>(realFileSystem(), run.temp.path(), mounts, prompts, exits.function());
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
            "No clip annotations were found for this disc. Find the songs, intros and outros from the audio now?");
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
  EXPECT_NE(dialogs.boxes[0].text.find("2 songs, 3 intros, 3 outros"), std::string::npos) << dialogs.boxes[0].text;

  // The next start finds the file: no question, the same catalogue.
  start();
  EXPECT_FALSE(gameData->startedBare());
  session->offerSongDetection();
  EXPECT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(songsOf(4), 2);
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
