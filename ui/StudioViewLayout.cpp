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

int barIndex(int which) { return which == 0 ? 0 : 1; }

}  // namespace

void StudioView::rebuildClipList() {
  const Station& s = station();
  const int count = validClipCount(s);
  visibleCount = 0;
  // i grows by at least 1 per clip and stays below 256, so visibleClips
  // cannot overflow whatever the catalogue's counts say.
  for (int i = 0; i < count;) {
    visibleClips[size_t(visibleCount++)] = i;
    i = showAllClips ? i + 1 : nextTopLevelClip(s.clips[i], i);
  }
  clipScroll = clampScroll(clipScroll, visibleCount - scrollBars[0].rowsPerPage);
}

void StudioView::stepStation(int direction) {
  savedClipScroll[size_t(currentStation & 15)] = clipScroll;
  // At most one turn of the ring: with a single listed station we come back
  // to it, with none the station stays as it is.
  int candidate = currentStation;
  for (int step = 0; step < kStationSteps; ++step) {
    candidate = (candidate + direction) & 15;
    if (catalogue().stations[candidate].listed) {
      currentStation = candidate;
      break;
    }
  }
  clipScroll = savedClipScroll[size_t(currentStation & 15)];
  rebuildClipList();
  host.invalidate();
}

void StudioView::onShowAllClips() {
  showAllClips = !showAllClips;
  rebuildClipList();
  host.invalidate();
}

void StudioView::drawScrollBar(DrawSurface& surface, int which, int top, int bottom, int left, int right,
                               int position, int total, int rowHeight) {
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

  ScrollBarState& state = scrollBars[size_t(barIndex(which))];
  state.top = top;
  state.bottom = bottom;
  state.thumbTop = y1;
  state.thumbBottom = y2;
  state.rowsPerPage = rows;
  // A bar without height has no pixels to drag: the thumb then moves nothing.
  state.itemsPerPixel = span > 0 ? float(total) / float(span) : 0.0f;
}

void StudioView::pageScroll(int which, int direction) {
  const int bar = barIndex(which);
  const int rows = scrollBars[size_t(bar)].rowsPerPage;
  int& position = bar == 0 ? clipScroll : playlistScroll;
  const int largest = (bar == 0 ? visibleCount : kPlaylistSlots) - rows;
  if (direction < 0) {
    position -= rows;
    if (position < 0) position = 0;
  } else {
    position = clampScroll(position + rows, largest);
  }
  host.invalidate();
}

void StudioView::beginThumbDrag(int which, int y) {
  const int bar = barIndex(which);
  thumbDrag.mode = bar + 1;
  thumbDrag.startY = y;
  thumbDrag.startPos = bar == 0 ? clipScroll : playlistScroll;
  host.captureMouse();
}

void StudioView::moveThumbDrag(int y) {
  if (thumbDrag.mode == 0) return;
  const int bar = thumbDrag.mode == 1 ? 0 : 1;
  // Rows moved: the float product plus a half, cut towards zero, so a
  // downward drag moves after half a row and an upward one after one and a
  // half.
  double rows = std::trunc(double(float(y - thumbDrag.startY) * scrollBars[size_t(bar)].itemsPerPixel) + 0.5);
  if (!std::isfinite(rows)) rows = 0.0;
  if (rows > 1e6) rows = 1e6;
  if (rows < -1e6) rows = -1e6;

  int& position = bar == 0 ? clipScroll : playlistScroll;
  const int largest = (bar == 0 ? visibleCount : kPlaylistSlots) - scrollBars[size_t(bar)].rowsPerPage;
  const int moved = clampScroll(thumbDrag.startPos + int(rows), largest);
  if (moved != position) {
    position = moved;
    host.invalidate();
  }
}

void StudioView::endThumbDrag() {
  host.releaseMouse();
  thumbDrag.mode = 0;
}

HitResult StudioView::hitTest(int x, int y) const {
  if (x < kLeftPaneWidth) {
    if (y < kClipRowsTop) {
      if (x < 28) return {HitCode::LeftArrow, 0, 0};
      if (x >= 228) return {HitCode::RightArrow, 0, 0};
      return {HitCode::Banner, 0, 0};
    }
    if (x >= kClipRowWidth) {
      if (y < scrollBars[0].thumbTop) return {HitCode::ClipPageUp, 0, 0};
      if (y > scrollBars[0].thumbBottom) return {HitCode::ClipPageDown, 0, 0};
      return {HitCode::ClipThumb, 0, 0};
    }
    const int index = clipScroll + (y - kClipRowsTop) / kClipRowHeight;
    if (index >= visibleCount) return {HitCode::Nothing, 0, 0};
    return {HitCode::ClipRow, index, x < 10 ? 1 : 0};
  }

  if (x < kPlaylistLeft) return {HitCode::PaneDivider, 0, 0};
  if (y < kTransportHeight) return {HitCode::Transport, 0, 0};
  if (y < kPlaylistTop) return {HitCode::TransportDivider, 0, 0};
  if (x >= host.clientWidth() - kScrollBarWidth) {
    if (y < scrollBars[1].thumbTop) return {HitCode::PlaylistPageUp, 0, 0};
    if (y > scrollBars[1].thumbBottom) return {HitCode::PlaylistPageDown, 0, 0};
    return {HitCode::PlaylistThumb, 0, 0};
  }

  const int offset = y - kPlaylistTop;
  const int index = playlistScroll + offset / kEntryHeight;
  const int r = offset % kEntryHeight;
  if (r >= 59) return {HitCode::PlaylistGap, index, 0};

  // Inside the entry: the number box, then the intro line, the song band and
  // the outro line with their two choice buttons of 13 pixels each.
  const int rx = x - kPlaylistLeft;
  int part;
  if (rx < 32) {
    part = r < 44 ? EntryPart::TrackNumber : EntryPart::TrackNumberOutro;
  } else if (r < 15) {
    part = rx - 32 < 13 ? EntryPart::PrevIntro : rx - 32 < 26 ? EntryPart::NextIntro : EntryPart::IntroText;
  } else if (r < 44) {
    part = EntryPart::SongBand;
  } else {
    part = rx - 32 < 13 ? EntryPart::PrevOutro : rx - 32 < 26 ? EntryPart::NextOutro : EntryPart::OutroText;
  }
  return {HitCode::PlaylistEntry, index, part};
}

}  // namespace wc
