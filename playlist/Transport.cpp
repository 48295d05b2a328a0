#include "playlist/Transport.h"

#include "audio/SoundOutput.h"

namespace wc {
namespace {

constexpr int32_t kSamplesPerSecond = 24000;

}  // namespace

Transport::Transport(Playlist& playlist, SoundOutput* output) : playlist_(playlist), output_(output) {
  // Stopping reports at once, so neither the Voice nor the last report keeps
  // a pointer to the freed track.
  freeing_ = playlist_.beforeFree.connect([this](Track* track) {
    if (isPlaying(track)) stop();
  });
}

Transport::~Transport() {
  if (voice_) voice_->play(nullptr, StartPart::Intro);
}

Voice& Transport::voice() {
  if (!voice_) {
    voice_ = std::make_unique<Voice>();
    voice_->callback = reporter();
    if (output_) output_->addSource(*voice_);
  }
  return *voice_;
}

void Transport::play(Track* track, StartPart startPart) {
  if (track && output_) output_->soundComing();
  voice().play(track, startPart);
}

void Transport::playPreview(std::unique_ptr<Track> track) {
  if (track && output_) output_->soundComing();
  voice().playPreview(std::move(track));
}

void Transport::playFromStart() {
  if (canPlay() && playlist_.first()) play(playlist_.first());
}

void Transport::previous() {
  if (!playlistTrackPlaying()) return;
  Track* before = playingTrack_->prev;
  // Within the first two reported seconds go back a track; later, or on the
  // first track, start the playing one over.
  if (playingSeconds_ <= 1 && before->clip)
    play(before);
  else
    play(playingTrack_);
}

void Transport::next() {
  if (canNext()) play(playingTrack_->next);
}

void Transport::report(Track* track, int32_t samplePosition) {
  const int32_t seconds = samplePosition / kSamplesPerSecond;
  PlaybackChange change = PlaybackChange::None;
  if (track != playingTrack_)
    change = PlaybackChange::Track;
  else if (seconds != playingSeconds_)
    change = PlaybackChange::Second;
  playingTrack_ = track;
  playingSeconds_ = seconds;
  playingPosition_ = samplePosition;
  changed(change);
}

}  // namespace wc
