#include "playlist/Voice.h"

#include <algorithm>
#include <utility>

namespace wc {
namespace {

// The position keeps counting while the voice is idle; let it wrap rather
// than overflow after 24.8 hours.
int32_t addSamples(int32_t position, int32_t samples) { return int32_t(uint32_t(position) + uint32_t(samples)); }

int32_t samplesOf(const ClipAudio* clip) { return clip ? int32_t(clip->frames() * kSamplesPerFrame) : 0; }

}  // namespace

Voice::~Voice() {
  clearQueue();
  releasePreview();
}

void Voice::releasePreview() {
  if (preview_) {
    preview_.reset();
    track_ = nullptr;
  }
}

void Voice::clearQueue() {
  if (callback) callback(nullptr, 0);
  // Unlink iteratively: a long chain of unique_ptr would recurse.
  while (queue_) queue_ = std::move(queue_->next);
  queueTail_ = nullptr;
  history_ = {};
  pending_ = 0;
  framesInChunk_ = 0;
  framesInClip_ = 0;
  clip_ = nullptr;
}

void Voice::enqueueClip(const ClipAudio* clip, bool resetHistory) {
  auto node = std::make_unique<QueuedClip>();
  node->clip = clip;
  node->resetHistory = resetHistory;
  QueuedClip* raw = node.get();
  if (queueTail_)
    queueTail_->next = std::move(node);
  else
    queue_ = std::move(node);
  queueTail_ = raw;
}

void Voice::playPreview(std::unique_ptr<Track> track) {
  Track* raw = track.get();
  // The previous preview goes only after the queue stopped reading it.
  std::unique_ptr<Track> previous = std::exchange(preview_, std::move(track));
  play(raw, StartPart::Intro);
}

void Voice::play(Track* track, StartPart startPart) {
  clearQueue();
  if (track != track_ && track_ == preview_.get()) releasePreview();
  track_ = track;
  position_ = 0;
  if (!track) return;

  const ClipAudio* intro = track->introAudio.get();
  const ClipAudio* song = track->songAudio.get();
  const ClipAudio* outro = track->outroAudio.get();
  // Positions count from the start of the intro even when it is skipped.
  if (startPart >= StartPart::Song) {
    position_ = samplesOf(intro);
    intro = nullptr;
  }
  if (startPart >= StartPart::OutroOnly) {
    position_ = addSamples(position_, samplesOf(song));
    song = nullptr;
  }
  bool first = true;
  for (const ClipAudio* clip : {intro, song, outro}) {
    if (!clip) continue;
    enqueueClip(clip, first);
    first = false;
  }
}

void Voice::advanceTrack() {
  if (!track_) return;
  if (track_ != preview_.get()) {
    track_ = track_->next;
    if (track_->isEndMarker()) track_ = nullptr;  // the playlist does not wrap
  } else {
    releasePreview();
  }
  if (callback) callback(track_, 0);
}

void Voice::nextFrame() {
  if (framesInChunk_ == 0) {
    while (framesInClip_ == 0) {
      if (!queue_) {
        advanceTrack();
        if (track_) play(track_, StartPart::Intro);
      }
      if (!queue_) {
        decoded_.fill(0);
        pending_ = kSamplesPerFrame;
        position_ = addSamples(position_, kSamplesPerFrame);
        return;
      }
      std::unique_ptr<QueuedClip> node = std::move(queue_);
      queue_ = std::move(node->next);
      if (!queue_) queueTail_ = nullptr;
      if (node->resetHistory) history_ = {};
      clip_ = node->clip;
      nextChunk_ = 0;
      framesInClip_ = clip_ ? int32_t(clip_->frames()) : 0;
      // A clip without a frame is passed over.
    }
    chunk_ = nextChunk_++;
    frameInChunk_ = 0;
    framesInChunk_ = std::min<int32_t>(int32_t(ClipAudio::kFramesPerChunk), framesInClip_);
  }

  const uint8_t* left = clip_->leftFrame(chunk_, frameInChunk_);
  const uint8_t* right = clip_->rightFrame(chunk_, frameInChunk_);
  if (left && right) {
    decodeFrame(left, decoded_.data(), history_[0]);
    decodeFrame(right, decoded_.data() + kSamplesPerFrame, history_[1]);
  } else {
    decoded_.fill(0);  // unreachable while frames() bounds the walk
  }
  ++frameInChunk_;
  --framesInChunk_;
  --framesInClip_;
  pending_ = kSamplesPerFrame;
  position_ = addSamples(position_, kSamplesPerFrame);
}

template <bool kAdd>
void Voice::deliver(float* out, int32_t frames) {
  if (callback) callback(track_, addSamples(position_, -pending_));
  while (frames > 0) {
    if (pending_ == 0) nextFrame();
    const int32_t n = std::min(pending_, frames);
    const int32_t k0 = kSamplesPerFrame - pending_;
    for (int32_t k = k0; k < k0 + n; ++k) {
      const float left = float(decoded_[k]) / 32768.0f * gainLeft;
      const float right = float(decoded_[kSamplesPerFrame + k]) / 32768.0f * gainRight;
      if (kAdd) {
        out[0] += left;
        out[1] += right;
      } else {
        out[0] = left;
        out[1] = right;
      }
      out += 2;
    }
    pending_ -= n;
    frames -= n;
  }
}

void Voice::render(float* out, int32_t frames) { deliver<false>(out, frames); }
void Voice::mix(float* out, int32_t frames) { deliver<true>(out, frames); }

}  // namespace wc
