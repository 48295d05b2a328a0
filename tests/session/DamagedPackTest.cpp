// A stream pack cut short: the clips past its end cannot be read. The user
// is told which, an export that would lose their audio is refused (the
// command-line exporter can leave their tracks out instead), and a clip that
// the catalogue itself gives no frames is no damage.
#include <gtest/gtest.h>

#include <filesystem>

#include "playlist/Exporter.h"
#include "playlist/MissingAudio.h"
#include "session/Command.h"
#include "support/CliRun.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

class DamagedPackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Song A, then song C with its first intro and its outro.
    f.addTrack(testdisc::kSongs[0]);
    f.addTrack(testdisc::kSongs[2]);
    ASSERT_TRUE(f.session->writePlaylistFile(playlist.string()));
    // The pack ends inside song C's header: song C, its intros and outro are
    // gone; song A and everything before it is whole.
    const Clip& songC = f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[2]];
    fs::resize_file(f.disc.pack(testdisc::kMusic), songC.offset + 100);
  }

  SessionFixture f;
  Path playlist = f.workPath("two.wcpl");
};

TEST_F(DamagedPackTest, OpeningNamesTheUnreadableClipsInOneMessage) {
  ASSERT_TRUE(f.session->openPlaylistFile(playlist.string()));
  ASSERT_EQ(f.session->playlist().trackCount(), 2);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  const std::string& text = f.dialogs.boxes[0].text;
  // Track 2's chosen intro (clip 9 or 10), its song and its outro; nothing of track 1.
  const auto missing = clipsWithoutAudio(f.catalogue(), f.session->playlist());
  ASSERT_EQ(missing.size(), 3u);
  for (const MissingClip& m : missing) {
    EXPECT_EQ(m.trackNumber, 2);
    EXPECT_NE(text.find("track 2: CH clip " + std::to_string(m.clipIndex) + " ("), std::string::npos) << text;
  }
  EXPECT_NE(text.find("(Song C)"), std::string::npos);
  EXPECT_EQ(text.find("track 1"), std::string::npos);
}

TEST_F(DamagedPackTest, TheWindowProgramRefusesToExportLostAudio) {
  f.session->openPlaylistFile(playlist.string());
  f.dialogs.boxes.clear();
  for (const Command command : {Command::ExportCd, Command::ExportWave}) {
    SCOPED_TRACE(int(command));
    f.dialogs.fileAnswers.push_back(f.workPath("damaged.wav").string());
    f.session->onCommand(command);
    ASSERT_EQ(f.dialogs.boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
    EXPECT_NE(f.dialogs.boxes[0].text.find("tracks 2 lost audio"), std::string::npos) << f.dialogs.boxes[0].text;
    EXPECT_FALSE(fs::exists(f.workPath("damaged.wav")));
    EXPECT_FALSE(fs::exists(f.workPath("damaged.cue")));
    f.dialogs.boxes.clear();
  }
}

TEST_F(DamagedPackTest, TheCommandLineRefusesOrLeavesTheTracksOut) {
  const CliResult refused = runCli(f.disc.directory(), "wavecrate-export", "two.wcpl refused.wav");
  EXPECT_EQ(refused.status, 1) << refused.output;
  EXPECT_NE(refused.output.find("track 2: CH clip 8 (Song C)"), std::string::npos) << refused.output;
  EXPECT_FALSE(fs::exists(f.workPath("refused.wav")));
  EXPECT_FALSE(fs::exists(f.workPath("refused.cue")));

  const CliResult skipped = runCli(f.disc.directory(), "wavecrate-export", "--skip-missing two.wcpl kept.wav");
  ASSERT_EQ(skipped.status, 0) << skipped.output;
  EXPECT_NE(skipped.output.find("left out"), std::string::npos) << skipped.output;
  const auto cue = readBytes(f.workPath("kept.cue"));
  const std::string cueText(cue.begin(), cue.end());
  EXPECT_NE(cueText.find("TRACK 01"), std::string::npos);
  EXPECT_EQ(cueText.find("TRACK 02"), std::string::npos);

  // The same export of the whole track 1 from the window program: identical wave.
  f.session->openPlaylistFile(playlist.string());
  removeTracksWithoutAudio(f.catalogue(), f.session->playlist());
  f.dialogs.boxes.clear();
  f.dialogs.fileAnswers.push_back(f.workPath("window.wav").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // Keep Tracks: the CUE sheet as always
  f.session->onCommand(Command::ExportCd);
  EXPECT_TRUE(f.dialogs.boxes.empty());
  EXPECT_EQ(readBytes(f.workPath("window.wav")), readBytes(f.workPath("kept.wav")));
}

// A clip the catalogue gives no audio bytes loads as its header alone: it is
// not damage, and exports as a track of no length, as always.
TEST(DamagedPackEdgeTest, AClipWithNoFramesIsNotDamage) {
  SessionFixture f;
  Clip& chatter = f.catalogue().stations[testdisc::kMusic].clips[testdisc::kChatter2];
  chatter.size = 0;
  f.addTrack(testdisc::kChatter2);
  f.addTrack(testdisc::kChatter5);
  EXPECT_TRUE(clipsWithoutAudio(f.catalogue(), f.session->playlist()).empty());
  f.dialogs.fileAnswers.push_back(f.workPath("zero.wav").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // Keep Tracks: the CUE sheet as always
  f.session->onCommand(Command::ExportCd);
  EXPECT_TRUE(f.dialogs.boxes.empty());
  const auto cue = readBytes(f.workPath("zero.cue"));
  const std::string cueText(cue.begin(), cue.end());
  EXPECT_NE(cueText.find("  TRACK 02 AUDIO\r\n    INDEX 01 00:00:00\r\n"), std::string::npos) << cueText;
}

}  // namespace
}  // namespace wc::test
