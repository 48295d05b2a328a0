#include <gtest/gtest.h>

#include <cstring>

#include "support/ViewTestBed.h"
#include "ui/TransportText.h"

namespace wc {
namespace {

using test::audioOfFrames;
using test::RasterSurface;
using test::setClip;
using test::setStation;

constexpr Rgb kBlack = 0x000000, kWhite = 0xFFFFFF;
constexpr Rgb kArrowBox = 0x609060, kBannerMiddle = 0x80C080;
constexpr Rgb kSong = 0xFF8080, kCommercial = 0xC0C080, kChatter = 0x8080C0;
constexpr Rgb kDarkBlue = 0x000080, kNumberBox = 0x8080FF, kGrey = 0x808080;
constexpr Rgb kIntroLine = 0xE07070, kLabelBox = 0x80C080;
constexpr Rgb kGreen = 0x00C000, kRed = 0xC00000;

constexpr int kEntryX = 262;

// Station 4 ("Radio Four"): song 0 by Artist with intros 1-2 and outro 3,
// an advert at 4, chatter at 5, a song without artist or intros at 6.
// Station 9: one row of each class 0..7, then classes 8 and -1.
// Station 1 (the adverts pack, unlisted): a song.
class ViewPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Catalogue& c = bed.catalogue();
    Station& four = c.stations[4];
    setStation(four, "Radio Four", true);
    four.clipCount = 7;
    setClip(four.clips[0], "Title", 0, 2, 1, "Artist");
    setClip(four.clips[1], "Hey DJ", 2);
    setClip(four.clips[2], "", 2);
    setClip(four.clips[3], "", 2);
    setClip(four.clips[4], "Buy", 1);
    setClip(four.clips[5], "Talk", 2);
    setClip(four.clips[6], "Plain", 0);

    Station& nine = c.stations[9];
    setStation(nine, "Nine", true);
    nine.clipCount = 10;
    const int classes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, -1};
    for (int i = 0; i < 10; ++i) setClip(nine.clips[i], "Row", classes[i]);

    setStation(c.stations[1], "Adverts", false);
    c.stations[1].clipCount = 1;
    setClip(c.stations[1].clips[0], "Jingle", 0);

    bed.makeView();
    view().showStation(4);
    bed.catalogueEdited();
  }

  StudioView& view() { return *bed.view; }
  StudioSession& session() { return *bed.session; }
  int entryWidth() const { return bed.host.width - 278; }
  static int entryTop(int k) { return 38 + 65 * k; }

  test::ViewTestBed bed;
};

TEST_F(ViewPaintTest, BannerBoxesLinesAndLabel) {
  auto s = bed.paint();
  EXPECT_EQ(s->pixel(100, 0), kBlack);
  EXPECT_EQ(s->pixel(0, 1), kArrowBox);
  EXPECT_EQ(s->pixel(27, 28), kArrowBox);
  EXPECT_EQ(s->pixel(28, 15), kBlack);
  EXPECT_EQ(s->pixel(29, 15), kBannerMiddle);
  EXPECT_EQ(s->pixel(226, 28), kBannerMiddle);
  EXPECT_EQ(s->pixel(227, 15), kBlack);
  EXPECT_EQ(s->pixel(228, 15), kArrowBox);
  EXPECT_EQ(s->pixel(255, 28), kArrowBox);

  const auto* label = s->findText("Radio Four");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ((std::vector<int>{label->left, label->top, label->right, label->bottom}),
            (std::vector<int>{29, 1, 227, 29}));
  EXPECT_EQ(label->align, TextAlign::Centre);
  EXPECT_EQ(label->face, "Arial");
  EXPECT_EQ(label->cellHeight, 28);
  EXPECT_EQ(label->weight, 0);
  EXPECT_EQ(label->backColour, kBannerMiddle);
  const auto* right = s->findText(">");
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->left, 228);
  EXPECT_EQ(right->right, 256);
  EXPECT_EQ(right->backColour, kArrowBox);

  // Pane divider and transport divider.
  EXPECT_EQ(s->pixel(257, 300), kBlack);
  EXPECT_EQ(s->pixel(258, 300), kWhite);
  EXPECT_EQ(s->pixel(261, 300), kBlack);
  EXPECT_EQ(s->pixel(600, 33), kBlack);
  EXPECT_EQ(s->pixel(600, 34), kWhite);
  EXPECT_EQ(s->pixel(600, 37), kBlack);
}

TEST_F(ViewPaintTest, ClipRowsTakeTheirClassColour) {
  view().showStation(9);
  bed.catalogueEdited();
  auto s = bed.paint();
  // Classes 8 and -1 lie outside the table and show like classes 3 and 4.
  const Rgb expected[] = {0xFF8080, 0xC0C080, 0x8080C0, 0x8080FF, 0x8080FF,
                          0x80C0C0, 0x80C0FF, 0xFF80C0, 0x8080FF, 0x8080FF};
  for (int k = 0; k < 10; ++k) {
    const int y = 29 + 17 * k;
    EXPECT_EQ(s->pixel(150, y), kBlack) << k;
    EXPECT_EQ(s->pixel(150, y + 8), expected[k]) << k;
    EXPECT_EQ(s->pixel(1, y + 1), expected[k]) << k;  // preview box
    EXPECT_EQ(s->pixel(10, y + 8), kBlack) << k;
    EXPECT_EQ(s->pixel(7, y + 9), kBlack) << k;  // triangle tip
  }
  // The rows end with the list; black below, down to the bottom.
  EXPECT_EQ(s->pixel(100, 29 + 170 + 1), kBlack);
  EXPECT_EQ(s->pixel(239, bed.host.height - 1), kBlack);

  const auto* row = s->findText("Row");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->face, "Arial");
  EXPECT_EQ(row->cellHeight, 16);
  EXPECT_EQ(row->weight, 700);
}

TEST_F(ViewPaintTest, SongRowSplitsArtistAndTitleAtX112) {
  auto s = bed.paint();
  const int y = 29;
  EXPECT_EQ(s->pixel(111, y + 5), kSong);
  EXPECT_EQ(s->pixel(112, y + 5), kBlack);
  EXPECT_EQ(s->pixel(113, y + 5), kSong);
  const auto* artist = s->findText("Artist");
  ASSERT_NE(artist, nullptr);
  EXPECT_EQ((std::vector<int>{artist->left, artist->top, artist->right, artist->bottom}),
            (std::vector<int>{14, y + 1, 112, y + 17}));
  const auto* title = s->findText("Title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->left, 116);
  EXPECT_EQ(title->right, 240);

  // Rows of other classes have no split.
  const int advertY = 29 + 17 * 1;
  EXPECT_EQ(s->pixel(112, advertY + 5), kCommercial);
}

TEST_F(ViewPaintTest, PlayingClipRowHasDarkBoxAndWhiteTriangle) {
  Track preview;  // linked nowhere
  preview.station = 4;
  preview.clipIndex = 5;
  preview.clip = &bed.catalogue().stations[4].clips[5];
  session().transport().report(&preview, 0);
  auto s = bed.paint();
  const int y = 29 + 17 * 2;  // the chatter row
  EXPECT_EQ(s->pixel(0, y + 1), kDarkBlue);
  EXPECT_EQ(s->pixel(7, y + 9), kWhite);
  EXPECT_EQ(s->pixel(2, y + 5), kWhite);
  EXPECT_EQ(s->pixel(1, y + 9), kDarkBlue);
  // Other rows keep their colour and a black triangle.
  EXPECT_EQ(s->pixel(0, 29 + 1), kSong);
  EXPECT_EQ(s->pixel(7, 29 + 9), kBlack);

  // A track of another station highlights nothing here.
  preview.station = 9;
  preview.clip = &bed.catalogue().stations[9].clips[2];
  s = bed.paint();
  EXPECT_EQ(s->pixel(0, y + 1), kChatter);
  session().transport().report(nullptr, 0);
}

// The text call drawn in the playlist pane (the browser rows may draw the
// same title on the left).
const test::TextCall* entryText(const RasterSurface& s, const std::string& text) {
  for (const auto& call : s.texts())
    if (call.text == text && call.left >= kEntryX) return &call;
  return nullptr;
}

int runLength(const RasterSurface& s, int y) {
  int n = 0;
  for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) == kBlack;
  return n;
}

TEST_F(ViewPaintTest, ArrowIsANineRowTriangle) {
  RasterSurface right(40, 40, kWhite);
  StudioView::drawArrow(right, 20, 20, -1);
  EXPECT_EQ(runLength(right, 20), 6);
  EXPECT_EQ(runLength(right, 16), 2);
  EXPECT_EQ(runLength(right, 24), 2);
  EXPECT_EQ(runLength(right, 15), 0);
  EXPECT_EQ(runLength(right, 25), 0);
  EXPECT_EQ(right.pixel(23, 20), kBlack);  // tip at cx + 3
  EXPECT_EQ(right.pixel(24, 20), kWhite);
  for (int y = 16; y <= 24; ++y) {
    EXPECT_EQ(right.pixel(18, y), kBlack) << y;  // flat side on cx - 2
    EXPECT_EQ(right.pixel(17, y), kWhite) << y;
  }

  RasterSurface left(40, 40, kWhite);
  StudioView::drawArrow(left, 20, 20, +1);
  EXPECT_EQ(runLength(left, 20), 6);
  EXPECT_EQ(runLength(left, 16), 2);
  EXPECT_EQ(left.pixel(17, 20), kBlack);  // tip at cx - 3
  EXPECT_EQ(left.pixel(16, 20), kWhite);
  for (int y = 16; y <= 24; ++y) {
    EXPECT_EQ(left.pixel(22, y), kBlack) << y;
    EXPECT_EQ(left.pixel(23, y), kWhite) << y;
  }
}

TEST_F(ViewPaintTest, SongEntryShowsIntroOutroLabelAndNumber) {
  Track* song = bed.addTrack(4, 0);
  song->intro = 0;  // "Hey DJ"
  auto s = bed.paint();
  const int y = entryTop(0), x = kEntryX, right = x + entryWidth();

  EXPECT_EQ(s->pixel(400, y), kBlack);
  EXPECT_EQ(s->pixel(400, y + 1), kIntroLine);
  EXPECT_EQ(s->pixel(400, y + 14), kIntroLine);
  EXPECT_EQ(s->pixel(400, y + 15), kBlack);
  EXPECT_EQ(s->pixel(x + 100, y + 20), kLabelBox);
  EXPECT_EQ(s->pixel(x + 159, y + 20), kBlack);
  EXPECT_EQ(s->pixel(x + 159, y + 5), kIntroLine);  // the label line stops at the song band
  EXPECT_EQ(s->pixel(x + 160, y + 20), kSong);
  EXPECT_EQ(s->pixel(right - 1, y + 43), kSong);
  EXPECT_EQ(s->pixel(400, y + 44), kBlack);
  EXPECT_EQ(s->pixel(400, y + 45), kIntroLine);
  EXPECT_EQ(s->pixel(400, y + 58), kIntroLine);
  EXPECT_EQ(s->pixel(x + 5, y + 5), kNumberBox);
  EXPECT_EQ(s->pixel(x + 31, y + 5), kBlack);
  EXPECT_EQ(s->pixel(x + 5, y + 44), kBlack);  // divides play-from-here from outro-only
  EXPECT_EQ(s->pixel(x + 5, y + 50), kNumberBox);
  // Choice buttons: left triangle tip at x + 36, right triangle tip at x + 54.
  EXPECT_EQ(s->pixel(x + 36, y + 8), kBlack);
  EXPECT_EQ(s->pixel(x + 35, y + 8), kIntroLine);
  EXPECT_EQ(s->pixel(x + 54, y + 8), kBlack);
  EXPECT_EQ(s->pixel(x + 55, y + 8), kIntroLine);
  EXPECT_EQ(s->pixel(x + 36, y + 52), kBlack);
  EXPECT_EQ(s->pixel(x + 54, y + 52), kBlack);
  for (int gy = y + 59; gy < y + 65; ++gy) EXPECT_EQ(s->pixel(400, gy), kBlack) << gy;

  const auto* intro = s->findText("Hey DJ");
  ASSERT_NE(intro, nullptr);
  EXPECT_EQ((std::vector<int>{intro->left, intro->top, intro->right, intro->bottom}),
            (std::vector<int>{x + 60, y + 1, right, y + 15}));
  EXPECT_EQ(intro->cellHeight, 14);
  EXPECT_EQ(intro->backColour, kIntroLine);
  const auto* outro = s->findText("(no speech over outro)");
  ASSERT_NE(outro, nullptr);
  EXPECT_EQ(outro->top, y + 45);
  const auto* text = s->findText("Artist - Title");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ((std::vector<int>{text->left, text->top, text->right, text->bottom}),
            (std::vector<int>{x + 166, y + 16, right, y + 44}));
  EXPECT_EQ(text->cellHeight, 28);
  EXPECT_EQ(text->backColour, kSong);
  const auto* label = s->findText("Radio Four");  // the banner draws it first
  ASSERT_NE(label, nullptr);
  int labels = 0;
  for (const auto& call : s->texts())
    if (call.text == "Radio Four" && call.left == x + 32) {
      ++labels;
      EXPECT_EQ(call.right, x + 159);
      EXPECT_EQ(call.align, TextAlign::Centre);
      EXPECT_EQ(call.backColour, kLabelBox);
    }
  EXPECT_EQ(labels, 1);
  const auto* number = s->findText("1");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ((std::vector<int>{number->left, number->top, number->right, number->bottom}),
            (std::vector<int>{x, y + 16, x + 31, y + 44}));
  EXPECT_EQ(number->textColour, kBlack);
  EXPECT_EQ(number->backColour, kNumberBox);
}

TEST_F(ViewPaintTest, EntriesWithoutLabelOrIntroLines) {
  bed.addTrack(4, 4);  // advert: no label, full-height band
  bed.addTrack(1, 0);  // song of the adverts pack: lines but no label
  bed.addTrack(4, 5);  // chatter: full-height label box
  bed.addTrack(4, 6);  // song without intros or outros
  auto s = bed.paint();
  const int x = kEntryX;

  int y = entryTop(0);
  EXPECT_EQ(s->pixel(x + 100, y + 5), kCommercial);
  EXPECT_EQ(s->pixel(x + 100, y + 55), kCommercial);
  EXPECT_EQ(s->pixel(x + 159, y + 30), kCommercial);
  EXPECT_EQ(s->pixel(x + 5, y + 44), kNumberBox);   // no outro zone
  EXPECT_EQ(s->pixel(x + 36, y + 8), kCommercial);  // no buttons
  const auto* advert = entryText(*s, "Buy");
  ASSERT_NE(advert, nullptr);
  EXPECT_EQ(advert->left - x, 38);
  EXPECT_EQ(advert->backColour, kCommercial);

  y = entryTop(1);
  EXPECT_EQ(s->pixel(x + 100, y + 5), kIntroLine);
  EXPECT_EQ(s->pixel(x + 100, y + 20), kSong);
  EXPECT_EQ(s->pixel(x + 159, y + 20), kSong);
  const auto* jingle = entryText(*s, "Jingle");
  ASSERT_NE(jingle, nullptr);
  EXPECT_EQ(jingle->left - x, 38);
  EXPECT_EQ(s->findText("Adverts"), nullptr);

  y = entryTop(2);
  EXPECT_EQ(s->pixel(x + 100, y + 1), kLabelBox);
  EXPECT_EQ(s->pixel(x + 100, y + 58), kLabelBox);
  EXPECT_EQ(s->pixel(x + 159, y + 1), kBlack);
  EXPECT_EQ(s->pixel(x + 159, y + 58), kBlack);
  EXPECT_EQ(s->pixel(x + 160, y + 5), kChatter);
  EXPECT_EQ(entryText(*s, "Talk")->left - x, 166);

  // No intros or outros: both lines say nobody speaks; the arrows are drawn.
  y = entryTop(3);
  int introLines = 0, outroLines = 0;
  for (const auto& call : s->texts()) {
    introLines += call.text == "(no speech over intro)" && call.top == y + 1;
    outroLines += call.text == "(no speech over outro)" && call.top == y + 45;
  }
  EXPECT_EQ(introLines, 1);
  EXPECT_EQ(outroLines, 1);
  EXPECT_EQ(s->pixel(x + 36, y + 8), kBlack);
  EXPECT_NE(entryText(*s, "Plain"), nullptr);
}

TEST_F(ViewPaintTest, PlayingEntryHasDarkNumberBoxWithWhiteNumber) {
  bed.addTrack(4, 4);
  Track* second = bed.addTrack(4, 5);
  session().transport().report(second, 0);
  auto s = bed.paint();
  EXPECT_EQ(s->pixel(kEntryX + 5, entryTop(1) + 5), kDarkBlue);
  EXPECT_EQ(s->pixel(kEntryX + 5, entryTop(0) + 5), kNumberBox);
  const auto* number = s->findText("2");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->textColour, kWhite);
  EXPECT_EQ(number->backColour, kDarkBlue);
  EXPECT_EQ(s->findText("1")->textColour, kBlack);
  session().transport().report(nullptr, 0);
}

TEST_F(ViewPaintTest, EmptySlotsAreGreyAndNumberedUpTo99) {
  bed.addTrack(4, 4);
  bed.addTrack(4, 5);
  auto s = bed.paint();
  // Track slots 1-2, then grey slots 3..9 on a 560-pixel view (the ninth
  // is cut by the bottom edge).
  EXPECT_EQ(s->pixel(kEntryX + 5, entryTop(2) + 5), kGrey);
  EXPECT_EQ(s->pixel(kEntryX + 300, entryTop(2) + 30), kGrey);
  EXPECT_EQ(s->pixel(kEntryX + 300, entryTop(2) + 60), kBlack);
  ASSERT_NE(s->findText("3"), nullptr);
  EXPECT_EQ(s->findText("3")->backColour, kGrey);
  ASSERT_NE(s->findText("9"), nullptr);
  EXPECT_EQ(s->findText("10"), nullptr);

  // Scrolled to the end: the slots run from playlistScroll + 1 to 99, black
  // below.
  view().scrollTo(Pane::Playlist, 95);
  s = bed.paint();
  for (const char* n : {"96", "97", "98", "99"}) EXPECT_NE(s->findText(n), nullptr) << n;
  EXPECT_EQ(s->findText("95"), nullptr);
  EXPECT_EQ(s->findText("100"), nullptr);
  for (int y = entryTop(4); y < bed.host.height; y += 37) EXPECT_EQ(s->pixel(500, y), kBlack) << y;

  // Scrolled into the tracks: the first entry shown is track 2.
  view().scrollTo(Pane::Playlist, 1);
  s = bed.paint();
  EXPECT_EQ(entryText(*s, "Buy"), nullptr);
  ASSERT_NE(entryText(*s, "Talk"), nullptr);
  EXPECT_EQ(entryText(*s, "Talk")->top, entryTop(0) + 16);
  EXPECT_EQ(s->findText("2")->top, entryTop(0) + 16);
}

TEST_F(ViewPaintTest, PaintCoversEveryPixel) {
  bed.addTrack(4, 0);
  bed.addTrack(4, 5);
  for (auto [w, h] : {std::pair{896, 560}, std::pair{600, 250}, std::pair{300, 40}, std::pair{1000, 1200}}) {
    bed.host.width = w;
    bed.host.height = h;
    auto s = bed.paint(0xABCDEF);
    int untouched = 0;
    for (Rgb p : s->pixels()) untouched += p == 0xABCDEF;
    EXPECT_EQ(untouched, 0) << w << "x" << h;
  }
}

TEST_F(ViewPaintTest, UnterminatedLabelAndOutOfRangeStationStayInBounds) {
  std::memset(bed.catalogue().stations[4].label, 'L', sizeof bed.catalogue().stations[4].label);
  Track* t = bed.addTrack(4, 5);
  auto s = bed.paint();
  EXPECT_NE(s->findText(std::string(32, 'L')), nullptr);
  t->station = 77;  // the entry shows no label rather than reading past the catalogue
  s = bed.paint();
  EXPECT_EQ(entryText(*s, "Talk")->left - kEntryX, 38);
}

TEST_F(ViewPaintTest, DragOutlineIsDrawnLastAndUndoneByASecondDrawing) {
  auto plain = bed.paint();
  view().onLButtonDown(20, 50);  // takes the second clip row
  ASSERT_TRUE(view().state().outlineShown);
  auto outlined = bed.paint();
  EXPECT_EQ(outlined->pixel(11, 46), plain->pixel(11, 46) ^ 0xFFFF00);
  EXPECT_NE(outlined->pixels(), plain->pixels());
  outlined->xorDottedRect(11, 46, 229, 17);
  EXPECT_EQ(outlined->pixels(), plain->pixels());
}

// ---- Transport display ----

class TransportTest : public ViewPaintTest {
 protected:
  std::string text(Rgb* colour = nullptr) {
    return transportText(session().marks(), session().playlist(), session().transport(), colour);
  }
  void addTracks(int n) {
    for (int i = 0; i < n; ++i) tracks.push_back(bed.addTrack(4, 4));
  }
  std::vector<Track*> tracks;
};

TEST_F(TransportTest, EmptyPlaylistShowsDashes) {
  Rgb colour = 0;
  EXPECT_EQ(text(&colour), "-- --:--");
  EXPECT_EQ(colour, kGreen);
  auto s = bed.paint();
  const auto* call = s->findText("-- --:--");
  ASSERT_NE(call, nullptr);
  EXPECT_EQ((std::vector<int>{call->left, call->top, call->right, call->bottom}),
            (std::vector<int>{262, 2, bed.host.width, 32}));
  EXPECT_EQ(call->align, TextAlign::Centre);
  EXPECT_EQ(call->face, "Lucida Console");
  EXPECT_EQ(call->cellHeight, 33);
  EXPECT_EQ(call->textColour, kGreen);
  EXPECT_EQ(call->backColour, kBlack);
  EXPECT_EQ(s->pixel(300, 0), kBlack);
  EXPECT_EQ(s->pixel(bed.host.width - 1, 31), kBlack);
  // Tracks without loaded audio give no total either.
  addTracks(2);
  EXPECT_EQ(text(), "-- --:--");
}

TEST_F(TransportTest, TotalTurnsRedFrom78MinutesAndClampsAt9959) {
  addTracks(12);
  // 77:59 is 112296000 samples; 4010571 frames are 112295988 of them.
  tracks[0]->songAudio = audioOfFrames(4010571);
  Rgb colour = 0;
  EXPECT_EQ(text(&colour), "12 77:59");
  EXPECT_EQ(colour, kGreen);
  tracks[5]->introAudio = audioOfFrames(1);
  EXPECT_EQ(text(&colour), "12 78:00");
  EXPECT_EQ(colour, kRed);
  auto s = bed.paint();
  ASSERT_NE(s->findText("12 78:00"), nullptr);
  EXPECT_EQ(s->findText("12 78:00")->textColour, kRed);

  // Past 125 minutes in all.
  tracks[11]->outroAudio = audioOfFrames(2418000);
  EXPECT_EQ(text(&colour), "12 99:59");
  EXPECT_EQ(colour, kRed);
}

TEST_F(TransportTest, PlayingTrackShowsPositionAndMinutesModulo60) {
  addTracks(4);
  tracks[3]->songAudio = audioOfFrames(10);
  session().transport().report(tracks[2], 65 * 24000 + 23999);
  Rgb colour = 0;
  EXPECT_EQ(text(&colour), "03 01:05");
  EXPECT_EQ(colour, kGreen);
  session().transport().report(tracks[2], 3665 * 24000);
  EXPECT_EQ(text(), "03 01:05");
  session().transport().report(tracks[0], 0);
  EXPECT_EQ(text(), "01 00:00");

  // A preview track has no place in the playlist.
  Track preview;
  preview.station = 4;
  preview.clip = &bed.catalogue().stations[4].clips[5];
  session().transport().report(&preview, 65 * 24000);
  EXPECT_EQ(text(), "-- 01:05");
  session().transport().report(nullptr, 0);
  EXPECT_EQ(text(), "04 00:01");
}

TEST_F(TransportTest, BusyCopyingAndRenderingOverrideInOrder) {
  addTracks(3);
  TransportMarks marks;
  auto textWith = [&] { return transportText(marks, session().playlist(), session().transport()); };
  marks.copying = true;
  marks.copyFileName = "CH.PAK";
  marks.copyPercent = 42;
  EXPECT_EQ(textWith(), "Copying CH.PAK : 42%");
  marks.copyPercent = 5;
  EXPECT_EQ(textWith(), "Copying CH.PAK : 05%");
  marks.copyPercent = 100;
  EXPECT_EQ(textWith(), "Copying CH.PAK : OK ");
  marks.busy = true;
  EXPECT_EQ(textWith(), "PLEASE WAIT");
  marks.copying = false;
  marks.rendering = true;
  EXPECT_EQ(textWith(), ">> PLEASE WAIT <<");
  marks.busy = false;
  session().transport().report(tracks[2], 65 * 24000);
  EXPECT_EQ(textWith(), ">> 03 01:05 <<");
}

TEST_F(TransportTest, DrawingWithoutClearKeepsTheBackground) {
  RasterSurface s(bed.host.width, 40, 0x123456);
  EXPECT_EQ(view().drawTransport(s, 0, 262, bed.host.width - 262, false), 32);
  EXPECT_EQ(s.pixel(300, 5), Rgb(0x123456));
  EXPECT_EQ(s.texts().size(), 1u);
  EXPECT_EQ(view().drawTransport(s, 0, 262, bed.host.width - 262, true), 32);
  EXPECT_EQ(s.pixel(300, 5), kBlack);
  EXPECT_EQ(s.pixel(261, 5), Rgb(0x123456));
  EXPECT_EQ(s.pixel(300, 32), Rgb(0x123456));
}

TEST_F(TransportTest, PlaybackProgressRepaintsOncePerSecondAndAllOnNewTrack) {
  addTracks(2);
  StudioSession& s = session();
  test::FakeViewHost& host = bed.host;

  const int base = host.invalidations;
  s.transport().report(tracks[0], 100);
  EXPECT_EQ(host.invalidations, base + 1);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(s.transport().playingTrack(), tracks[0]);
  s.transport().report(tracks[0], 23999);
  EXPECT_TRUE(host.events.empty());
  s.transport().report(tracks[0], 24000);
  EXPECT_EQ(host.events, (std::vector<std::string>{"transport"}));
  EXPECT_EQ(s.transport().playingSeconds(), 1);
  s.transport().report(tracks[1], 48000);  // new track: whole view, no transport
  EXPECT_EQ(host.invalidations, base + 2);
  EXPECT_EQ(host.events.size(), 1u);
  EXPECT_EQ(s.transport().playingSeconds(), 2);
  s.transport().report(nullptr, 0);
}

TEST_F(TransportTest, CopyProgressRoundsAndSkipsUnchangedPercent) {
  StudioSession& s = session();
  // The text as the display shows it while the copy runs.
  auto copyText = [&] {
    TransportMarks marks = s.marks();
    marks.copying = true;
    return transportText(marks, s.playlist(), s.transport());
  };
  s.onCopyProgress("CH.PAK", 0.4f);  // still 0: the command drew that already
  EXPECT_TRUE(bed.host.events.empty());
  s.onCopyProgress("CH.PAK", 42.4f);
  EXPECT_EQ(s.marks().copyPercent, 42);
  EXPECT_EQ(s.marks().copyFileName, "CH.PAK");
  EXPECT_EQ(bed.host.events, (std::vector<std::string>{"transport"}));
  s.onCopyProgress("CH.PAK", 98.6f);
  EXPECT_EQ(s.marks().copyPercent, 99);
  bed.host.events.clear();
  s.onCopyProgress("CH.PAK", 99.4f);
  EXPECT_TRUE(bed.host.events.empty());
  s.onCopyProgress("CH.PAK", 99.5f);
  EXPECT_EQ(s.marks().copyPercent, 100);
  EXPECT_EQ(copyText(), "Copying CH.PAK : OK ");
  // A new file starts at 0 %: the display is cleared first.
  s.onCopyProgress("AA.PAK", 0.0f);
  EXPECT_EQ(bed.host.events, (std::vector<std::string>{"transport", "transport:clear"}));
  EXPECT_EQ(copyText(), "Copying AA.PAK : 00%");
}

}  // namespace
}  // namespace wc
