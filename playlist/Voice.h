#pragma once
// The voice plays the clips of one Track in sequence (intro, song, outro),
// decoding one step of 28 sample pairs at a time straight from the clips'
// memory, moves on through the playlist by itself and reports its Track and
// position. It also renders Tracks offline for the export (VoiceOffline.cpp).
// Everything runs on the user-interface thread.
#include <array>
#include <cstdint>
#include <memory>

#include "audio/Decoder.h"
#include "audio/SoundSource.h"
#include "gamedata/ClipAudio.h"
#include "playlist/Track.h"

namespace wc {

class FrameSink;

// Hears (Track or null, samples per channel at 24000 Hz from the start of the
// Track's intro).
using PositionCallback = void (*)(Track* track, int32_t position);

// Left channel first.
using StereoHistory = std::array<DecoderState, 2>;

enum StartPart : int { kStartAtIntro = 0, kStartAtSong = 1, kOutroOnly = 2 };

class Voice final : public SoundSource {
 public:
  Voice() = default;
  // Clears the queue (the callback hears (null, 0)) and frees a preview Track.
  ~Voice() override;

  void render(float* out, int32_t frames) override;
  void mix(float* out, int32_t frames) override;

  // Plays `track` from its intro (0), its song (1) or its outro only (2); a
  // null `track` stops. A preview Track played before is freed, unless it is
  // `track` itself.
  void play(Track* track, int startPart);
  // Reports (null, 0), drops the queue and zeroes the histories; the Track
  // stays.
  void clearQueue();
  // To the next playlist Track, or to idle after the last one or after a
  // preview Track (which is freed then).
  void advanceTrack();
  void enqueueClip(const ClipAudio* clip, bool resetHistory);

  // Offline rendering at full scale into `sink`; the gains, queue,
  // histories and position of the voice are not used, only its callback.
  // Returns the position after the Track (samples from its intro on).
  int32_t renderTrack(Track* track, FrameSink& sink) const;
  int32_t renderClip(Track* track, int32_t position, const ClipAudio* clip, FrameSink& sink,
                     StereoHistory& history) const;

  PositionCallback callback = nullptr;

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
