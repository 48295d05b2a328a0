// The view's clip list, station ring, scroll bars and hit test: plain
// arithmetic on the view state and on what the last painting recorded.
#include <cmath>

#include "ui/StudioView.h"

namespace wc {
namespace {

constexpr int kStationSteps = kStationCount;  // a full turn of the station ring
constexpr int kPlaylistSlots = kMaxCdTracks;
constexpr Rgb kScrollTrack = rgb(64, 64, 64);
constexpr Rgb kScrollThumb = rgb(128, 128, 128);

// The largest position first, then never below 0: a list shorter than a page
// stays at 0.
int clampScroll(int position, int largest) {
  if (position > largest) position = largest;
  if (position < 0) position = 0;
  return position;
}

size_t barIndex(Pane pane) { return pane == Pane::Clips ? 0 : 1; }

// Above the thumb pages up, below it pages down, the thumb itself drags.
HitCode scrollBarPart(const ScrollBarState& bar, int y, HitCode pageUp, HitCode pageDown, HitCode thumb) {
  if (y < bar.thumbTop) return pageUp;
  if (y > bar.thumbBottom) return pageDown;
  return thumb;
}

// The left pane: the station banner with its two arrows, the clip rows and
// their scroll bar.
HitResult hitClipPane(const ViewState& state, int x, int y) {
  if (y < StudioView::kClipRowsTop) {
    if (x < 28) return {HitCode::LeftArrow, 0, 0};
    if (x >= 228) return {HitCode::RightArrow, 0, 0};
    return {HitCode::Banner, 0, 0};
  }
  if (x >= StudioView::kClipRowWidth)
    return {scrollBarPart(state.scrollBars[0], y, HitCode::ClipPageUp, HitCode::ClipPageDown, HitCode::ClipThumb), 0,
            0};
  const int index = state.clipScroll + (y - StudioView::kClipRowsTop) / StudioView::kClipRowHeight;
  if (index >= state.clipRowCount) return {HitCode::Nothing, 0, 0};
  return {HitCode::ClipRow, index, x < 10 ? 1 : 0};
}

// Inside a playlist entry, `rx` from its left and `r` from its top: the
// number box, then the intro line, the song band and the outro line with
// their two choice buttons of 13 pixels each.
int entryPart(int rx, int r) {
  if (rx < 32) return r < 44 ? EntryPart::TrackNumber : EntryPart::TrackNumberOutro;
  if (r >= 15 && r < 44) return EntryPart::SongBand;
  const bool intro = r < 15;
  if (rx - 32 < 13) return intro ? EntryPart::PrevIntro : EntryPart::PrevOutro;
  if (rx - 32 < 26) return intro ? EntryPart::NextIntro : EntryPart::NextOutro;
  return intro ? EntryPart::IntroText : EntryPart::OutroText;
}

}  // namespace

void StudioView::rebuildClipList() {
  const Station& s = station();
  const int count = s.validCount();
  state_.clipRowCount = 0;
  // i grows by at least 1 per clip and stays below 256, so state_.clipRows
  // cannot overflow whatever the catalogue's counts say.
  for (int i = 0; i < count;) {
    state_.clipRows[size_t(state_.clipRowCount++)] = i;
    i = state_.showAllClips ? i + 1 : s.nextTopLevel(i);
  }
  state_.clipScroll = clampScroll(state_.clipScroll, state_.clipRowCount - state_.scrollBars[0].rowsPerPage);
  // The song tools follow the station and the catalogue, whose every change
  // comes through here.
  host_.commandStatesChanged();
}

void StudioView::stepStation(int direction) {
  savedClipScroll_[size_t(session_.station() & 15)] = state_.clipScroll;
  // At most one turn of the ring: with a single listed station we come back
  // to it, with none the station stays as it is.
  int candidate = session_.station();
  for (int step = 0; step < kStationSteps; ++step) {
    candidate = (candidate + direction) & 15;
    if (catalogue().stations[candidate].listed) {
      session_.selectStation(candidate);
      break;
    }
  }
  state_.clipScroll = savedClipScroll_[size_t(session_.station() & 15)];
  rebuildClipList();
  host_.invalidate();
}

void StudioView::drawScrollBar(DrawSurface& surface, Pane pane, int top, int bottom, int left, int right, int position,
                               int total, int rowHeight) {
  surface.selectPen(Pen::Black);
  surface.line(left, top, left, bottom);
  surface.line(right - 1, top, right - 1, bottom);

  // A client area shorter than the bar's top gives no rows, never a negative
  // count that would turn the scroll limits around.
  int rows = rowHeight > 0 ? (bottom - top) / rowHeight : 0;
  if (rows < 0) rows = 0;
  const int span = bottom - 1 - top;
  // An empty list is drawn like one that fits: the thumb fills the bar.
  const int thumbLength = total > 0 ? span * rows / total : span;
  const int thumbOffset = total > 0 ? span * position / total : 0;
  const int inner = right - left - 1;

  surface.line(left, top, right, top);
  surface.fillRect(left + 1, top + 1, inner, thumbOffset - 1, kScrollTrack);

  const int y1 = top + thumbOffset;
  surface.line(left, y1, right, y1);
  surface.fillRect(left + 1, y1 + 1, inner, thumbLength - 1, kScrollThumb);

  const int y2 = y1 + thumbLength;
  surface.line(left, y2, right, y2);
  surface.fillRect(left + 1, y2 + 1, inner, bottom - y2 - 2, kScrollTrack);

  surface.line(left, bottom - 1, right, bottom - 1);

  ScrollBarState& state = state_.scrollBars[barIndex(pane)];
  state.top = top;
  state.bottom = bottom;
  state.thumbTop = y1;
  state.thumbBottom = y2;
  state.rowsPerPage = rows;
  // A bar without height has no pixels to drag: the thumb then moves nothing.
  state.itemsPerPixel = span > 0 ? float(total) / float(span) : 0.0f;
}

void StudioView::pageScroll(Pane pane, int direction) {
  const int rows = state_.scrollBars[barIndex(pane)].rowsPerPage;
  int& position = pane == Pane::Clips ? state_.clipScroll : state_.playlistScroll;
  const int largest = (pane == Pane::Clips ? state_.clipRowCount : kPlaylistSlots) - rows;
  if (direction < 0) {
    position -= rows;
    if (position < 0) position = 0;
  } else {
    position = clampScroll(position + rows, largest);
  }
  host_.invalidate();
}

void StudioView::scrollTo(Pane pane, int position) {
  (pane == Pane::Clips ? state_.clipScroll : state_.playlistScroll) = position;
  host_.invalidate();
}

void StudioView::showStation(int index) {
  if (index < 0 || index >= kStationCount || index == session_.station()) return;
  savedClipScroll_[size_t(session_.station() & 15)] = state_.clipScroll;
  session_.selectStation(index);
  state_.clipScroll = savedClipScroll_[size_t(index & 15)];
  rebuildClipList();
  host_.invalidate();
}

void StudioView::beginThumbDrag(Pane pane, int y) {
  state_.thumbDrag.pane = pane;
  state_.thumbDrag.startY = y;
  state_.thumbDrag.startPos = state_.scroll(pane);
  host_.captureMouse();
}

void StudioView::moveThumbDrag(int y) {
  if (!state_.thumbDrag.pane) return;
  const Pane pane = *state_.thumbDrag.pane;
  const ScrollBarState& bar = state_.scrollBars[barIndex(pane)];
  // Rows moved: the float product plus a half, cut towards zero, so a
  // downward drag moves after half a row and an upward one after one and a
  // half.
  double rows = std::trunc(double(float(y - state_.thumbDrag.startY) * bar.itemsPerPixel) + 0.5);
  if (!std::isfinite(rows)) rows = 0.0;
  if (rows > 1e6) rows = 1e6;
  if (rows < -1e6) rows = -1e6;

  int& position = pane == Pane::Clips ? state_.clipScroll : state_.playlistScroll;
  const int largest = (pane == Pane::Clips ? state_.clipRowCount : kPlaylistSlots) - bar.rowsPerPage;
  const int moved = clampScroll(state_.thumbDrag.startPos + int(rows), largest);
  if (moved != position) {
    position = moved;
    host_.invalidate();
  }
}

void StudioView::endThumbDrag() {
  host_.releaseMouse();
  state_.thumbDrag.pane.reset();
}

HitResult StudioView::hitTest(int x, int y) const {
  if (x < kLeftPaneWidth) return hitClipPane(state_, x, y);
  if (x < kPlaylistLeft) return {HitCode::PaneDivider, 0, 0};
  if (y < kTransportHeight) return {HitCode::Transport, 0, 0};
  if (y < kPlaylistTop) return {HitCode::TransportDivider, 0, 0};
  if (x >= host_.clientWidth() - kScrollBarWidth)
    return {scrollBarPart(state_.scrollBars[1], y, HitCode::PlaylistPageUp, HitCode::PlaylistPageDown,
                          HitCode::PlaylistThumb),
            0, 0};
  const int offset = y - kPlaylistTop;
  const int index = state_.playlistScroll + offset / kEntryHeight;
  const int r = offset % kEntryHeight;
  if (r >= 59) return {HitCode::PlaylistGap, index, 0};
  return {HitCode::PlaylistEntry, index, entryPart(x - kPlaylistLeft, r)};
}

}  // namespace wc
