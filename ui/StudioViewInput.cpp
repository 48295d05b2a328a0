// The mouse wheel and the keys the view handles itself. Both scroll through
// the same clamped moves as the scroll bars, and Space runs the transport's
// commands only when they are enabled, as a menu choice would.
#include <algorithm>

#include "ui/StudioView.h"

namespace wc {

void StudioView::scrollBy(Pane pane, int rows) {
  const int rowsPerPage = state_.scrollBar(pane).rowsPerPage;
  int& position = state_.scroll(pane);
  const int listLength = pane == Pane::Clips ? state_.clipRowCount : kMaxCdTracks;
  // The largest position first, then never above the top: a list shorter
  // than a page stays at 0.
  int moved = std::min(position + rows, listLength - rowsPerPage);
  moved = std::max(moved, 0);
  if (moved == position) return;
  position = moved;
  host_.invalidate();
}

void StudioView::onWheel(int x, WheelDelta delta) {
  const Pane pane = x < kLeftPaneWidth ? Pane::Clips : Pane::Playlist;
  const int notches = wheelRest_[size_t(pane)].add(delta);
  if (notches == 0) return;
  const int rowsPerNotch = pane == Pane::Clips ? kClipRowsPerNotch : kEntriesPerNotch;
  // Turning the wheel away from the user shows earlier rows.
  scrollBy(pane, -notches * rowsPerNotch);
}

bool StudioView::onKey(ViewKey key) {
  if (onFocusKey(key)) return true;
  switch (key) {
    case ViewKey::Space: {
      session_.execute(session_.transport().somethingPlays() ? Command::Stop : Command::Play);
      return true;
    }
    case ViewKey::PageUp: pageScroll(Pane::Playlist, -1); return true;
    case ViewKey::PageDown: pageScroll(Pane::Playlist, +1); return true;
    case ViewKey::Home: scrollBy(Pane::Playlist, -kMaxCdTracks); return true;
    case ViewKey::End: scrollBy(Pane::Playlist, kMaxCdTracks); return true;
    default: return false;
  }
  return false;
}

}  // namespace wc
