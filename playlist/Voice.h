#pragma once
// The voice plays the clips of one Track in sequence (intro, song, outro),
// decoding one step of 28 sample pairs at a time straight from the clips'
// memory, moves on through the playlist by itself and reports its Track and
// position. Everything runs on the user-interface thread.
#include <cstdint>
#include <memory>

#include "audio/Decoder.h"
#include "audio/SoundSource.h"
#include "gamedata/ClipAudio.h"
#include "playlist/PositionReport.h"
#include "playlist/Track.h"

namespace wc {

// Where playback of a Track begins. Positions always count from the start of
// the intro, also when it is skipped.
enum class StartPart { Intro, Song, OutroOnly };

class Voice final : public SoundSource {
 public:
  Voice() = default;
  // Clears the queue (the callback hears (null, 0)) and frees a preview Track.
  ~Voice() override;
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  void render(float* out, int32_t frames) override;
  void mix(float* out, int32_t frames) override;

  // Plays `track` (a playlist Track, or the preview being played) from the
  // chosen part; a null `track` stops. A preview Track played before is
  // freed, unless it is `track` itself.
  void play(Track* track, StartPart startPart);
  // Plays a Track linked nowhere from its intro; the voice keeps it until
  // something else plays or it has played to its end.
  void playPreview(std::unique_ptr<Track> track);
  // Reports (null, 0), drops the queue and zeroes the histories; the Track
  // stays.
  void clearQueue();
  // To the next playlist Track, or to idle after the last one or after a
  // preview Track (which is freed then).
  void advanceTrack();
  void enqueueClip(const ClipAudio* clip, bool resetHistory);

  PositionCallback callback;

  Track* track() const { return track_; }
  // Samples of the Track decoded so far; position() - pending() were delivered.
  int32_t position() const { return position_; }
  int32_t pending() const { return pending_; }
  bool queueEmpty() const { return !queue_; }
  const StereoHistory& history() const { return history_; }

 private:
  struct QueuedClip {
    std::unique_ptr<QueuedClip> next;
    const ClipAudio* clip = nullptr;
    bool resetHistory = false;
  };

  template <bool kAdd>
  void deliver(float* out, int32_t frames);
  // One decoding step: always leaves 28 pairs pending (silence when idle).
  void nextFrame();
  void releasePreview();

  // The preview Track being played, owned here; when set, track_ is it.
  std::unique_ptr<Track> preview_;
  std::unique_ptr<QueuedClip> queue_;
  QueuedClip* queueTail_ = nullptr;
  StereoHistory history_{};
  // The clip being decoded, walked by chunk and frame index so that nothing
  // is read outside its buffer.
  const ClipAudio* clip_ = nullptr;
  uint32_t nextChunk_ = 0;
  uint32_t chunk_ = 0;
  uint32_t frameInChunk_ = 0;
  int32_t framesInChunk_ = 0;
  int32_t framesInClip_ = 0;
  // The last step: 28 left samples, then 28 right samples.
  std::array<int16_t, 2 * kSamplesPerFrame> decoded_{};
  int32_t pending_ = 0;
  Track* track_ = nullptr;
  int32_t position_ = 0;
};

}  // namespace wc
