// Annotating the bare catalogue from the view: the right-click editor, the
// save that follows every edit, and import and export.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gamedata/AnnotationFile.h"
#include "gamedata/CatalogueFile.h"
#include "session/Command.h"
#include "support/LeftoverFiles.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

constexpr int kRowText = 100;
int clipRowY(int row) { return 29 + 17 * row + 8; }

// The test disc run without its catalogue file: every clip of the music
// station is numbered chatter, as a user's own disc starts out.
class ViewAnnotationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove(f.disc.catalogueFile());
    f.gameData->loadCatalogue();
    f.catalogueEdited();
    view.paintAll(f.surface);
  }

  const Station& music() { return f.catalogue().stations[testdisc::kMusic]; }
  void rightClick(int row) { view.onRButtonUp(kRowText, clipRowY(row)); }
  // Clip 0 becomes a song with intros 1, 2 (the second without speech) and outro 3.
  static ClipEdit songWithTwoIntros() {
    return ClipEdit{ClipAnnotation{classNumber(ClipClass::Song), "Artist", "Song", 2, 1}, {{1, "Hello"}, {2, ""}}};
  }

  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewAnnotationTest, EditingAClipIntoASongEnablesTheSongTools) {
  ASSERT_EQ(view.state().visibleClips().size(), testdisc::kMusicClipCount);
  EXPECT_FALSE(session.commandState(Command::AddAllSongs)->enabled);
  EXPECT_FALSE(session.commandState(Command::SaveCatalogue)->enabled);

  f.dialogs.clipEdits.push_back(songWithTwoIntros());
  rightClick(0);
  ASSERT_EQ(f.dialogs.clipEditRequests.size(), 1u);
  const ClipEditRequest& request = f.dialogs.clipEditRequests[0];
  EXPECT_EQ(request.station, testdisc::kMusic);
  EXPECT_EQ(request.clipIndex, 0);
  EXPECT_EQ(request.stationLabel, "CH");
  EXPECT_EQ(request.current.clipClass, classNumber(ClipClass::Chatter));
  EXPECT_EQ(request.followOnRoom(), 15);
  EXPECT_EQ(request.followingTitles[0].rfind("Clip #2 ", 0), 0u);

  EXPECT_FALSE(session.catalogueModified());  // saved at once
  EXPECT_FALSE(session.commandState(Command::SaveCatalogue)->enabled);
  EXPECT_TRUE(session.commandState(Command::AddAllSongs)->enabled);
  EXPECT_TRUE(session.commandState(Command::CreateMusicMix)->enabled);
  EXPECT_GT(f.host.invalidations, 0);
  // The browser hides the intros and the outro.
  EXPECT_EQ(view.state().visibleClips().size(), testdisc::kMusicClipCount - 3);
  EXPECT_EQ(view.state().visibleClips()[0], 0);
  EXPECT_EQ(view.state().visibleClips()[1], 4);
  EXPECT_STREQ(music().clips[1].title, "Hello");

  // A new track picks the intro without speech.
  view.onLButtonDown(kRowText, clipRowY(0));
  view.onLButtonUp(400, 38 + 30);
  ASSERT_EQ(f.tracks().size(), 1u);
  const Track* track = f.tracks()[0];
  EXPECT_EQ(track->intro, 1);
  EXPECT_EQ(introClipIndexOf(f.catalogue(), *track), 2);
  EXPECT_EQ(outroClipIndexOf(f.catalogue(), *track), 3);
  EXPECT_NE(track->introAudio, nullptr);
  EXPECT_TRUE(session.commandState(Command::RandomizeIntros)->enabled);
}

TEST_F(ViewAnnotationTest, CancelAndRefusedEditsChangeNothing) {
  const auto image = serializeCatalogue(f.catalogue());
  rightClick(3);  // the dialog is cancelled
  ASSERT_EQ(f.dialogs.clipEditRequests.size(), 1u);
  EXPECT_EQ(f.dialogs.clipEditRequests[0].clipIndex, 3);

  // Clip 14 has one clip behind it: two intros would reach past the station.
  f.dialogs.clipEdits.push_back(ClipEdit{ClipAnnotation{classNumber(ClipClass::Song), "", "Too many", 2, 0}, {}});
  rightClick(14);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
  EXPECT_NE(f.dialogs.boxes[0].text.find("at most 1"), std::string::npos);

  EXPECT_EQ(serializeCatalogue(f.catalogue()), image);
  EXPECT_FALSE(session.catalogueModified());
  EXPECT_EQ(view.state().visibleClips().size(), testdisc::kMusicClipCount);
}

TEST_F(ViewAnnotationTest, OnlyClipRowsOpenTheEditorAndDragsAreLeftAlone) {
  view.onRButtonUp(100, 10);            // banner
  view.onRButtonUp(500, 100);           // playlist
  view.onRButtonUp(100, clipRowY(20));  // below the last clip
  EXPECT_TRUE(f.dialogs.clipEditRequests.empty());

  // A right click in the middle of a clip drag neither opens the editor nor
  // ends the drag.
  view.onLButtonDown(kRowText, clipRowY(2));
  ASSERT_NE(view.state().pendingTrack.get(), nullptr);
  rightClick(2);
  EXPECT_TRUE(f.dialogs.clipEditRequests.empty());
  EXPECT_NE(view.state().pendingTrack.get(), nullptr);
  view.onLButtonUp(400, 38 + 30);
  EXPECT_EQ(f.tracks().size(), 1u);
}

TEST_F(ViewAnnotationTest, AnEditIsSavedAtOnceAndClosingAsksNothing) {
  EXPECT_FALSE(std::filesystem::exists(f.disc.catalogueFile()));
  f.dialogs.clipEdits.push_back(songWithTwoIntros());
  rightClick(0);
  EXPECT_FALSE(session.catalogueModified());
  EXPECT_TRUE(f.dialogs.boxes.empty());
  EXPECT_TRUE(session.queryClose());
  EXPECT_TRUE(f.dialogs.questions.empty());

  // The next start loads the file without the mismatch warning.
  ScriptedPrompts prompts;
  GameData reloaded(f.fs, f.disc.directory(), f.mounts, prompts, f.exits.function());
  reloaded.loadCatalogue();
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(serializeCatalogue(reloaded.catalogue()), serializeCatalogue(f.catalogue()));
  EXPECT_EQ(reloaded.catalogue().stations[testdisc::kMusic].clips[0].kind(), ClipClass::Song);
}

TEST_F(ViewAnnotationTest, ExportThenImportRestoresTheAnnotations) {
  f.dialogs.clipEdits.push_back(songWithTwoIntros());
  rightClick(0);
  const auto annotated = serializeCatalogue(f.catalogue());
  const Path file = f.workPath("shared.csv");
  f.dialogs.fileAnswers.push_back(file.string());
  ASSERT_TRUE(session.onCommand(Command::ExportAnnotations));
  EXPECT_TRUE(f.dialogs.boxes.empty());
  EXPECT_EQ(f.dialogs.fileRequests.back().defaultExtension, "csv");
  EXPECT_TRUE(f.dialogs.fileRequests.back().overwritePrompt);

  // Back to the bare catalogue, as another user of the disc has it.
  std::filesystem::remove(f.disc.catalogueFile());
  f.gameData->loadCatalogue();
  session.catalogueChanged(true);
  ASSERT_EQ(view.state().visibleClips().size(), testdisc::kMusicClipCount);

  f.dialogs.fileAnswers.push_back(file.string());
  ASSERT_TRUE(session.onCommand(Command::ImportAnnotations));
  EXPECT_TRUE(f.dialogs.fileRequests.back().fileMustExist);
  EXPECT_EQ(serializeCatalogue(f.catalogue()), annotated);
  EXPECT_FALSE(session.catalogueModified());  // saved at once
  EXPECT_EQ(view.state().visibleClips().size(), testdisc::kMusicClipCount - 3);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Import Annotations");
  const int rows = testdisc::kMusicClipCount + testdisc::kAdvertCount;
  EXPECT_EQ(f.dialogs.boxes[0].text,
            "Applied " + std::to_string(rows) + " of " + std::to_string(rows) + " annotations.");
}

TEST_F(ViewAnnotationTest, ImportFromAnotherDiscAppliesNothingAndSaysSo) {
  // The same clips at other places in the packs.
  std::string text = exportAnnotations(f.catalogue());
  Catalogue other = f.catalogue();
  for (Station& s : other.stations)
    for (Clip& c : s.clips) c.offset += 2048;
  other.stations[testdisc::kMusic].clips[0].setKind(ClipClass::Song);
  const Path file = f.workPath("other.csv");
  std::ofstream(file, std::ios::binary) << exportAnnotations(other);

  const auto image = serializeCatalogue(f.catalogue());
  f.dialogs.fileAnswers.push_back(file.string());
  ASSERT_TRUE(session.onCommand(Command::ImportAnnotations));
  EXPECT_EQ(serializeCatalogue(f.catalogue()), image);
  EXPECT_FALSE(session.catalogueModified());
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_NE(f.dialogs.boxes[0].text.find("different disc"), std::string::npos);

  // A file that cannot be read, and a cancelled dialog.
  f.dialogs.fileAnswers.push_back(f.workPath("missing.csv").string());
  session.onCommand(Command::ImportAnnotations);
  ASSERT_EQ(f.dialogs.boxes.size(), 2u);
  EXPECT_EQ(f.dialogs.boxes[1].caption, "Error");
  session.onCommand(Command::ImportAnnotations);
  EXPECT_EQ(f.dialogs.boxes.size(), 2u);
}

TEST_F(ViewAnnotationTest, FailedExportIsReportedAndLeavesNoFile) {
  f.fs.failWritesAfter(10);
  const Path file = f.workPath("shared.csv");
  f.dialogs.fileAnswers.push_back(file.string());
  session.onCommand(Command::ExportAnnotations);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(test::leftoverTemporaries(file.parent_path()).empty());
}

}  // namespace
}  // namespace wc::test
