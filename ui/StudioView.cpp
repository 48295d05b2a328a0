#include "ui/StudioView.h"

namespace wc {

StudioView::StudioView(StudioSession& session, ViewHost& host) : session_(session), host_(host) {
  session_.addObserver(*this);
}

StudioView::~StudioView() { session_.removeObserver(*this); }

const Station& StudioView::station() const { return catalogue().stations[session_.station()]; }

bool StudioView::onCommand(Command command) {
  if (command != Command::ShowAllClips) return session_.onCommand(command);
  state_.showAllClips = !state_.showAllClips;
  rebuildClipList();
  host_.invalidate();
  return true;
}

std::optional<CommandState> StudioView::commandState(Command command) const {
  if (command == Command::ShowAllClips) return CommandState{true, state_.showAllClips};
  return session_.commandState(command);
}

void StudioView::catalogueChanged() { rebuildClipList(); }

void StudioView::playlistScroll(PlaylistScroll how, int index) {
  int& position = state_.playlistScroll;
  switch (how) {
    case PlaylistScroll::Top: position = 0; break;
    case PlaylistScroll::Keep: keptPlaylistScroll_ = position; break;
    case PlaylistScroll::Return:
      if (keptPlaylistScroll_) position = *keptPlaylistScroll_;
      keptPlaylistScroll_.reset();
      break;
    case PlaylistScroll::Reveal: {
      const int rows = state_.scrollBar(Pane::Playlist).rowsPerPage;
      if (index > position + rows) position = index - rows;
      break;
    }
    case PlaylistScroll::Place: position = index; break;
  }
}

}  // namespace wc
