// Playback through the view's one Voice, and the Play, Stop, Previous and
// Next commands.
#include "audio/AudioEngine.h"
#include "playlist/Voice.h"
#include "ui/StudioView.h"

namespace wc {

Voice& StudioView::ensureVoice() {
  if (!voice) {
    voice = std::make_unique<Voice>();
    voice->callback = &StudioView::reportPlayback;
    if (AudioEngine* engine = AudioEngine::current()) engine->addVoice(*voice);
  }
  return *voice;
}

void StudioView::playTrack(Track* track, int startPart) { ensureVoice().play(track, startPart); }

void StudioView::reportPlayback(Track* track, int32_t position) {
  if (StudioView* view = instance()) view->onPlaybackProgress(track, position);
}

bool StudioView::canPlay() const { return playlist.trackCount > 0 && !playlistTrackPlaying(); }
bool StudioView::canStop() const { return playingTrack != nullptr; }
bool StudioView::canPrevious() const { return playlistTrackPlaying(); }
bool StudioView::canNext() const { return playlistTrackPlaying() && playingTrack->next->clip; }

void StudioView::onPlay() {
  if (canPlay() && playlist.first()) playTrack(playlist.first(), 0);
}

void StudioView::onStop() { playTrack(nullptr, 0); }

void StudioView::onPrevious() {
  if (!playlistTrackPlaying()) return;
  Track* before = playingTrack->prev;
  // Within the first two reported seconds go back a track; later, or on the
  // first track, start the playing one over.
  if (playingSeconds <= 1 && before->clip)
    playTrack(before, 0);
  else
    playTrack(playingTrack, 0);
}

void StudioView::onNext() {
  if (canNext()) playTrack(playingTrack->next, 0);
}

}  // namespace wc
