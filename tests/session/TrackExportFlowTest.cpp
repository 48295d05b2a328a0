// Export Tracks and the short-track question of Export CD, as the window runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "playlist/ShortTracks.h"
#include "playlist/TrackExporter.h"
#include "session/Command.h"
#include "support/FakeTrackExportServices.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

class TrackExportFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.dialogs.trackExportServices = &services;
    for (int clip : {testdisc::kSongs[0], testdisc::kChatter2, testdisc::kSongs[1]}) f.addTrack(clip);
    std::filesystem::create_directory(folder);
  }
  TrackExportChoice choice(TrackFormat format, const std::string& album = "") const {
    return {folder.string(), format, format == TrackFormat::Opus ? 96 : 2, album};
  }
  std::vector<std::string> listing() const {
    auto names = realFileSystem().listDirectory(folder);
    std::sort(names.begin(), names.end());
    return names;
  }

  SessionFixture f;
  FakeTrackExportServices services;
  Path folder = f.workPath("music");
};

TEST_F(TrackExportFlowTest, ExportsTheTracksWithTheStationCover) {
  EXPECT_TRUE(f.session->commandState(Command::ExportTracks)->enabled);
  services.choices.push_back(choice(TrackFormat::Mp3, "Night Drive"));
  ASSERT_TRUE(f.session->onCommand(Command::ExportTracks));
  ASSERT_EQ(services.proposals.size(), 1u);
  EXPECT_EQ(services.proposals[0].album, "Wavecrate Mix");  // no playlist file yet
  EXPECT_TRUE(f.dialogs.boxes.empty());
  const TrackExportPlan plan = planTrackExport(f.session->playlist(), f.catalogue(), "Night Drive", TrackFormat::Mp3);
  auto expected = plan.fileNames();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listing(), expected);
  const std::string label = f.catalogue().stations[testdisc::kMusic].label;
  for (const std::string& name : {label, std::string("Night Drive")})
    EXPECT_NE(std::find(services.coverTexts.begin(), services.coverTexts.end(), name), services.coverTexts.end());

  // After saving, the playlist's name is the proposed album.
  ASSERT_TRUE(f.session->writePlaylistFile(f.workPath("Sunday.wcpl").string()));
  ASSERT_TRUE(f.session->openPlaylistFile(f.workPath("Sunday.wcpl").string()));
  f.session->onCommand(Command::ExportTracks);  // cancelled in the dialog
  EXPECT_EQ(services.proposals.at(1).album, "Sunday");
  EXPECT_EQ(listing(), expected);
}

TEST_F(TrackExportFlowTest, ExistingFilesAreReplacedOnlyWhenTheUserAgrees) {
  const TrackExportPlan plan = planTrackExport(f.session->playlist(), f.catalogue(), "Mix", TrackFormat::Wave);
  std::ofstream(folder / plan.tracks[1].fileName) << "old";
  std::ofstream(folder / plan.playlistName) << "old";
  for (const auto answer : {SessionPrompts::Answer::Cancel, SessionPrompts::Answer::Yes}) {
    services.choices.push_back(choice(TrackFormat::Wave, "Mix"));
    f.dialogs.questionAnswers.push_back(answer);
    f.session->onCommand(Command::ExportTracks);
  }
  ASSERT_EQ(f.dialogs.questions.size(), 2u);
  const std::string& question = f.dialogs.questions[0].text;
  EXPECT_EQ(question.rfind("2 files of this export already exist", 0), 0u) << question;
  EXPECT_NE(question.find(plan.tracks[1].fileName), std::string::npos);
  EXPECT_NE(question.find(plan.playlistName), std::string::npos);
  EXPECT_EQ(question.find(plan.tracks[0].fileName), std::string::npos);
  EXPECT_EQ(f.dialogs.choiceLabels[0], (std::pair<std::string, std::string>{"Replace", ""}));
  // The first answer wrote nothing, the second replaced both.
  EXPECT_NE(readText(folder / plan.tracks[1].fileName), "old");
  EXPECT_EQ(readText(folder / plan.playlistName), m3u8Text(plan));
  EXPECT_EQ(listing().size(), plan.fileNames().size());
}

TEST_F(TrackExportFlowTest, CancelInTheProgressWindowLeavesNothing) {
  services.cancelAtUpdate = 1;
  services.choices.push_back(choice(TrackFormat::Flac));
  f.session->onCommand(Command::ExportTracks);
  EXPECT_TRUE(listing().empty());
  EXPECT_TRUE(f.dialogs.boxes.empty()) << "a cancel is no error";

  f.fs.failWritesAfter(1000);
  services.cancelAtUpdate = 0;
  services.choices.push_back(choice(TrackFormat::Flac));
  f.session->onCommand(Command::ExportTracks);
  EXPECT_TRUE(listing().empty());
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  // The file layer's reason, and which file, instead of a guess.
  EXPECT_NE(f.dialogs.boxes[0].text.find(": disk full."), std::string::npos) << f.dialogs.boxes[0].text;
  EXPECT_NE(f.dialogs.boxes[0].text.find(".flac)"), std::string::npos) << f.dialogs.boxes[0].text;
}

TEST_F(TrackExportFlowTest, ExportCdAsksAboutShortTracks) {
  const auto shortOnes = shortTrackNumbers(cdTrackSectors(f.session->playlist()));
  ASSERT_FALSE(shortOnes.empty());
  struct Case {
    SessionPrompts::Answer answer;
    bool written;
    int cueTracks;
  };
  const auto marks = marksAfterJoining(cdTrackSectors(f.session->playlist()));
  const int joinedTracks = int(std::count(marks.begin(), marks.end(), true));
  const Case cases[] = {{SessionPrompts::Answer::Cancel, false, 0},
                        {SessionPrompts::Answer::No, true, 3},
                        {SessionPrompts::Answer::Yes, true, joinedTracks}};
  for (const Case& c : cases) {
    std::filesystem::remove(f.workPath("cd.wav"));
    std::filesystem::remove(f.workPath("cd.cue"));
    f.dialogs.questions.clear();
    f.dialogs.fileAnswers.push_back(f.workPath("cd.wav").string());
    f.dialogs.questionAnswers.push_back(c.answer);
    f.session->onCommand(Command::ExportCd);
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0].text, shortTracksQuestion(shortOnes));
    EXPECT_EQ(f.dialogs.choiceLabels.back(), (std::pair<std::string, std::string>{"Join", "Keep Tracks"}));
    EXPECT_EQ(std::filesystem::exists(f.workPath("cd.wav")), c.written);
    if (!c.written) continue;
    const std::string cue = readText(f.workPath("cd.cue"));
    int tracks = 0;
    for (size_t at = cue.find("TRACK"); at != std::string::npos; at = cue.find("TRACK", at + 1)) ++tracks;
    EXPECT_EQ(tracks, c.cueTracks);
  }
}

}  // namespace
}  // namespace wc::test
