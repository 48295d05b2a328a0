// The wheel and the view's own keys: which list moves, by how much, and where
// it stops; Space starts and stops playback.
#include <gtest/gtest.h>

#include <vector>

#include "support/ViewFixture.h"
#include "ui/ViewInput.h"

namespace wc::test {
namespace {

WheelDelta eighths(int amount) { return {amount, WheelUnit::Eighths}; }
WheelDelta pixels(int amount) { return {amount, WheelUnit::Pixels}; }

TEST(WheelNotchesTest, WholeNotchesFromAnglesAndPixels) {
  struct Case {
    const char* name;
    std::vector<WheelDelta> deltas;
    std::vector<int> notches;  // after each delta
  };
  const Case cases[] = {
      {"a notch each way", {eighths(120), eighths(-120)}, {1, -1}},
      {"high-resolution steps add up", {eighths(40), eighths(40), eighths(40), eighths(40)}, {0, 0, 1, 0}},
      {"turning back drops the rest", {eighths(-100), eighths(30), eighths(90)}, {0, 0, 1}},
      {"pixels by the notch's size", {pixels(-30), pixels(-20), pixels(-130)}, {0, -1, -2}},
      {"angles and pixels keep their own rests", {eighths(100), pixels(40), eighths(20), pixels(10)}, {0, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WheelNotches wheel(50);
    std::vector<int> got;
    for (const WheelDelta& d : c.deltas) got.push_back(wheel.add(d));
    EXPECT_EQ(got, c.notches);
  }
}

TEST(WindowTitleTest, NameChangeMarkAndProgram) {
  struct Case {
    std::string path;
    bool modified;
    std::string title;
  };
  const Case cases[] = {
      {"", false, "Wavecrate"},
      {"", true, "Untitled* - Wavecrate"},
      {"/home/u/mix.wcpl", false, "mix.wcpl - Wavecrate"},
      {"/home/u/mix.wcpl", true, "mix.wcpl* - Wavecrate"},
      {"relative/a b.wcpl", true, "a b.wcpl* - Wavecrate"},
  };
  for (const Case& c : cases) EXPECT_EQ(windowTitleFor(c.path, c.modified), c.title) << c.path << c.modified;
}

class ViewWheelAndKeysTest : public ::testing::Test {
 protected:
  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST(ViewWheelTest, TheWheelScrollsTheListUnderTheMouse) {
  // At 90 pixels the browser shows 3 of the music station's 7 clip rows
  // (last position 4) and the playlist no whole entry (last position 99).
  constexpr int kClipsX = 100, kPlaylistX = 500;
  struct Case {
    const char* name;
    int x;
    int start;
    std::vector<WheelDelta> deltas;
    int expected;
  };
  const Case cases[] = {
      {"a notch towards the user: three clip rows", kClipsX, 0, {eighths(-120)}, 3},
      {"away from the user: back up", kClipsX, 4, {eighths(120)}, 1},
      {"never above the top", kClipsX, 0, {eighths(360)}, 0},
      {"a touchpad moves the clips by 51 pixels a notch", kClipsX, 0, {pixels(-50), pixels(-2)}, 3},
      {"one playlist entry a notch", kPlaylistX, 0, {eighths(-120), eighths(-120)}, 2},
      {"a touchpad moves the playlist by 65 pixels a notch",
       kPlaylistX,
       0,
       {pixels(-30), pixels(-35), pixels(-130)},
       3},
      {"the playlist stops at slot 99", kPlaylistX, 98, {eighths(-360)}, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewFixture fixture;
    StudioView& v = *fixture.view;
    fixture.host.height = 90;
    v.paintAll(fixture.surface);
    ASSERT_EQ(v.state().visibleClips().size(), 7u);
    const Pane pane = c.x < StudioView::kLeftPaneWidth ? Pane::Clips : Pane::Playlist;
    const Pane other = pane == Pane::Clips ? Pane::Playlist : Pane::Clips;
    v.scrollTo(pane, c.start);
    for (const WheelDelta& d : c.deltas) v.onWheel(c.x, d);
    EXPECT_EQ(v.state().scroll(pane), c.expected);
    EXPECT_EQ(v.state().scroll(other), 0);
  }
}

TEST_F(ViewWheelAndKeysTest, PageKeysHomeAndEndScrollThePlaylist) {
  f.host.height = 300;  // four whole entries: the last position is 99 - 4
  view.paintAll(f.surface);
  ASSERT_EQ(view.state().scrollBar(Pane::Playlist).rowsPerPage, 4);
  const std::pair<ViewKey, int> steps[] = {
      {ViewKey::PageDown, 4},  {ViewKey::PageDown, 8}, {ViewKey::PageUp, 4}, {ViewKey::End, 95},
      {ViewKey::PageDown, 95}, {ViewKey::Home, 0},     {ViewKey::PageUp, 0},
  };
  for (const auto& [key, position] : steps) {
    EXPECT_TRUE(view.onKey(key));
    EXPECT_EQ(view.state().scroll(Pane::Playlist), position) << int(key);
    EXPECT_EQ(view.state().scroll(Pane::Clips), 0);
  }
}

TEST_F(ViewWheelAndKeysTest, SpacePlaysFromTheFirstTrackOrStops) {
  EXPECT_TRUE(view.onKey(ViewKey::Space));  // nothing to play: nothing happens
  EXPECT_FALSE(session.transport().somethingPlays());

  Track* first = f.addTrack(testdisc::kSongs[0]);
  Track* second = f.addTrack(testdisc::kSongs[1]);
  session.transport().play(second, StartPart::Intro);
  f.tick();
  session.transport().stop();
  f.tick();
  view.onKey(ViewKey::Space);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), first);
  view.onKey(ViewKey::Space);
  f.tick();
  EXPECT_FALSE(session.transport().somethingPlays());
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
}

}  // namespace
}  // namespace wc::test
