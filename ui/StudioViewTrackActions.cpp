// One playlist track at a time: its context menu under the right button,
// and the focus row the keys move, remove from and play from.
#include <algorithm>

#include "ui/StudioView.h"

namespace wc {

void StudioView::openTrackMenu(int row, int x, int y) {
  const std::vector<TrackMenuItem> items = session_.trackMenu(row);
  if (items.empty()) return;  // an empty slot
  const std::optional<size_t> picked = host_.showContextMenu(items, x, y);
  if (!picked || *picked >= items.size() || !items[*picked].enabled) return;
  runTrackAction(row, items[*picked].action);
}

void StudioView::runTrackAction(int row, const TrackAction& action) {
  if (!session_.runTrackAction(row, action)) return;
  if (state_.focusRow) {
    const int count = session_.playlist().trackCount();
    switch (action.kind) {
      case TrackActionKind::MoveUp: state_.focusRow = row - 1; break;
      case TrackActionKind::MoveDown: state_.focusRow = row + 1; break;
      case TrackActionKind::Remove:
        if (count == 0)
          state_.focusRow.reset();
        else
          state_.focusRow = std::min(row, count - 1);
        break;
      default: break;
    }
  }
  host_.invalidate();
}

void StudioView::moveFocus(int rows) {
  const int count = session_.playlist().trackCount();
  if (count == 0) return hideFocus();
  // The first press only shows the row, where the eye already is.
  const int wanted = state_.focusRow ? *state_.focusRow + rows : state_.playlistScroll;
  const int row = std::clamp(wanted, 0, count - 1);
  state_.focusRow = row;
  const int rowsPerPage = std::max(state_.scrollBar(Pane::Playlist).rowsPerPage, 1);
  if (row < state_.playlistScroll)
    scrollTo(Pane::Playlist, row);
  else if (row >= state_.playlistScroll + rowsPerPage)
    scrollTo(Pane::Playlist, row - rowsPerPage + 1);
  host_.invalidate();
}

void StudioView::hideFocus() {
  if (!state_.focusRow) return;
  state_.focusRow.reset();
  host_.invalidate();
}

bool StudioView::onFocusKey(ViewKey key) {
  const bool shown = state_.focusRow && *state_.focusRow < session_.playlist().trackCount();
  switch (key) {
    case ViewKey::Up: moveFocus(-1); return true;
    case ViewKey::Down: moveFocus(+1); return true;
    case ViewKey::Home:
    case ViewKey::End:
      if (!shown) return false;  // scrolls as without a focus row
      moveFocus(key == ViewKey::Home ? -kMaxCdTracks : kMaxCdTracks);
      return true;
    case ViewKey::Delete:
      if (shown) runTrackAction(*state_.focusRow, {TrackActionKind::Remove, 0});
      return shown;
    case ViewKey::Enter:
      if (shown) runTrackAction(*state_.focusRow, {TrackActionKind::PlayFromHere, 0});
      return shown;
    case ViewKey::Escape: hideFocus(); return shown;
    default: return false;
  }
}

void StudioView::drawFocusRow(DrawSurface& surface, int top, int width) {
  const int row = *state_.focusRow;
  if (row >= session_.playlist().trackCount() || row < state_.playlistScroll) return;
  // Inside the entry's own 59 rows, so the black gap below it stays as it was.
  const int y0 = top + kEntryHeight * (row - state_.playlistScroll);
  const int y1 = y0 + kEntryHeight - 7;
  const int x0 = kPlaylistLeft;
  const int x1 = kPlaylistLeft + width - 1;
  surface.selectPen(Pen::White);
  surface.line(x0, y0, x1, y0);
  surface.line(x1, y0, x1, y1);
  surface.line(x1, y1, x0, y1);
  surface.line(x0, y1, x0, y0);
  surface.selectPen(Pen::Black);
}

}  // namespace wc
