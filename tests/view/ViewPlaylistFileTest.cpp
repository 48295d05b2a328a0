// New, Open, Save and Save As through the view, with scripted dialogs.
#include <gtest/gtest.h>

#include <fstream>

#include "base/LittleEndian.h"
#include "playlist/PlaylistFile.h"
#include "session/Command.h"
#include "support/LeftoverFiles.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

std::vector<uint8_t> fileBytes(const Path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const Path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class ViewPlaylistFileTest : public ::testing::Test {
 protected:
  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewPlaylistFileTest, SaveAsWritesThreeTracksAnd52BytesThatReopenTheSame) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kChatter6);
  f.addTrack(testdisc::kSongs[2]);
  a->intro = 0;  // not the default
  const Path path = f.workPath("three.wcpl");

  f.dialogs.fileAnswers.push_back(path.string());
  session.onCommand(Command::FileSave);  // no path yet: Save asks like Save As
  ASSERT_EQ(f.dialogs.fileRequests.size(), 1u);
  const auto& request = f.dialogs.fileRequests[0];
  EXPECT_EQ(request.title, "Save track list");
  EXPECT_EQ(request.filterText, "Playlists (*.wcpl)");
  EXPECT_EQ(request.filterPattern, "*.wcpl");
  EXPECT_EQ(request.defaultExtension, "wcpl");
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_TRUE(request.pathMustExist);
  EXPECT_EQ(request.initialPath, "");
  EXPECT_EQ(session.playlistPath(), path.string());
  EXPECT_EQ(fileBytes(path).size(), 52u);

  // A second Save writes to the same file without asking.
  session.onCommand(Command::FileSave);
  EXPECT_EQ(f.dialogs.fileRequests.size(), 1u);

  session.onCommand(Command::FileNew);
  EXPECT_EQ(session.playlist().trackCount(), 0);
  EXPECT_EQ(session.playlistPath(), "");
  EXPECT_FALSE(session.commandState(Command::FileSave)->enabled);

  f.dialogs.fileAnswers.push_back(path.string());
  session.onCommand(Command::FileOpen);
  EXPECT_EQ(f.dialogs.fileRequests.back().title, "Open track list");
  EXPECT_TRUE(f.dialogs.fileRequests.back().fileMustExist);
  ASSERT_EQ(session.playlist().trackCount(), 3);
  const auto tracks = f.tracks();
  EXPECT_EQ(tracks[0]->clipIndex, testdisc::kSongs[0]);
  EXPECT_EQ(tracks[0]->intro, 0);
  EXPECT_EQ(tracks[1]->clipIndex, testdisc::kChatter6);
  EXPECT_EQ(tracks[2]->clipIndex, testdisc::kSongs[2]);
  EXPECT_EQ(tracks[2]->intro, 1);
  EXPECT_NE(tracks[0]->introAudio, nullptr);  // audio loaded again
  EXPECT_NE(tracks[2]->outroAudio, nullptr);
  EXPECT_EQ(session.playlistPath(), path.string());
  EXPECT_FALSE(session.marks().busy);
  EXPECT_GE(f.host.fullRepaints, 3);  // one per added row
}

TEST_F(ViewPlaylistFileTest, CountsOutsideTheRangeAndBrokenFiles) {
  const Path path = f.workPath("odd.wcpl");
  std::vector<PlaylistRecord> many(150, PlaylistRecord{testdisc::kMusic, testdisc::kChatter2, 0, 0});
  writeBytes(path, encodePlaylistFile(many));
  session.openPlaylistFile(path.string());
  EXPECT_EQ(session.playlist().trackCount(), 99);

  auto empty = encodePlaylistFile({});
  writeI32LE(empty.data(), -3);
  writeBytes(path, empty);
  view.scrollTo(Pane::Playlist, 7);
  session.openPlaylistFile(path.string());
  EXPECT_EQ(session.playlist().trackCount(), 0);
  EXPECT_EQ(session.playlistPath(), path.string());
  EXPECT_EQ(view.state().scroll(Pane::Playlist), 7);  // Open keeps the scroll position

  // Garbage records around one good one; then the same file cut inside a
  // record, which is no file this program wrote: refused, the playlist kept.
  auto bytes = encodePlaylistFile(std::vector<PlaylistRecord>{
      {99, 0, 0, 0}, {testdisc::kMusic, 0, 5, 0}, {testdisc::kMusic, 0, 1, 0}, {testdisc::kMusic, 300, 0, 0}});
  writeBytes(path, bytes);
  session.openPlaylistFile(path.string());
  ASSERT_EQ(session.playlist().trackCount(), 1);
  EXPECT_EQ(f.tracks()[0]->intro, 1);
  EXPECT_TRUE(f.dialogs.boxes.empty());
  bytes.resize(bytes.size() - 3);
  writeBytes(path, bytes);
  EXPECT_FALSE(session.openPlaylistFile(path.string()));
  EXPECT_EQ(session.playlist().trackCount(), 1);
  EXPECT_EQ(f.dialogs.boxes.size(), 1u);
}

TEST_F(ViewPlaylistFileTest, CancelledDialogsAndUnreadableFilesChangeNothing) {
  f.addTrack(testdisc::kSongs[0]);
  session.onCommand(Command::FileSaveAs);  // the scripted dialog cancels
  // The unsaved track is discarded each time, so the file dialogs show.
  f.dialogs.questionAnswers = {SessionPrompts::Answer::No, SessionPrompts::Answer::No};
  session.onCommand(Command::FileOpen);
  EXPECT_EQ(session.playlist().trackCount(), 1);
  EXPECT_EQ(session.playlistPath(), "");

  f.dialogs.fileAnswers.push_back(f.workPath("missing.wcpl").string());
  session.onCommand(Command::FileOpen);
  EXPECT_EQ(f.dialogs.fileRequests.size(), 3u);
  EXPECT_EQ(session.playlist().trackCount(), 1);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].text.rfind("Failed to open file\n" + f.workPath("missing.wcpl").string(), 0), 0u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Wavecrate");
}

TEST_F(ViewPlaylistFileTest, OpenWhilePlayingStopsPlaybackFirst) {
  Track* t = f.addTrack(testdisc::kSongs[0]);
  const Path path = f.workPath("one.wcpl");
  ASSERT_TRUE(session.writePlaylistFile(path.string()));
  session.transport().play(t, StartPart::Intro);
  f.tick();
  ASSERT_EQ(session.transport().playingTrack(), t);
  session.openPlaylistFile(path.string());
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
  f.tick();
}

TEST_F(ViewPlaylistFileTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  f.addTrack(testdisc::kSongs[0]);
  const Path path = f.workPath("keep.wcpl");
  ASSERT_TRUE(session.writePlaylistFile(path.string()));
  const auto before = fileBytes(path);
  ASSERT_TRUE(session.openPlaylistFile(path.string()));  // makes it the current file

  f.addTrack(testdisc::kSongs[1]);
  f.fs.failWritesAfter(10);  // the disk fills up inside the new file
  session.onCommand(Command::FileSave);
  EXPECT_EQ(fileBytes(path), before);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Wavecrate");
  EXPECT_NE(f.dialogs.boxes[0].text.find("previous file"), std::string::npos);
  EXPECT_TRUE(test::leftoverTemporaries(path.parent_path()).empty());

  // Save As to a new name that fails keeps the old playlistPath.
  f.dialogs.fileAnswers.push_back(f.workPath("other.wcpl").string());
  session.onCommand(Command::FileSaveAs);
  EXPECT_EQ(session.playlistPath(), path.string());
  EXPECT_FALSE(std::filesystem::exists(f.workPath("other.wcpl")));
}

}  // namespace
}  // namespace wc::test
