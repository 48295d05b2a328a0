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

}  // namespace

void StudioView::rebuildClipList() {
  const Station& s = station();
  const int count = s.validCount();
  visibleCount_ = 0;
  // i grows by at least 1 per clip and stays below 256, so visibleClips_
  // cannot overflow whatever the catalogue's counts say.
  for (int i = 0; i < count;) {
    visibleClips_[size_t(visibleCount_++)] = i;
    i = showAllClips_ ? i + 1 : s.nextTopLevel(i);
  }
  clipScroll_ = clampScroll(clipScroll_, visibleCount_ - scrollBars_[0].rowsPerPage);
  // The song tools follow the station and the catalogue, whose every change
  // comes through here.
  host_.commandStatesChanged();
}

void StudioView::stepStation(int direction) {
  savedClipScroll_[size_t(currentStation_ & 15)] = clipScroll_;
  // At most one turn of the ring: with a single listed station we come back
  // to it, with none the station stays as it is.
  int candidate = currentStation_;
  for (int step = 0; step < kStationSteps; ++step) {
    candidate = (candidate + direction) & 15;
    if (catalogue().stations[candidate].listed) {
      currentStation_ = candidate;
      break;
    }
  }
  clipScroll_ = savedClipScroll_[size_t(currentStation_ & 15)];
  rebuildClipList();
  host_.invalidate();
}

void StudioView::onShowAllClips() {
  showAllClips_ = !showAllClips_;
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

  ScrollBarState& state = scrollBars_[barIndex(pane)];
  state.top = top;
  state.bottom = bottom;
  state.thumbTop = y1;
  state.thumbBottom = y2;
  state.rowsPerPage = rows;
  // A bar without height has no pixels to drag: the thumb then moves nothing.
  state.itemsPerPixel = span > 0 ? float(total) / float(span) : 0.0f;
}

void StudioView::pageScroll(Pane pane, int direction) {
  const int rows = scrollBars_[barIndex(pane)].rowsPerPage;
  int& position = pane == Pane::Clips ? clipScroll_ : playlistScroll_;
  const int largest = (pane == Pane::Clips ? visibleCount_ : kPlaylistSlots) - rows;
  if (direction < 0) {
    position -= rows;
    if (position < 0) position = 0;
  } else {
    position = clampScroll(position + rows, largest);
  }
  host_.invalidate();
}

void StudioView::scrollTo(Pane pane, int position) {
  (pane == Pane::Clips ? clipScroll_ : playlistScroll_) = position;
  host_.invalidate();
}

void StudioView::showStation(int index) {
  if (index < 0 || index >= kStationCount || index == currentStation_) return;
  savedClipScroll_[size_t(currentStation_ & 15)] = clipScroll_;
  currentStation_ = index;
  clipScroll_ = savedClipScroll_[size_t(currentStation_ & 15)];
  rebuildClipList();
  host_.invalidate();
}

void StudioView::beginThumbDrag(Pane pane, int y) {
  thumbDrag_.mode = pane == Pane::Clips ? ThumbDragMode::Clips : ThumbDragMode::Playlist;
  thumbDrag_.startY = y;
  thumbDrag_.startPos = scrollPosition(pane);
  host_.captureMouse();
}

void StudioView::moveThumbDrag(int y) {
  if (thumbDrag_.mode == ThumbDragMode::None) return;
  const Pane pane = thumbDrag_.mode == ThumbDragMode::Clips ? Pane::Clips : Pane::Playlist;
  const ScrollBarState& bar = scrollBars_[barIndex(pane)];
  // Rows moved: the float product plus a half, cut towards zero, so a
  // downward drag moves after half a row and an upward one after one and a
  // half.
  double rows = std::trunc(double(float(y - thumbDrag_.startY) * bar.itemsPerPixel) + 0.5);
  if (!std::isfinite(rows)) rows = 0.0;
  if (rows > 1e6) rows = 1e6;
  if (rows < -1e6) rows = -1e6;

  int& position = pane == Pane::Clips ? clipScroll_ : playlistScroll_;
  const int largest = (pane == Pane::Clips ? visibleCount_ : kPlaylistSlots) - bar.rowsPerPage;
  const int moved = clampScroll(thumbDrag_.startPos + int(rows), largest);
  if (moved != position) {
    position = moved;
    host_.invalidate();
  }
}

std::optional<Pane> StudioView::thumbDragPane() const {
  switch (thumbDrag_.mode) {
    case ThumbDragMode::None: return std::nullopt;
    case ThumbDragMode::Clips: return Pane::Clips;
    case ThumbDragMode::Playlist: return Pane::Playlist;
  }
  return std::nullopt;
}

void StudioView::endThumbDrag() {
  host_.releaseMouse();
  thumbDrag_.mode = ThumbDragMode::None;
}

HitResult StudioView::hitTest(int x, int y) const {
  if (x < kLeftPaneWidth) {
    if (y < kClipRowsTop) {
      if (x < 28) return {HitCode::LeftArrow, 0, 0};
      if (x >= 228) return {HitCode::RightArrow, 0, 0};
      return {HitCode::Banner, 0, 0};
    }
    if (x >= kClipRowWidth) {
      if (y < scrollBars_[0].thumbTop) return {HitCode::ClipPageUp, 0, 0};
      if (y > scrollBars_[0].thumbBottom) return {HitCode::ClipPageDown, 0, 0};
      return {HitCode::ClipThumb, 0, 0};
    }
    const int index = clipScroll_ + (y - kClipRowsTop) / kClipRowHeight;
    if (index >= visibleCount_) return {HitCode::Nothing, 0, 0};
    return {HitCode::ClipRow, index, x < 10 ? 1 : 0};
  }

  if (x < kPlaylistLeft) return {HitCode::PaneDivider, 0, 0};
  if (y < kTransportHeight) return {HitCode::Transport, 0, 0};
  if (y < kPlaylistTop) return {HitCode::TransportDivider, 0, 0};
  if (x >= host_.clientWidth() - kScrollBarWidth) {
    if (y < scrollBars_[1].thumbTop) return {HitCode::PlaylistPageUp, 0, 0};
    if (y > scrollBars_[1].thumbBottom) return {HitCode::PlaylistPageDown, 0, 0};
    return {HitCode::PlaylistThumb, 0, 0};
  }

  const int offset = y - kPlaylistTop;
  const int index = playlistScroll_ + offset / kEntryHeight;
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
