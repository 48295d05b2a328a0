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
  Track* track = createTrack(catalogue(), currentStation, clipIndex);
  if (!track) return;
  // A preview track is linked nowhere; the Voice owns it from here on.
  loadTrackAudio(*track, !showAllClips, LoadIndicatorMode::Transport);
  ensureVoice().play(track, 0);
}

void StudioView::onLButtonDown(int x, int y) {
  const HitResult hit = hitTest(x, y);
  switch (hit.code) {
    case HitCode::LeftArrow: stepStation(-1); break;
    case HitCode::RightArrow: stepStation(+1); break;
    case HitCode::ClipRow:
      if (hit.part == 1) {
        preview(visibleClips[size_t(hit.index)]);
      } else {
        pendingTrack.reset(createTrack(catalogue(), currentStation, visibleClips[size_t(hit.index)]));
        if (!pendingTrack) break;
        dragRect = {11, kClipRowsTop + kClipRowHeight * (hit.index - clipScroll), 229, kClipRowHeight};
        lastMouse = {x, y};
        outlineShown = true;
        host.repaintRect(dragRect.x, dragRect.y, dragRect.width, dragRect.height);
        host.captureMouse();
      }
      break;
    case HitCode::ClipPageUp: pageScroll(0, -1); break;
    case HitCode::ClipPageDown: pageScroll(0, +1); break;
    case HitCode::ClipThumb: beginThumbDrag(0, y); break;
    case HitCode::PlaylistPageUp: pageScroll(1, -1); break;
    case HitCode::PlaylistPageDown: pageScroll(1, +1); break;
    case HitCode::PlaylistThumb: beginThumbDrag(1, y); break;
    case HitCode::PlaylistEntry: onEntryButtonDown(hit, x, y); break;
    default: break;  // nothing, banner, dividers, transport, gaps
  }
}

void StudioView::onEntryButtonDown(const HitResult& hit, int x, int y) {
  Track* entry = playlist.trackAt(hit.index);
  if (!entry) return;  // an empty slot
  const bool song = entry->clip->clipClass == ClipClass::Song;
  switch (hit.part) {
    case EntryPart::TrackNumber: playTrack(entry, 0); return;
    case EntryPart::TrackNumberOutro: playTrack(entry, song ? 2 : 0); return;
    case EntryPart::SongBand: break;
    case EntryPart::IntroText:
    case EntryPart::OutroText:
      if (song) return;
      break;
    case EntryPart::PrevIntro:
    case EntryPart::NextIntro:
      if (song) return changeIntro(*entry, hit.part == EntryPart::PrevIntro ? -1 : +1);
      break;
    case EntryPart::PrevOutro:
    case EntryPart::NextOutro:
      if (song) return changeOutro(*entry, hit.part == EntryPart::PrevOutro ? -1 : +1);
      break;
  }
  dragSourceIndex = hit.index;
  dragRect = {kLeftPaneWidth, kPlaylistTop + kEntryHeight * (hit.index - playlistScroll),
              host.clientWidth() - kLeftPaneWidth, kEntryHeight - 6};
  lastMouse = {x, y};
  outlineShown = true;
  host.repaintRect(dragRect.x, dragRect.y, dragRect.width, dragRect.height);
  host.captureMouse();
}

void StudioView::changeIntro(Track& entry, int direction) { changeChoice(entry, direction, false); }

void StudioView::changeOutro(Track& entry, int direction) { changeChoice(entry, direction, true); }

void StudioView::changeChoice(Track& entry, int direction, bool outro) {
  const int32_t count = clampCount(outro ? entry.clip->outros : entry.clip->intros);
  if (count == 0) return;
  int32_t& choice = outro ? entry.outro : entry.intro;
  std::unique_ptr<ClipAudio>& audio = outro ? entry.outroAudio : entry.introAudio;
  const bool playing = isPlaying(&entry);
  choice = cycle(choice, count, direction);
  // The Voice decodes straight from the old buffer, and the load may wait in
  // a message box while ticks go on: stop it first, restart it afterwards
  // (from the new intro, or with the new outro alone).
  if (playing) playTrack(nullptr, 0);
  audio.reset();
  loadTrackAudio(entry, true, LoadIndicatorMode::WholeView);
  if (playing) playTrack(&entry, outro ? 2 : 0);
  host.invalidate();
}

void StudioView::onLButtonDblClk(int x, int y) {
  const HitResult hit = hitTest(x, y);
  if (hit.code == HitCode::Banner) return;
  if (hit.code == HitCode::ClipRow) {
    preview(visibleClips[size_t(hit.index)]);
    return;
  }
  onLButtonDown(x, y);
}

void StudioView::onMouseMove(int x, int y) {
  if (thumbDrag.mode != 0) {
    moveThumbDrag(y);
    return;
  }
  if (!pendingTrack && dragSourceIndex == -1) return;
  const Rect old = dragRect;
  dragRect.x += x - lastMouse.x;
  dragRect.y += y - lastMouse.y;
  lastMouse = {x, y};
  host.repaintRect(old.x, old.y, old.width, old.height);
  host.repaintRect(dragRect.x, dragRect.y, dragRect.width, dragRect.height);
}

void StudioView::hideDragOutline() {
  outlineShown = false;
  host.repaintRect(dragRect.x, dragRect.y, dragRect.width, dragRect.height);
}

void StudioView::onLButtonUp(int x, int y) {
  if (thumbDrag.mode != 0) {
    endThumbDrag();
    return;
  }
  if (pendingTrack) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    const bool onPlaylist = hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap;
    if (onPlaylist && playlist.trackCount < kMaxCdTracks) {
      Track* track = pendingTrack.release();
      Track* neighbour = playlist.trackAt(hit.index);
      if (!neighbour)
        playlist.append(track);
      else if (hit.code == HitCode::PlaylistEntry)
        playlist.insertBefore(track, neighbour);
      else
        playlist.insertAfter(track, neighbour);
      ++playlist.trackCount;
      host.invalidate();
      loadTrackAudio(*track, true, LoadIndicatorMode::WholeView);
    }
    pendingTrack.reset();  // dropped nowhere, or refused at 99 tracks
    host.releaseMouse();
    return;
  }
  if (dragSourceIndex != -1) {
    hideDragOutline();
    const HitResult hit = hitTest(x, y);
    Track* source = playlist.trackAt(dragSourceIndex);
    const bool inside = x >= 0 && y >= 0 && x < host.clientWidth() && y < host.clientHeight();
    if (source && inside &&
        (hit.code == HitCode::PlaylistEntry || hit.code == HitCode::PlaylistGap)) {
      Track* target = playlist.trackAt(hit.index);
      if (target != source) {
        Playlist::unlink(source);
        if (!target)
          playlist.append(source);
        else if (hit.code == HitCode::PlaylistEntry)
          playlist.insertBefore(source, target);
        else
          playlist.insertAfter(source, target);
        host.invalidate();
      }
    } else if (source && !inside) {
      removeTrack(source);
      host.invalidate();
    }
    host.releaseMouse();
    dragSourceIndex = -1;
  }
}

}  // namespace wc
