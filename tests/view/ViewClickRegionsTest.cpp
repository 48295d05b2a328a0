// One click (button down, button up) on every region of the view through
// the mouse entry points, and what it must change: the banner arrows step
// the station, the scroll bars' page areas scroll a page, a thumb starts and
// ends a thumb drag, and the banner middle, the dividers, the transport and
// an empty playlist gap change nothing.
#include <gtest/gtest.h>

#include <optional>

#include "support/ViewTestBed.h"

namespace wc {
namespace {

using test::setClip;
using test::setStation;

constexpr int kAny = -1;  // not checked

struct Click {
  const char* region;
  int x, y;                                 // x < 0: measured from the right edge of the window
  int station, clipScroll, playlistScroll;  // after the click
  std::optional<Pane> thumbWhilePressed;
};

TEST(ViewClickRegionsTest, EveryRegionDoesWhatItsClickMeans) {
  test::ViewTestBed bed;
  Catalogue& c = bed.catalogue();
  // Listed stations 2, 4 and 9; station 4 shows 60 rows (31 per page).
  setStation(c.stations[2], "Two", true);
  c.stations[2].clipCount = 1;
  setClip(c.stations[2].clips[0], "Song", 0);
  setStation(c.stations[4], "Four", true);
  c.stations[4].clipCount = 120;
  for (int g = 0; g < 30; ++g) {
    setClip(c.stations[4].clips[4 * g], "Song", 0, 1, 1, "Artist");
    setClip(c.stations[4].clips[4 * g + 1], "Intro", 2);
    setClip(c.stations[4].clips[4 * g + 2], "", 2);
    setClip(c.stations[4].clips[4 * g + 3], "Chat", 2);
  }
  setStation(c.stations[9], "Nine", true);
  c.stations[9].clipCount = 1;
  setClip(c.stations[9].clips[0], "Nine", 5);
  StudioView& view = bed.makeView();
  const StudioSession& session = *bed.session;

  // Before each click: station 4, clip list at row 10, playlist at slot 20.
  // Clip bar (x 240..255): thumb 117..390. Playlist bar (last 16 columns):
  // 99 slots, 8 per page, thumb 143..185.
  const Click clicks[] = {
      {"left arrow", 10, 10, 2, kAny, 20, std::nullopt},
      {"right arrow", 240, 10, 9, kAny, 20, std::nullopt},
      {"banner middle", 120, 10, 4, 10, 20, std::nullopt},
      {"clip page up", 245, 60, 4, 0, 20, std::nullopt},
      {"clip page down", 245, 500, 4, 60 - 31, 20, std::nullopt},
      {"clip thumb", 245, 200, 4, 10, 20, Pane::Clips},
      {"pane divider", 258, 300, 4, 10, 20, std::nullopt},
      {"transport", 400, 20, 4, 10, 20, std::nullopt},
      {"transport divider", 500, 34, 4, 10, 20, std::nullopt},
      {"playlist gap", 400, 38 + 59 + 2, 4, 10, 20, std::nullopt},
      {"playlist page up", -8, 60, 4, 10, 12, std::nullopt},
      {"playlist page down", -8, 500, 4, 10, 28, std::nullopt},
      {"playlist thumb", -8, 160, 4, 10, 20, Pane::Playlist},
  };
  for (const Click& click : clicks) {
    SCOPED_TRACE(click.region);
    view.showStation(4);
    view.scrollTo(Pane::Clips, 10);
    view.scrollTo(Pane::Playlist, 20);
    bed.paint();  // measures the scroll bars
    const int x = click.x < 0 ? bed.host.width + click.x : click.x;

    view.onLButtonDown(x, click.y);
    EXPECT_EQ(view.state().thumbDrag.pane, click.thumbWhilePressed);
    view.onLButtonUp(x, click.y);
    EXPECT_EQ(view.state().thumbDrag.pane, std::nullopt);
    EXPECT_EQ(session.station(), click.station);
    if (click.clipScroll != kAny) {
      EXPECT_EQ(view.state().scroll(Pane::Clips), click.clipScroll);
    }
    EXPECT_EQ(view.state().scroll(Pane::Playlist), click.playlistScroll);
    EXPECT_EQ(session.playlist().trackCount(), 0);
    EXPECT_EQ(view.state().pendingTrack.get(), nullptr);
    EXPECT_FALSE(bed.host.mouseCaptured);
  }
}

}  // namespace
}  // namespace wc
