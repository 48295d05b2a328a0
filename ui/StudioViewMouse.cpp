// Everything the user does with the left mouse button: station arrows,
// previews, dragging clips into the playlist, moving and removing entries,
// choosing intros and outros, playing from a track, and the scroll bars.
#include "playlist/Voice.h"
#include "ui/StudioView.h"

namespace wc {
namespace {

// Cycles a choice among `count` alternatives by `direction` (-1 or +1).
int32_t cycle(int32_t current, int32_t count, int direction) {
  return direction < 0 ? (count + current - 1) % count : (current + 1) % count;
}

}  // namespace

void StudioView::preview(int clipIndex) {
  auto track = createTrack(catalogue(), currentStation_, clipIndex);
  if (!track) return;
  // A preview track is linked nowhere; the Voice owns it from here on.
  loadTrackAudio(*track, !showAllClips_, LoadIndicatorMode::Transport);
  transport_.playPreview(std::move(track));
}

void StudioView::onLButtonDown(int x, int y) {
  const HitResult hit = hitTest(x, y);
  switch (hit.code) {
    case HitCode::LeftArrow: stepStation(-1); break;
    case HitCode::RightArrow: stepStation(+1); break;
    case HitCode::ClipRow:
      if (hit.part == 1) {
        preview(visibleClips_[size_t(hit.index)]);
      } else {
        pendingTrack_ = createTrack(catalogue(), currentStation_, visibleClips_[size_t(hit.index)]);
        if (!pendingTrack_) break;
        dragRect_ = {11, kClipRowsTop + kClipRowHeight * (hit.index - clipScroll_), 229, kClipRowHeight};
        lastMouse_ = {x, y};
        outlineShown_ = true;
        host_.repaintRect(dragRect_.x, dragRect_.y, dragRect_.width, dragRect_.height);
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
  Track* entry = playlist_.trackAt(hit.index);
  if (!entry) return;  // an empty slot
  const bool song = entry->clip->isSong();
  switch (hit.part) {
    case EntryPart::TrackNumber: transport_.play(entry, StartPart::Intro); return;
    case EntryPart::TrackNumberOutro: transport_.play(entry, song ? StartPart::OutroOnly : StartPart::Intro); return;
    case EntryPart::SongBand: break;
    case EntryPart::IntroText:
    case EntryPart::OutroText:
      if (song) return;
      break;
    case EntryPart::PrevIntro:
    case EntryPart::NextIntro:
      if (song) return changeChoice(*entry, hit.part == EntryPart::PrevIntro ? -1 : +1, false);
      break;
    case EntryPart::PrevOutro:
    case EntryPart::NextOutro:
      if (song) return changeChoice(*entry, hit.part == EntryPart::PrevOutro ? -1 : +1, true);
      break;
  }
  dragSourceIndex_ = hit.index;
  dragRect_ = {kLeftPaneWidth, kPlaylistTop + kEntryHeight * (hit.index - playlistScroll_),
               host_.clientWidth() - kLeftPaneWidth, kEntryHeight - 6};
  lastMouse_ = {x, y};
  outlineShown_ = true;
  host_.repaintRect(dragRect_.x, dragRect_.y, dragRect_.width, dragRect_.height);
  host_.captureMouse();
}

void StudioView::changeChoice(Track& entry, int direction, bool outro) {
  const FollowOns f = catalogue().stations[entry.station].followOns(entry.clipIndex);
  const int32_t count = outro ? f.outros : f.intros;
  if (count == 0) return;
  int32_t& choice = outro ? entry.outro : entry.intro;
  std::unique_ptr<ClipAudio>& audio = outro ? entry.outroAudio : entry.introAudio;
  const bool playing = transport_.isPlaying(&entry);
  const int32_t previous = choice;
  choice = cycle(choice, count, direction);
  if (choice != previous) playlist_.markEdited();
  // The Voice decodes straight from the old buffer, and the load may wait in
  // a message box while ticks go on: stop it first, restart it afterwards
  // (from the new intro, or with the new outro alone).
  if (playing) transport_.stop();
  audio.reset();
  loadTrackAudio(entry, true, LoadIndicatorMode::WholeView);
  if (playing) transport_.play(&entry, outro ? StartPart::OutroOnly : StartPart::Intro);
  host_.invalidate();
}

void StudioView::onLButtonDblClk(int x, int y) {
  const HitResult hit = hitTest(x, y);
  if (hit.code == HitCode::Banner) return;
  if (hit.code == HitCode::ClipRow) {
    preview(visibleClips_[size_t(hit.index)]);
    return;
  }
  onLButtonDown(x, y);
}

void StudioView::onMouseMove(int x, int y) {
  if (thumbDrag_.mode != ThumbDragMode::None) {
    moveThumbDrag(y);
    return;
  }
  if (!pendingTrack_ && dragSourceIndex_ == -1) return;
  const ViewRect old = dragRect_;
  dragRect_.x += x - lastMouse_.x;
  dragRect_.y += y - lastMouse_.y;
  lastMouse_ = {x, y};
  host_.repaintRect(old.x, old.y, old.width, old.height);
  host_.repaintRect(dragRect_.x, dragRect_.y, dragRect_.width, dragRect_.height);
}

void StudioView::hideDragOutline() {
  outlineShown_ = false;
  host_.repaintRect(dragRect_.x, dragRect_.y, dragRect_.width, dragRect_.height);
}

void StudioView::onLButtonUp(int x, int y) {
  if (thumbDrag_.mode != ThumbDragMode::None) {
    endThumbDrag();
    return;
  }
  if (pendingTrack_) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    const bool onPlaylist = hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap;
    if (onPlaylist && playlist_.hasRoom()) {
      Track* neighbour = playlist_.trackAt(hit.index);
      Track* track = !neighbour                           ? playlist_.append(std::move(pendingTrack_))
                     : hit.code == HitCode::PlaylistEntry ? playlist_.insertBefore(std::move(pendingTrack_), neighbour)
                                                          : playlist_.insertAfter(std::move(pendingTrack_), neighbour);
      host_.invalidate();
      loadTrackAudio(*track, true, LoadIndicatorMode::WholeView);
    }
    pendingTrack_.reset();  // dropped nowhere, or refused at 99 tracks
    host_.releaseMouse();
    return;
  }
  if (dragSourceIndex_ != -1) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    Track* source = playlist_.trackAt(dragSourceIndex_);
    const bool inside = x >= 0 && y >= 0 && x < host_.clientWidth() && y < host_.clientHeight();
    if (source && inside && (hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap)) {
      Track* target = playlist_.trackAt(hit.index);
      if (target != source) {
        if (!target)
          playlist_.moveBefore(source, playlist_.end());
        else if (hit.code == HitCode::PlaylistEntry)
          playlist_.moveBefore(source, target);
        else
          playlist_.moveAfter(source, target);
        host_.invalidate();
      }
    } else if (source && !inside) {
      removeTrack(source);
      host_.invalidate();
    }
    host_.releaseMouse();
    dragSourceIndex_ = -1;
  }
}

}  // namespace wc
