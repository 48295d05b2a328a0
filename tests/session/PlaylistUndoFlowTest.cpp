// Undo and Redo of every kind of playlist change, through the commands the
// Edit menu runs: the content, the file and its mark of unsaved changes come
// back, and playback stops only where its track went.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/FileReplacement.h"
#include "playlist/PlaylistFile.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

constexpr int kEntryX = 462;  // inside a playlist entry's text
constexpr int kRowText = 100;

int clipRowY(int row) { return 29 + 17 * row + 8; }
int entryY(int entry) { return 38 + 65 * entry + 30; }

void drag(StudioView& view, int x1, int y1, int x2, int y2) {
  view.onLButtonDown(x1, y1);
  view.onMouseMove(x2, y2);
  view.onLButtonUp(x2, y2);
}

TEST(PlaylistUndoFlowTest, EveryKindOfChangeIsOneStepBackAndForth) {
  struct Case {
    const char* step;  // as the Edit menu names it
    std::function<void(ViewFixture&)> change;
    bool unsavedBefore;  // one more track was added after the save
    int playAfter;       // entry played once changed, -1: none
    bool playsAfterUndo;
  };
  const auto run = [](Command c) { return [c](ViewFixture& f) { ASSERT_TRUE(f.session->execute(c)); }; };
  const Case cases[] = {
      {"Add Track", [](ViewFixture& f) { drag(*f.view, kRowText, clipRowY(1), kEntryX, entryY(1)); }, false, 1, false},
      {"Move Track", [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(0), kEntryX, entryY(2)); }, true, 0, true},
      {"Remove Track", [](ViewFixture& f) { drag(*f.view, kEntryX, entryY(1), f.host.width + 40, entryY(1)); }, false,
       0, true},
      {"Change Intro", [](ViewFixture& f) { f.session->cycleChoice(*f.tracks()[0], +1, false); }, false, 0, false},
      {"Add all Songs", run(Command::AddAllSongs), true, -1, false},
      {"Randomize Intros", run(Command::RandomizeIntros), false, -1, false},
      {"Pad", run(Command::Pad), false, -1, false},
      {"Create Music Mix", run(Command::CreateMusicMix), false, -1, false},
      {"Create Radio Mix", run(Command::CreateRadioMix), true, -1, false},
      {"New", run(Command::FileNew), true, -1, false},
      {"Open", run(Command::FileOpen), true, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    ViewFixture f;
    StudioSession& session = *f.session;
    Clip& song = f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[0]];
    song.intros = 3;  // the chatter behind it serves as follow-ons
    for (int clip : {testdisc::kSongs[0], testdisc::kChatter6, testdisc::kSongs[2]}) f.addTrack(clip);
    const std::string saved = f.workPath("start.wcpl").string();
    f.dialogs.fileAnswers.push_back(saved);
    ASSERT_TRUE(session.execute(Command::FileSaveAs));
    if (c.unsavedBefore) {
      f.addTrack(testdisc::kChatter7);
      f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // Discard, if asked
    }
    const std::string other = f.workPath("other.wcpl").string();
    ASSERT_TRUE(replaceFileContents(
        f.fs, Path(other),
        encodePlaylistFile(std::vector<PlaylistRecord>{{testdisc::kMusic, testdisc::kSongs[1], 0, 0}})));
    f.dialogs.fileAnswers.push_back(other);  // for Open
    const auto before = session.playlist().records();
    const bool modifiedBefore = session.playlistModified();

    c.change(f);
    const auto after = session.playlist().records();
    const std::string pathAfter = session.playlistPath();
    const bool modifiedAfter = session.playlistModified();
    ASSERT_NE(after, before);
    if (c.playAfter >= 0) {
      Track* played = f.tracks()[size_t(c.playAfter)];
      session.transport().play(played);
      ASSERT_TRUE(f.tickUntil([&] { return session.transport().playingTrack() == played; }));
    }
    EXPECT_EQ(session.commandState(Command::EditUndo)->detail, c.step);
    EXPECT_FALSE(session.commandState(Command::EditRedo)->enabled);

    ASSERT_TRUE(session.execute(Command::EditUndo));
    EXPECT_EQ(session.playlist().records(), before);
    EXPECT_EQ(session.playlistPath(), saved);
    EXPECT_EQ(session.playlistModified(), modifiedBefore);
    EXPECT_EQ(session.transport().playingTrack() != nullptr, c.playsAfterUndo);
    EXPECT_EQ(session.commandState(Command::EditRedo)->detail, c.step);
    // What plays is a track of the playlist, never a freed one.
    f.tick();
    const Track* playing = session.transport().playingTrack();
    EXPECT_EQ(std::ranges::count(f.tracks(), playing), playing ? 1 : 0);

    ASSERT_TRUE(session.execute(Command::EditRedo));
    EXPECT_EQ(session.playlist().records(), after);
    EXPECT_EQ(session.playlistPath(), pathAfter);
    EXPECT_EQ(session.playlistModified(), modifiedAfter);
    EXPECT_FALSE(session.commandState(Command::EditRedo)->enabled);
  }
}

}  // namespace
}  // namespace wc::test
