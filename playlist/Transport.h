#pragma once
// The CD transport: the one Voice that plays the playlist and previews, what
// it last reported (the playing Track and its second), and the rules of the
// Play, Stop, Previous and Next commands. It holds no window state: whoever
// shows the transport listens to `changed`.
#include <cstdint>
#include <functional>
#include <memory>

#include "base/Signal.h"
#include "playlist/Playlist.h"
#include "playlist/PositionReport.h"
#include "playlist/Voice.h"

namespace wc {

class SoundOutput;

// What a position report changed.
enum class PlaybackChange { None, Second, Track };

class Transport {
 public:
  // `output` (may be null) gets the Voice linked in when it is first needed.
  // Playback stops before the playlist frees the track it plays.
  Transport(Playlist& playlist, SoundOutput* output);
  // Stops the Voice first, so it lets go of any playlist Track.
  ~Transport();
  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // Plays `track` (null stops) from the chosen part.
  void play(Track* track, StartPart startPart = StartPart::Intro);
  // Plays a Track linked nowhere; the Voice owns it from now on.
  void playPreview(std::unique_ptr<Track> track);
  void stop() { play(nullptr); }

  // The transport commands; each does nothing where its rule forbids it.
  void playFromStart();
  void previous();
  void next();
  bool canPlay() const { return playlist_.trackCount() > 0 && !playlistTrackPlaying(); }
  bool canStop() const { return playingTrack_ != nullptr; }
  bool canPrevious() const { return playlistTrackPlaying(); }
  bool canNext() const { return playlistTrackPlaying() && playingTrack_->next->clip; }

  // The Track of the last report (null when idle), its whole seconds and
  // its sample position.
  Track* playingTrack() const { return playingTrack_; }
  int32_t playingSeconds() const { return playingSeconds_; }
  int32_t playingPosition() const { return playingPosition_; }
  bool playlistTrackPlaying() const { return playingTrack_ && playingTrack_->next; }
  // True while a track or a preview plays. Besides the last report this also
  // asks the Voice, which has taken a new track before its first report.
  bool somethingPlays() const { return playingTrack_ || (voice_ && voice_->track()); }
  // True if `track` is being played or was last reported.
  bool isPlaying(const Track* track) const {
    return track && (track == playingTrack_ || (voice_ && voice_->track() == track));
  }

  // The Voice, created and linked into the output on first use.
  Voice& voice();
  // The Voice if it exists yet.
  Voice* existingVoice() const { return voice_.get(); }

  // A position report, from the Voice or from an offline render: records it
  // and tells `changed` what it changed.
  void report(Track* track, int32_t samplePosition);
  // A callback that forwards to report(), for renderers.
  PositionCallback reporter() {
    return [this](Track* track, int32_t position) { report(track, position); };
  }

  // Told of every report with what it changed.
  Signal<PlaybackChange> changed;

 private:
  Playlist& playlist_;
  SoundOutput* output_;
  std::unique_ptr<Voice> voice_;
  Track* playingTrack_ = nullptr;
  int32_t playingSeconds_ = 0;
  int32_t playingPosition_ = 0;
  Subscription freeing_;
};

}  // namespace wc
