// One track at a time: the playlist row's context menu and the keyboard's
// focus row, each action one edit of the playlist.
#include <gtest/gtest.h>

#include "support/ViewFixture.h"

namespace wc::test {
namespace {

// The playlist each case starts with: song A, chatter, song B, chatter.
constexpr int A = testdisc::kSongs[0], B = testdisc::kSongs[1], C = testdisc::kChatter5, D = testdisc::kChatter6;
const std::vector<int> kStart = {A, C, B, D};

constexpr int kRowX = 600;
int rowY(int row) { return StudioView::kPlaylistTop + StudioView::kEntryHeight * row + 30; }

struct Step {
  enum { Menu, Key, Click } kind;
  int row = 0;            // Menu, Click
  const char* pick = "";  // Menu: the label picked ("" dismisses)
  ViewKey key = ViewKey::Space;
};
Step menu(int row, const char* pick) { return {Step::Menu, row, pick, {}}; }
Step key(ViewKey k) { return {Step::Key, 0, "", k}; }
Step click(int row) { return {Step::Click, row, "", {}}; }

TEST(TrackActionsFlowTest, MenuAndFocusRowActOnOneTrackAsOneEdit) {
  using K = ViewKey;
  const struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> order;    // clip indices afterwards
    std::optional<int> focus;  // the focus row afterwards
    int edits;                 // playlist revisions added
    int playing = -1;          // clip index of the track playing, -1: none
    int songIntro = 1;         // song A's intro choice (new tracks take the one without speech)
  } cases[] = {
      {"menu removes", {menu(1, "Remove Track")}, {A, B, D}, {}, 1},
      {"menu moves up", {menu(2, "Move Up")}, {A, B, C, D}, {}, 1},
      {"menu moves down", {menu(0, "Move Down")}, {C, A, B, D}, {}, 1},
      {"no move past the top", {menu(0, "Move Up")}, kStart, {}, 0},
      {"no move past the end", {menu(3, "Move Down")}, kStart, {}, 0},
      {"dismissed menu", {menu(1, "")}, kStart, {}, 0},
      {"empty slot has no menu", {menu(6, "Remove Track")}, kStart, {}, 0},
      {"plays from here", {menu(2, "Play From Here")}, kStart, {}, 0, B},
      {"picks an intro", {menu(0, "Intro A")}, kStart, {}, 1, -1, 0},
      {"picks the current intro", {menu(0, "(no speech over intro)")}, kStart, {}, 0},
      {"first Down shows the row", {key(K::Down)}, kStart, 0, 0},
      {"Down stops at the last", {key(K::Down), key(K::Down), key(K::Down), key(K::Down), key(K::Down)}, kStart, 3, 0},
      {"Up stops at the first", {key(K::Down), key(K::Down), key(K::Up), key(K::Up), key(K::Up)}, kStart, 0, 0},
      {"End goes to the last", {key(K::Down), key(K::End)}, kStart, 3, 0},
      {"Home goes to the first", {key(K::Down), key(K::End), key(K::Home)}, kStart, 0, 0},
      {"Delete removes the focus row", {key(K::Down), key(K::Down), key(K::Delete)}, {A, B, D}, 1, 1},
      {"Delete on the last row", {key(K::Up), key(K::End), key(K::Delete)}, {A, C, B}, 2, 1},
      {"Delete without a focus row", {key(K::Delete)}, kStart, {}, 0},
      {"Escape hides it", {key(K::Down), key(K::Escape), key(K::Delete)}, kStart, {}, 0},
      {"a click hides it", {key(K::Down), click(8), key(K::Delete)}, kStart, {}, 0},
      {"focus follows a moved track", {key(K::Down), menu(0, "Move Down")}, {C, A, B, D}, 1, 1},
      {"Enter plays from it", {key(K::Down), key(K::Down), key(K::Enter)}, kStart, 1, 0, C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewFixture f;
    for (int clip : kStart) f.addTrack(clip);
    const uint64_t before = f.session->playlist().revision();
    for (const Step& s : c.steps) {
      switch (s.kind) {
        case Step::Menu:
          f.host.menuPicks = {s.pick};
          f.view->onRButtonUp(kRowX, rowY(s.row));
          break;
        case Step::Key: f.view->onKey(s.key); break;
        case Step::Click:
          f.view->onLButtonDown(kRowX, rowY(s.row));
          f.view->onLButtonUp(kRowX, rowY(s.row));
          break;
      }
    }
    f.tick();  // the transport hears what plays on the next tick
    std::vector<int> order;
    for (const Track* t : f.tracks()) order.push_back(t->clipIndex);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(f.view->state().focusRow, c.focus);
    EXPECT_EQ(f.session->playlist().revision() - before, uint64_t(c.edits));
    const Track* playing = f.session->transport().playingTrack();
    EXPECT_EQ(playing ? playing->clipIndex : -1, c.playing);
    for (const Track* t : f.tracks()) {
      if (t->clipIndex == A) {
        EXPECT_EQ(t->intro, c.songIntro);
      }
    }

    // The outline shows on the focus row only; without one the left edge
    // keeps the number box's colour.
    f.view->paintAll(f.surface);
    for (int row = 0; row < int(order.size()); ++row)
      EXPECT_EQ(f.surface.pixel(StudioView::kPlaylistLeft, rowY(row)) == rgb(255, 255, 255), c.focus == row) << row;
  }
}

TEST(TrackActionsFlowTest, ASongsMenuOffersItsIntrosAndOutrosWithTheCurrentOnesChecked) {
  ViewFixture f;
  f.addTrack(A);
  f.addTrack(C);
  f.view->onRButtonUp(kRowX, rowY(0));
  f.view->onRButtonUp(kRowX, rowY(1));
  ASSERT_EQ(f.host.menus.size(), 2u);
  std::vector<std::string> song, intros, checked;
  for (const TrackMenuItem& item : f.host.menus[0]) {
    song.push_back(item.submenu + "/" + item.label);
    if (item.checked) checked.push_back(item.label);
  }
  EXPECT_EQ(song, (std::vector<std::string>{"/Play From Here", "/Remove Track", "/Move Up", "/Move Down",
                                            "Intro/Intro A", "Intro/(no speech over intro)", "Outro/Outro A"}));
  // A new track starts with the intro without speech.
  EXPECT_EQ(checked, (std::vector<std::string>{"(no speech over intro)", "Outro A"}));
  EXPECT_EQ(f.host.menus[1].size(), 4u);  // chatter: no choices
}

}  // namespace
}  // namespace wc::test
