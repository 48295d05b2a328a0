// The left mouse button on the view: previews, drags into and within the
// playlist, removal by dragging out, intro and outro choice, playing from a
// track number.
#include <gtest/gtest.h>

#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

constexpr int kRowText = 100;  // x inside a clip row's text
constexpr int kEntryX = 262;

int clipRowY(int row) { return 29 + 17 * row + 8; }
int entryY(int entry, int offset = 30) { return 38 + 65 * entry + offset; }
int gapY(int entry) { return 38 + 65 * entry + 61; }

class ViewMouseTest : public ::testing::Test {
 protected:
  void click(int x, int y) {
    view.onLButtonDown(x, y);
    view.onLButtonUp(x, y);
  }
  void drag(int x1, int y1, int x2, int y2) {
    view.onLButtonDown(x1, y1);
    view.onMouseMove((x1 + x2) / 2, (y1 + y2) / 2);
    view.onMouseMove(x2, y2);
    view.onLButtonUp(x2, y2);
  }
  // Rows of the music station's browser: songs A, B, C, then chatter 2, 5, 6, 7.
  void dragClipToEntry(int row, int entry) { drag(kRowText, clipRowY(row), kEntryX + 200, entryY(entry)); }
  std::vector<int> clipOrder() {
    std::vector<int> order;
    for (Track* t : f.tracks()) order.push_back(t->clipIndex);
    return order;
  }

  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewMouseTest, ClipsDroppedOntoEntriesGapsAndEmptySlots) {
  f.addTrack(12);
  f.addTrack(13);
  f.addTrack(14);
  dragClipToEntry(0, 0);  // song A in front of entry 1
  EXPECT_EQ(clipOrder(), (std::vector<int>{0, 12, 13, 14}));
  EXPECT_FALSE(f.host.mouseCaptured);
  EXPECT_EQ(view.state().pendingTrack.get(), nullptr);
  Track* dropped = f.tracks()[0];
  EXPECT_NE(dropped->songAudio, nullptr);
  EXPECT_NE(dropped->introAudio, nullptr);  // loaded with intro and outro
  EXPECT_EQ(session.playlist().trackCount(), 4);

  drag(kRowText, clipRowY(6), kEntryX + 200, gapY(3));  // chatter 7 behind entry 4
  EXPECT_EQ(clipOrder(), (std::vector<int>{0, 12, 13, 14, 15}));
  drag(kRowText, clipRowY(1), kEntryX + 200, entryY(9));  // an empty slot: appended
  EXPECT_EQ(clipOrder(), (std::vector<int>{0, 12, 13, 14, 15, 4}));

  // Released over the browser or the transport: discarded.
  drag(kRowText, clipRowY(2), kRowText, clipRowY(4));
  drag(kRowText, clipRowY(2), kEntryX + 100, 10);
  EXPECT_EQ(session.playlist().trackCount(), 6);
  // Below the window in the playlist's columns: appended (no lower bound).
  drag(kRowText, clipRowY(2), kEntryX + 100, f.host.height + 300);
  EXPECT_EQ(clipOrder().back(), 8);
}

TEST_F(ViewMouseTest, ADropIntoAFullPlaylistIsRefused) {
  for (int i = 0; i < 99; ++i) f.addTrack(12);
  dragClipToEntry(0, 0);
  EXPECT_EQ(session.playlist().trackCount(), 99);
  EXPECT_EQ(f.tracks()[0]->clipIndex, 12);
  EXPECT_EQ(view.state().pendingTrack.get(), nullptr);
}

TEST_F(ViewMouseTest, EntriesMoveInBothDirectionsAndOntoThemselves) {
  f.addTrack(12);
  f.addTrack(13);
  f.addTrack(14);
  drag(kEntryX + 200, entryY(1), kEntryX + 200, entryY(1));
  drag(kEntryX + 200, entryY(1), kEntryX + 200, gapY(1));
  drag(kEntryX + 200, entryY(1), kEntryX + 200, gapY(0));
  EXPECT_EQ(clipOrder(), (std::vector<int>{12, 13, 14}));

  drag(kEntryX + 200, entryY(0), kEntryX + 200, entryY(2));  // 1 onto 3: 2, 1, 3
  EXPECT_EQ(clipOrder(), (std::vector<int>{13, 12, 14}));
  drag(kEntryX + 200, entryY(2), kEntryX + 200, gapY(0));  // 3 behind 1
  EXPECT_EQ(clipOrder(), (std::vector<int>{13, 14, 12}));
  drag(kEntryX + 200, entryY(0), kEntryX + 200, entryY(7));  // onto an empty slot: last
  EXPECT_EQ(clipOrder(), (std::vector<int>{14, 12, 13}));
  drag(kEntryX + 200, entryY(0), 100, 100);  // over the browser: stays
  EXPECT_EQ(clipOrder(), (std::vector<int>{14, 12, 13}));
  EXPECT_EQ(session.playlist().trackCount(), 3);
  EXPECT_EQ(view.state().dragSourceIndex, -1);
}

TEST_F(ViewMouseTest, DraggingOutRemovesAndStopsOnlyThePlayingEntry) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  Track* b = f.addTrack(testdisc::kSongs[1]);
  session.transport().play(a, StartPart::Intro);
  f.tick();
  drag(kEntryX + 200, entryY(1, 20), f.host.width + 40, entryY(1, 20));  // b, not playing
  EXPECT_EQ(session.playlist().trackCount(), 1);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), a);

  drag(kEntryX + 200, entryY(0, 20), kEntryX + 200, -30);  // a, playing
  EXPECT_EQ(session.playlist().trackCount(), 0);
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
  f.tick();
  (void)b;
}

TEST_F(ViewMouseTest, IntroAndOutroButtonsCycleBothWays) {
  // Song A has 2 intros and 1 outro; make it 3 intros and 3 outros by
  // reading the chatter clips behind it as follow-ons.
  Clip& song = f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[0]];
  song.intros = 3;
  song.outros = 3;
  Track* t = f.addTrack(testdisc::kSongs[0]);
  t->intro = 0;
  t->outro = 0;
  const int introY = entryY(0, 5), outroY = entryY(0, 50);
  const int prevX = kEntryX + 38, nextX = kEntryX + 50;
  std::vector<int> intros;
  for (int i = 0; i < 3; ++i) {
    click(nextX, introY);
    intros.push_back(t->intro);
  }
  EXPECT_EQ(intros, (std::vector<int>{1, 2, 0}));
  intros.clear();
  for (int i = 0; i < 3; ++i) {
    click(prevX, introY);
    intros.push_back(t->intro);
  }
  EXPECT_EQ(intros, (std::vector<int>{2, 1, 0}));
  std::vector<int> outros;
  for (int i = 0; i < 3; ++i) {
    click(prevX, outroY);
    outros.push_back(t->outro);
  }
  EXPECT_EQ(outros, (std::vector<int>{2, 1, 0}));
  // The buffer follows the choice: outro 0 of this song is clip 0+1+3+0.
  EXPECT_EQ(t->outroAudio->frames(), testDiscFrames(testdisc::kMusic, 4));
  EXPECT_EQ(view.state().dragSourceIndex, -1);  // the buttons never start a drag

  // A song without intros: the buttons do nothing.
  song.intros = 0;
  t->intro = 0;
  click(nextX, introY);
  EXPECT_EQ(t->intro, 0);
}

TEST_F(ViewMouseTest, ChangingThePlayingTracksIntroRestartsIt) {
  Track* t = f.addTrack(testdisc::kSongs[0]);
  session.transport().play(t, StartPart::Intro);
  for (int i = 0; i < 3; ++i) f.tick();
  click(kEntryX + 50, entryY(0, 5));
  EXPECT_EQ(t->intro, 0);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), t);
  EXPECT_LT(session.transport().existingVoice()->position(), 28 * 200);  // heard again from the intro
  EXPECT_EQ(session.transport().existingVoice()->position() - session.transport().existingVoice()->pending(),
            120);  // one tick of 480 bytes
}

TEST_F(ViewMouseTest, TrackNumberPlaysFromTheTrackOrOnlyTheOutro) {
  Track* song = f.addTrack(testdisc::kSongs[0]);
  Track* chatter = f.addTrack(12);
  click(kEntryX + 10, entryY(0, 50));  // lower part of a song's number
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), song);
  EXPECT_GE(session.transport().existingVoice()->position(),
            int32_t(song->introAudio->samples() + song->songAudio->samples()));

  click(kEntryX + 10, entryY(1, 50));  // the same on a commercial plays it whole
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), chatter);
  EXPECT_LT(session.transport().existingVoice()->position(), 2000);

  click(kEntryX + 10, entryY(0, 10));
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), song);
  EXPECT_LT(session.transport().existingVoice()->position(), 2000);

  click(kEntryX + 10, entryY(5, 10));  // an empty slot does nothing
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), song);
}

TEST_F(ViewMouseTest, PreviewByBoxAndByDoubleClick) {
  click(5, clipRowY(0));  // the preview box of song A
  f.tick();
  ASSERT_NE(session.transport().playingTrack(), nullptr);
  EXPECT_TRUE(session.transport().playingTrack()->isPreview());
  EXPECT_EQ(session.transport().playingTrack()->clipIndex, 0);
  EXPECT_NE(session.transport().playingTrack()->introAudio, nullptr);  // heard with intro and outro
  EXPECT_EQ(session.playlist().trackCount(), 0);

  // A double-click on the row text: the first click drags nowhere, then the
  // clip is previewed (the first preview is freed by the voice).
  view.onLButtonDown(kRowText, clipRowY(3));
  view.onLButtonUp(kRowText, clipRowY(3));
  view.onLButtonDblClk(kRowText, clipRowY(3));
  view.onLButtonUp(kRowText, clipRowY(3));
  f.tick();
  EXPECT_EQ(session.transport().playingTrack()->clipIndex, 12);
  EXPECT_EQ(session.playlist().trackCount(), 0);

  // With every clip shown, only the clip itself is heard.
  view.onCommand(Command::ShowAllClips);
  click(5, clipRowY(0));
  f.tick();
  EXPECT_EQ(session.transport().playingTrack()->introAudio, nullptr);
  EXPECT_NE(session.transport().playingTrack()->songAudio, nullptr);
  session.onCommand(Command::Stop);
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
}

TEST_F(ViewMouseTest, TheOutlineFollowsTheDragAndLeavesNoTrace) {
  f.addTrack(12);
  view.paintAll(f.surface);
  const auto before = f.surface.pixels();
  view.onLButtonDown(kEntryX + 200, entryY(0));
  EXPECT_TRUE(view.state().outlineShown);
  EXPECT_EQ(view.state().dragRect.x, 256);
  EXPECT_EQ(view.state().dragRect.y, 38);
  EXPECT_EQ(view.state().dragRect.width, f.host.width - 256);
  EXPECT_EQ(view.state().dragRect.height, 59);
  EXPECT_TRUE(f.host.mouseCaptured);
  view.onMouseMove(kEntryX + 190, entryY(0) + 7);
  EXPECT_EQ(view.state().dragRect.x, 246);
  EXPECT_EQ(view.state().dragRect.y, 45);
  view.paintAll(f.surface);
  EXPECT_NE(f.surface.pixels(), before);
  view.onLButtonUp(kEntryX + 190, entryY(0) + 7);
  EXPECT_FALSE(view.state().outlineShown);
  EXPECT_FALSE(f.host.mouseCaptured);
  view.paintAll(f.surface);
  EXPECT_EQ(f.surface.pixels(), before);
}

}  // namespace
}  // namespace wc::test
