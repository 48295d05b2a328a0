// Everything the user does with the left mouse button: station arrows,
// previews, dragging clips into the playlist, moving and removing entries,
// choosing intros and outros, playing from a track, and the scroll bars.
#include "playlist/Voice.h"
#include "ui/StudioView.h"

namespace wc {

void StudioView::onLButtonDown(int x, int y) {
  hideFocus();
  const HitResult hit = hitTest(x, y);
  switch (hit.code) {
    case HitCode::LeftArrow: stepStation(-1); break;
    case HitCode::RightArrow: stepStation(+1); break;
    case HitCode::ClipRow:
      if (hit.part == 1) {
        session_.preview(state_.clipRows[size_t(hit.index)], !state_.showAllClips);
      } else {
        state_.pendingTrack = createTrack(catalogue(), session_.station(), state_.clipRows[size_t(hit.index)]);
        if (!state_.pendingTrack) break;
        state_.dragRect = {11, kClipRowsTop + kClipRowHeight * (hit.index - state_.clipScroll), 229, kClipRowHeight};
        lastMouse_ = {x, y};
        state_.outlineShown = true;
        host_.repaintRect(state_.dragRect.x, state_.dragRect.y, state_.dragRect.width, state_.dragRect.height);
        host_.captureMouse();
      }
      break;
    case HitCode::ClipPageUp: pageScroll(Pane::Clips, -1); break;
    case HitCode::ClipPageDown: pageScroll(Pane::Clips, +1); break;
    case HitCode::ClipThumb: beginThumbDrag(Pane::Clips, y); break;
    case HitCode::PlaylistPageUp: pageScroll(Pane::Playlist, -1); break;
    case HitCode::PlaylistPageDown: pageScroll(Pane::Playlist, +1); break;
    case HitCode::PlaylistThumb: beginThumbDrag(Pane::Playlist, y); break;
    case HitCode::PlaylistEntry: onEntryButtonDown(hit, x, y); break;
    default: break;  // nothing, banner, dividers, transport, gaps
  }
}

void StudioView::onEntryButtonDown(const HitResult& hit, int x, int y) {
  Track* entry = session_.playlist().trackAt(hit.index);
  if (!entry) return;  // an empty slot
  const bool song = entry->clip->isSong();
  switch (hit.part) {
    case EntryPart::TrackNumber: session_.transport().play(entry, StartPart::Intro); return;
    case EntryPart::TrackNumberOutro:
      session_.transport().play(entry, song ? StartPart::OutroOnly : StartPart::Intro);
      return;
    case EntryPart::SongBand: break;
    case EntryPart::IntroText:
    case EntryPart::OutroText:
      if (song) return;
      break;
    case EntryPart::PrevIntro:
    case EntryPart::NextIntro:
      if (song) return session_.cycleChoice(*entry, hit.part == EntryPart::PrevIntro ? -1 : +1, false);
      break;
    case EntryPart::PrevOutro:
    case EntryPart::NextOutro:
      if (song) return session_.cycleChoice(*entry, hit.part == EntryPart::PrevOutro ? -1 : +1, true);
      break;
  }
  state_.dragSourceIndex = hit.index;
  state_.dragRect = {kLeftPaneWidth, kPlaylistTop + kEntryHeight * (hit.index - state_.playlistScroll),
                     host_.clientWidth() - kLeftPaneWidth, kEntryHeight - 6};
  lastMouse_ = {x, y};
  state_.outlineShown = true;
  host_.repaintRect(state_.dragRect.x, state_.dragRect.y, state_.dragRect.width, state_.dragRect.height);
  host_.captureMouse();
}

void StudioView::onLButtonDblClk(int x, int y) {
  const HitResult hit = hitTest(x, y);
  if (hit.code == HitCode::Banner) return;
  if (hit.code == HitCode::ClipRow) {
    session_.preview(state_.clipRows[size_t(hit.index)], !state_.showAllClips);
    return;
  }
  onLButtonDown(x, y);
}

void StudioView::onMouseMove(int x, int y) {
  if (state_.thumbDrag.pane) {
    moveThumbDrag(y);
    return;
  }
  if (!state_.pendingTrack && state_.dragSourceIndex == -1) return;
  const ViewRect old = state_.dragRect;
  state_.dragRect.x += x - lastMouse_.x;
  state_.dragRect.y += y - lastMouse_.y;
  lastMouse_ = {x, y};
  host_.repaintRect(old.x, old.y, old.width, old.height);
  host_.repaintRect(state_.dragRect.x, state_.dragRect.y, state_.dragRect.width, state_.dragRect.height);
}

void StudioView::hideDragOutline() {
  state_.outlineShown = false;
  host_.repaintRect(state_.dragRect.x, state_.dragRect.y, state_.dragRect.width, state_.dragRect.height);
}

void StudioView::onLButtonUp(int x, int y) {
  if (state_.thumbDrag.pane) {
    endThumbDrag();
    return;
  }
  if (state_.pendingTrack) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    const bool onPlaylist = hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap;
    if (onPlaylist && session_.playlist().hasRoom()) {
      Track* neighbour = session_.playlist().trackAt(hit.index);
      Track* track = !neighbour ? session_.playlist().append(std::move(state_.pendingTrack))
                     : hit.code == HitCode::PlaylistEntry
                         ? session_.playlist().insertBefore(std::move(state_.pendingTrack), neighbour)
                         : session_.playlist().insertAfter(std::move(state_.pendingTrack), neighbour);
      host_.invalidate();
      session_.loadTrackAudio(*track, true, LoadIndicatorMode::WholeView);
    }
    state_.pendingTrack.reset();  // dropped nowhere, or refused at 99 tracks
    host_.releaseMouse();
    return;
  }
  if (state_.dragSourceIndex != -1) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    Track* source = session_.playlist().trackAt(state_.dragSourceIndex);
    const bool inside = x >= 0 && y >= 0 && x < host_.clientWidth() && y < host_.clientHeight();
    if (source && inside && (hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap)) {
      Track* target = session_.playlist().trackAt(hit.index);
      if (target != source) {
        if (!target)
          session_.playlist().moveBefore(source, session_.playlist().end());
        else if (hit.code == HitCode::PlaylistEntry)
          session_.playlist().moveBefore(source, target);
        else
          session_.playlist().moveAfter(source, target);
        host_.invalidate();
      }
    } else if (source && !inside) {
      session_.playlist().removeTrack(source);  // stopped first if it plays
      host_.invalidate();
    }
    host_.releaseMouse();
    state_.dragSourceIndex = -1;
  }
}

void StudioView::onRButtonUp(int x, int y) {
  // A left-button drag ends only with its own button up.
  if (state_.thumbDrag.pane || state_.pendingTrack || state_.dragSourceIndex != -1) return;
  const HitResult hit = hitTest(x, y);
  if (hit.code == HitCode::ClipRow) session_.editClip(state_.clipRows[size_t(hit.index)]);
  if (hit.code == HitCode::PlaylistEntry) openTrackMenu(hit.index, x, y);
}

}  // namespace wc
