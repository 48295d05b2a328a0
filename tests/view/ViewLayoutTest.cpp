#include <gtest/gtest.h>

#include <climits>

#include "session/Command.h"
#include "support/ViewTestBed.h"

namespace wc {
namespace {

using test::setClip;
using test::setStation;

// Listed stations 2, 4 and 9; station 3 has clips but is not listed.
// Station 4 holds 30 groups of song (1 intro, 1 outro), intro, outro,
// chatter: 60 rows normally, 120 with every clip shown.
class ViewLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Catalogue& c = bed.catalogue();
    setStation(c.stations[2], "Two", true);
    c.stations[2].clipCount = 3;
    setClip(c.stations[2].clips[0], "Song", 0);
    setClip(c.stations[2].clips[1], "Chat", 2);
    setClip(c.stations[2].clips[2], "Ad", 1);

    setStation(c.stations[3], "Three", false);
    c.stations[3].clipCount = 1;
    setClip(c.stations[3].clips[0], "Hidden", 0);

    Station& four = c.stations[4];
    setStation(four, "Four", true);
    four.clipCount = 120;
    for (int g = 0; g < 30; ++g) {
      setClip(four.clips[4 * g], "Song", 0, 1, 1, "Artist");
      setClip(four.clips[4 * g + 1], "Intro", 2);
      setClip(four.clips[4 * g + 2], "", 2);
      setClip(four.clips[4 * g + 3], "Chat", 2);
    }

    setStation(c.stations[9], "Nine", true);
    c.stations[9].clipCount = 3;
    for (int i = 0; i < 3; ++i) setClip(c.stations[9].clips[i], "Nine", 5);
  }

  StudioView& view() { return bed.view ? *bed.view : bed.makeView(); }
  StudioSession& session() { return view(), *bed.session; }
  // Shows `station` and paints once so the scroll bars are measured.
  void show(int station) {
    view().showStation(station);
    view().scrollTo(Pane::Clips, 0);
    bed.catalogueEdited();
    bed.paint();
  }

  test::ViewTestBed bed;
};

TEST_F(ViewLayoutTest, HitTestPointsAtTheRegionEdges) {
  show(4);
  StudioView& v = view();
  EXPECT_EQ(v.hitTest(27, 10).code, HitCode::LeftArrow);
  EXPECT_EQ(v.hitTest(28, 10).code, HitCode::Banner);
  EXPECT_EQ(v.hitTest(227, 28).code, HitCode::Banner);
  EXPECT_EQ(v.hitTest(228, 0).code, HitCode::RightArrow);
  EXPECT_EQ(v.hitTest(255, 10).code, HitCode::RightArrow);
  EXPECT_EQ(v.hitTest(256, 10).code, HitCode::PaneDivider);
  EXPECT_EQ(v.hitTest(261, 300).code, HitCode::PaneDivider);
  EXPECT_EQ(v.hitTest(262, 31).code, HitCode::Transport);
  EXPECT_EQ(v.hitTest(500, 32).code, HitCode::TransportDivider);
  EXPECT_EQ(v.hitTest(500, 37).code, HitCode::TransportDivider);

  EXPECT_EQ(v.hitTest(262, 40), (HitResult{HitCode::PlaylistEntry, 0, EntryPart::TrackNumber}));
  EXPECT_EQ(v.hitTest(262, 97), (HitResult{HitCode::PlaylistGap, 0, 0}));
  EXPECT_EQ(v.hitTest(300, 38), (HitResult{HitCode::PlaylistEntry, 0, EntryPart::PrevIntro}));
  EXPECT_EQ(v.hitTest(300, 82), (HitResult{HitCode::PlaylistEntry, 0, EntryPart::PrevOutro}));
  EXPECT_EQ(v.hitTest(262, 103), (HitResult{HitCode::PlaylistEntry, 1, EntryPart::TrackNumber}));

  // The scroll bar column starts at W - 16, one pixel after the entries end.
  const int w = bed.host.width;
  EXPECT_EQ(v.hitTest(w - 17, 60).code, HitCode::PlaylistEntry);
  EXPECT_EQ(v.hitTest(w - 16, 60).code, HitCode::PlaylistThumb);
}

TEST_F(ViewLayoutTest, PlaylistEntryPartsFollowTheButtonColumns) {
  show(4);
  StudioView& v = view();
  v.scrollTo(Pane::Playlist, 5);
  struct Case {
    int rx, r, part;
  };
  const Case cases[] = {
      {0, 0, EntryPart::TrackNumber},       {31, 43, EntryPart::TrackNumber}, {31, 44, EntryPart::TrackNumberOutro},
      {0, 58, EntryPart::TrackNumberOutro}, {32, 0, EntryPart::PrevIntro},    {44, 14, EntryPart::PrevIntro},
      {45, 0, EntryPart::NextIntro},        {57, 14, EntryPart::NextIntro},   {58, 0, EntryPart::IntroText},
      {400, 14, EntryPart::IntroText},      {32, 15, EntryPart::SongBand},    {400, 43, EntryPart::SongBand},
      {32, 44, EntryPart::PrevOutro},       {44, 58, EntryPart::PrevOutro},   {45, 44, EntryPart::NextOutro},
      {57, 58, EntryPart::NextOutro},       {58, 44, EntryPart::OutroText},   {400, 58, EntryPart::OutroText},
  };
  for (const Case& c : cases) {
    // Second entry on screen: index playlistScroll + 1.
    const HitResult hit = v.hitTest(262 + c.rx, 38 + 65 + c.r);
    EXPECT_EQ(hit, (HitResult{HitCode::PlaylistEntry, 6, c.part})) << "rx " << c.rx << " r " << c.r;
  }
  EXPECT_EQ(v.hitTest(300, 38 + 65 + 59), (HitResult{HitCode::PlaylistGap, 6, 0}));
  EXPECT_EQ(v.hitTest(300, 38 + 65 + 64), (HitResult{HitCode::PlaylistGap, 6, 0}));
}

TEST_F(ViewLayoutTest, ClipRowsAndPointsBelowTheLists) {
  show(4);
  StudioView& v = view();
  EXPECT_EQ(v.hitTest(9, 29), (HitResult{HitCode::ClipRow, 0, 1}));
  EXPECT_EQ(v.hitTest(10, 29), (HitResult{HitCode::ClipRow, 0, 0}));
  EXPECT_EQ(v.hitTest(239, 29 + 17 * 3 + 16), (HitResult{HitCode::ClipRow, 3, 0}));
  v.scrollTo(Pane::Clips, 5);
  EXPECT_EQ(v.hitTest(100, 29 + 17 * 3), (HitResult{HitCode::ClipRow, 8, 0}));

  show(9);  // three clips
  EXPECT_EQ(v.hitTest(100, 29 + 17 * 3 - 1), (HitResult{HitCode::ClipRow, 2, 0}));
  EXPECT_EQ(v.hitTest(100, 29 + 17 * 3), (HitResult{HitCode::Nothing, 0, 0}));
  EXPECT_EQ(v.hitTest(5, 500), (HitResult{HitCode::Nothing, 0, 0}));

  // The playlist has no tracks, yet every slot position still has an index,
  // also below the client area while the mouse is captured.
  EXPECT_EQ(v.hitTest(400, 38 + 65 * 3 + 20), (HitResult{HitCode::PlaylistEntry, 3, EntryPart::SongBand}));
  EXPECT_EQ(v.hitTest(400, 38 + 65 * 200 + 60), (HitResult{HitCode::PlaylistGap, 200, 0}));
}

TEST_F(ViewLayoutTest, ScrollBarRecordsItsThumbAndPageSize) {
  show(4);
  StudioView& v = view();
  // Clip bar: 60 rows, (560 - 29) / 17 = 31 per page, span 530.
  const ScrollBarState& clips = v.state().scrollBar(Pane::Clips);
  EXPECT_EQ(clips.top, 29);
  EXPECT_EQ(clips.bottom, 560);
  EXPECT_EQ(clips.rowsPerPage, 31);
  EXPECT_EQ(clips.thumbTop, 29);
  EXPECT_EQ(clips.thumbBottom, 29 + 530 * 31 / 60);
  EXPECT_FLOAT_EQ(clips.itemsPerPixel, 60.0f / 530.0f);
  EXPECT_EQ(v.hitTest(245, clips.thumbBottom).code, HitCode::ClipThumb);
  EXPECT_EQ(v.hitTest(245, clips.thumbBottom + 1).code, HitCode::ClipPageDown);

  v.scrollTo(Pane::Clips, 10);
  auto surface = bed.paint();
  EXPECT_EQ(clips.thumbTop, 29 + 530 * 10 / 60);
  EXPECT_EQ(v.hitTest(245, clips.thumbTop - 1).code, HitCode::ClipPageUp);
  EXPECT_EQ(v.hitTest(245, clips.thumbTop).code, HitCode::ClipThumb);
  // Upper track, line, thumb, line, lower track.
  EXPECT_EQ(surface->pixel(248, 30), rgb(64, 64, 64));
  EXPECT_EQ(surface->pixel(248, clips.thumbTop), rgb(0, 0, 0));
  EXPECT_EQ(surface->pixel(248, clips.thumbTop + 1), rgb(128, 128, 128));
  EXPECT_EQ(surface->pixel(248, clips.thumbBottom), rgb(0, 0, 0));
  EXPECT_EQ(surface->pixel(248, clips.thumbBottom + 1), rgb(64, 64, 64));
  EXPECT_EQ(surface->pixel(248, 558), rgb(64, 64, 64));
  EXPECT_EQ(surface->pixel(248, 559), rgb(0, 0, 0));
  EXPECT_EQ(surface->pixel(240, 300), rgb(0, 0, 0));
  // The fills are right - left - 1 wide and so cover the right edge line.
  EXPECT_EQ(surface->pixel(255, 300), rgb(128, 128, 128));

  // Playlist bar: always 99 slots, (560 - 38) / 65 = 8 per page, span 521.
  const ScrollBarState& slots = v.state().scrollBar(Pane::Playlist);
  EXPECT_EQ(slots.rowsPerPage, 8);
  EXPECT_EQ(slots.thumbTop, 38);
  EXPECT_EQ(slots.thumbBottom, 38 + 521 * 8 / 99);
}

TEST_F(ViewLayoutTest, PageScrollingClampsToTheLastFullPage) {
  show(4);
  StudioView& v = view();
  v.onCommand(Command::ShowAllClips);  // 120 rows
  const int before = bed.host.invalidations;
  v.pageScroll(Pane::Clips, +1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 31);
  EXPECT_EQ(bed.host.invalidations, before + 1);
  v.pageScroll(Pane::Clips, +1);
  v.pageScroll(Pane::Clips, +1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 120 - 31);
  v.pageScroll(Pane::Clips, +1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 120 - 31);
  v.pageScroll(Pane::Clips, -1);
  v.pageScroll(Pane::Clips, -1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 120 - 31 - 62);
  v.pageScroll(Pane::Clips, -1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 0);

  v.scrollTo(Pane::Playlist, 88);
  v.pageScroll(Pane::Playlist, +1);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 99 - 8);
  v.scrollTo(Pane::Playlist, 3);
  v.pageScroll(Pane::Playlist, -1);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 0);

  // A list shorter than a page stays at the top.
  show(9);
  v.pageScroll(Pane::Clips, +1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 0);
}

TEST_F(ViewLayoutTest, ClientAreaShorterThanOneEntryHasNoPage) {
  view();
  for (int height : {102, 40, 20, 0}) {
    bed.host.height = height;
    bed.paint();
    EXPECT_EQ(view().state().scrollBar(Pane::Playlist).rowsPerPage, 0) << height;
    EXPECT_GE(view().state().scrollBar(Pane::Clips).rowsPerPage, 0) << height;
    view().scrollTo(Pane::Playlist, 0);
    view().pageScroll(Pane::Playlist, +1);
    EXPECT_EQ(view().state().scroll(Pane::Playlist), 0) << height;
    view().pageScroll(Pane::Playlist, -1);
    EXPECT_EQ(view().state().scroll(Pane::Playlist), 0) << height;
  }
  // A bar too short to drag moves nothing and never divides by zero.
  bed.host.height = 39;
  bed.paint();
  view().beginThumbDrag(Pane::Playlist, 38);
  view().moveThumbDrag(400);
  EXPECT_EQ(view().state().scroll(Pane::Playlist), 0);
  view().endThumbDrag();
}

TEST_F(ViewLayoutTest, ThumbDragRoundsHalfARowDownAndOneAndAHalfUp) {
  // Height 200: span 161, 99 / 161 = 0.615 rows per pixel, 2 rows per page.
  bed.host.height = 200;
  show(4);
  StudioView& v = view();
  ASSERT_FLOAT_EQ(v.state().scrollBar(Pane::Playlist).itemsPerPixel, 99.0f / 161.0f);
  v.scrollTo(Pane::Playlist, 10);
  v.beginThumbDrag(Pane::Playlist, 100);
  EXPECT_TRUE(bed.host.mouseCaptured);
  EXPECT_EQ(v.state().thumbDrag.pane, Pane::Playlist);

  const int before = bed.host.invalidations;
  v.moveThumbDrag(101);  // 1.11 -> 1
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 11);
  v.moveThumbDrag(102);  // 1.73 -> 1: unchanged, no repaint
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 11);
  EXPECT_EQ(bed.host.invalidations, before + 1);
  v.moveThumbDrag(103);  // 2.34 -> 2
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 12);
  v.moveThumbDrag(99);  // -0.11 -> 0
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 10);
  v.moveThumbDrag(98);  // -0.73 -> 0
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 10);
  v.moveThumbDrag(97);  // -1.34 -> -1
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 9);
  v.moveThumbDrag(5000);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 99 - 2);
  v.moveThumbDrag(-5000);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 0);

  v.endThumbDrag();
  EXPECT_FALSE(bed.host.mouseCaptured);
  EXPECT_EQ(v.state().thumbDrag.pane, std::nullopt);
  v.moveThumbDrag(300);  // no drag any more
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 0);
}

TEST_F(ViewLayoutTest, ThumbDragOfTheDefaultPlaylistBarNeedsMoreThanOnePixel) {
  show(4);
  StudioView& v = view();
  // span 521: one pixel is worth trunc(99 / 521 + 0.5) = 0 rows.
  v.beginThumbDrag(Pane::Playlist, 60);
  v.moveThumbDrag(61);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 0);
  v.moveThumbDrag(63);  // 0.57 + 0.5 -> 1
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 1);
  v.endThumbDrag();

  // The clip bar drags the clip list, within its own limit.
  v.beginThumbDrag(Pane::Clips, 100);
  EXPECT_EQ(v.state().thumbDrag.pane, Pane::Clips);
  v.moveThumbDrag(100 + 530);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 60 - 31);
  EXPECT_EQ(v.state().scroll(Pane::Playlist), 1);
  v.endThumbDrag();
}

TEST_F(ViewLayoutTest, StationsStepAroundTheRingSkippingUnlisted) {
  StudioView& v = view();
  EXPECT_EQ(session().station(), 2);
  v.stepStation(-1);
  EXPECT_EQ(session().station(), 9);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 2);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 4);
  EXPECT_EQ(v.state().visibleClips().size(), 60);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 9);
  EXPECT_EQ(v.state().visibleClips().size(), 3);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 2);
}

TEST_F(ViewLayoutTest, SteppingRestoresEachStationsScrollClamped) {
  show(4);
  StudioView& v = view();
  v.scrollTo(Pane::Clips, 20);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 9);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 0);
  v.stepStation(-1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 20);

  // The list got shorter while another station was shown.
  v.scrollTo(Pane::Clips, 25);
  v.stepStation(+1);
  bed.catalogue().stations[4].clipCount = 80;  // 40 rows
  v.stepStation(-1);
  EXPECT_EQ(session().station(), 4);
  EXPECT_EQ(v.state().visibleClips().size(), 40);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 40 - 31);
}

TEST_F(ViewLayoutTest, SingleListedStationStaysPut) {
  for (int s = 0; s < kStationCount; ++s) bed.catalogue().stations[s].listed = 0;
  bed.catalogue().stations[4].listed = 1;
  StudioView& v = view();
  EXPECT_EQ(session().station(), 4);
  bed.paint();
  v.scrollTo(Pane::Clips, 7);
  v.stepStation(-1);
  EXPECT_EQ(session().station(), 4);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 7);
  v.stepStation(+1);
  EXPECT_EQ(session().station(), 4);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 7);
}

TEST_F(ViewLayoutTest, NoListedStationStillStepsAndPaints) {
  for (int s = 0; s < kStationCount; ++s) bed.catalogue().stations[s].listed = 0;
  StudioView& v = view();
  const int start = session().station();
  v.stepStation(+1);
  v.stepStation(-1);
  EXPECT_EQ(session().station(), start);
  bed.paint();
}

TEST_F(ViewLayoutTest, ShowAllClipsAddsExactlyTheIntrosAndOutros) {
  show(4);
  StudioView& v = view();
  ASSERT_EQ(v.state().visibleClips().size(), 60);
  EXPECT_EQ(v.state().visibleClips()[1], 3);  // chatter behind the song's intro and outro
  v.scrollTo(Pane::Clips, 20);
  const int before = bed.host.invalidations;
  v.onCommand(Command::ShowAllClips);
  EXPECT_TRUE(v.state().showAllClips);
  EXPECT_EQ(v.state().visibleClips().size(), 60 + 30 + 30);
  EXPECT_EQ(v.state().visibleClips()[1], 1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 20);
  EXPECT_EQ(bed.host.invalidations, before + 1);

  v.scrollTo(Pane::Clips, 100);
  v.onCommand(Command::ShowAllClips);
  EXPECT_EQ(v.state().visibleClips().size(), 60);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 60 - 31);
}

TEST_F(ViewLayoutTest, HostileCountsNeverReachOutsideTheStation) {
  Station& four = bed.catalogue().stations[4];
  four.clipCount = INT_MAX;
  four.clips[0].intros = INT_MAX;
  four.clips[0].outros = INT_MIN;
  show(4);
  StudioView& v = view();
  EXPECT_EQ(v.state().visibleClips().size(), 1);
  v.onCommand(Command::ShowAllClips);
  EXPECT_EQ(v.state().visibleClips().size(), kMaxClipsPerStation);
  bed.paint();

  four.clipCount = -5;
  show(4);
  EXPECT_EQ(v.state().visibleClips().size(), 0);
}

TEST_F(ViewLayoutTest, EmptyListedStationDrawsAnEmptyBarAndHitsNothing) {
  bed.catalogue().stations[9].clipCount = 0;
  show(9);
  StudioView& v = view();
  EXPECT_EQ(v.state().visibleClips().size(), 0);
  EXPECT_EQ(v.state().scrollBar(Pane::Clips).itemsPerPixel, 0.0f);
  EXPECT_EQ(v.hitTest(100, 29), (HitResult{HitCode::Nothing, 0, 0}));
  EXPECT_EQ(v.hitTest(100, 300), (HitResult{HitCode::Nothing, 0, 0}));
  v.pageScroll(Pane::Clips, +1);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 0);
  v.beginThumbDrag(Pane::Clips, 50);
  v.moveThumbDrag(500);
  EXPECT_EQ(v.state().scroll(Pane::Clips), 0);
  v.endThumbDrag();
}

}  // namespace
}  // namespace wc
