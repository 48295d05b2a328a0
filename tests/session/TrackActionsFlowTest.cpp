// One track at a time: the playlist row's context menu and the keyboard's
// focus row, each action one edit of the playlist.
#include <gtest/gtest.h>

#include "support/ViewFixture.h"

namespace wc::test {
namespace {

// The playlist each case starts with: song A, chatter, song B, chatter.
constexpr int A = testdisc::kSongs[0], B = testdisc::kSongs[1], C = testdisc::kChatter5, D = testdisc::kChatter6;
const std::vector<int> kStart = {A, C, B, D};
int rowY(int row) { return StudioView::kPlaylistTop + StudioView::kEntryHeight * row + 30; }

// A step is a menu pick on a row ("" dismisses), or a key when `pick` is null.
struct Step {
  int row;
  const char* pick;
  ViewKey key = ViewKey::Space;
};
Step key(ViewKey k) { return {0, nullptr, k}; }

TEST(TrackActionsFlowTest, MenuAndFocusRowActOnOneTrackAsOneEdit) {
  using K = ViewKey;
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> order;    // clip indices afterwards
    std::optional<int> focus;  // the focus row afterwards
    int edits;                 // playlist revisions added
    int playing = -1;          // clip index of the track playing
    int songIntro = 1;         // song A's intro (new tracks take the one without speech)
  } cases[] = {
      {"menu removes", {{1, "Remove Track"}}, {A, B, D}, {}, 1},
      {"menu moves up", {{2, "Move Up"}}, {A, B, C, D}, {}, 1},
      {"no move past either end", {{0, "Move Up"}, {3, "Move Down"}, {1, ""}, {6, "Remove Track"}}, kStart, {}, 0},
      {"plays from here", {{2, "Play From Here"}}, kStart, {}, 0, B},
      {"picks an intro", {{0, "Intro A"}}, kStart, {}, 1, -1, 0},
      {"Down stops at the last", {key(K::Down), key(K::Down), key(K::Down), key(K::Down), key(K::Down)}, kStart, 3, 0},
      {"Up stops at the first",
       {key(K::Up), key(K::End), key(K::Home), key(K::Down), key(K::Up), key(K::Up)},
       kStart,
       0,
       0},
      {"Delete removes the focus row", {key(K::Down), key(K::Down), key(K::Delete)}, {A, B, D}, 1, 1},
      {"Delete on the last row", {key(K::Up), key(K::End), key(K::Delete)}, {A, C, B}, 2, 1},
      {"Delete without a focus row", {key(K::Delete), key(K::Down), key(K::Escape), key(K::Delete)}, kStart, {}, 0},
      {"focus follows a moved track", {key(K::Down), {0, "Move Down"}}, {C, A, B, D}, 1, 1},
      {"Enter plays from it", {key(K::Down), key(K::Down), key(K::Enter)}, kStart, 1, 0, C},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ViewFixture f;
    for (int clip : kStart) f.addTrack(clip);
    const uint64_t before = f.session->playlist().revision();
    for (const Step& s : c.steps) {
      if (!s.pick) {
        f.view->onKey(s.key);
        continue;
      }
      f.host.menuPick = s.pick;
      f.view->onRButtonUp(600, rowY(s.row));
    }
    f.tick();  // the transport hears what plays on the next tick
    std::vector<int> order;
    int songIntro = -1;
    for (const Track* t : f.tracks()) {
      order.push_back(t->clipIndex);
      if (t->clipIndex == A) songIntro = t->intro;
    }
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(f.view->state().focusRow, c.focus);
    EXPECT_EQ(f.session->playlist().revision() - before, uint64_t(c.edits));
    const Track* playing = f.session->transport().playingTrack();
    EXPECT_EQ(playing ? playing->clipIndex : -1, c.playing);
    EXPECT_EQ(songIntro, c.songIntro);
    // The outline shows on the focus row only; elsewhere the number box's colour.
    f.view->paintAll(f.surface);
    for (int row = 0; row < int(order.size()); ++row)
      EXPECT_EQ(f.surface.pixel(StudioView::kPlaylistLeft, rowY(row)) == rgb(255, 255, 255), c.focus == row) << row;
  }
}

}  // namespace
}  // namespace wc::test
