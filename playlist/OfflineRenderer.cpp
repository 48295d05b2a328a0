#include "playlist/OfflineRenderer.h"

#include "audio/FrameSink.h"
#include "audio/StereoDecoder.h"

namespace wc {
namespace {

constexpr int32_t kReportInterval = 24000;  // samples between progress reports

}  // namespace

int32_t OfflineRenderer::renderTrack(Track* track, FrameSink& sink) const {
  StereoHistory history{};
  int32_t position = 0;
  if (!track) return position;
  // The history runs on across the clips, as in live playback.
  position = renderClip(track, position, track->introAudio.get(), sink, history);
  position = renderClip(track, position, track->songAudio.get(), sink, history);
  position = renderClip(track, position, track->outroAudio.get(), sink, history);
  return position;
}

int32_t OfflineRenderer::renderClip(Track* track, int32_t position, const ClipAudio* clip, FrameSink& sink,
                                    StereoHistory& history) const {
  if (!clip || clip->frames() == 0) return position;
  float leftOut[kSamplesPerFrame];
  float rightOut[kSamplesPerFrame];
  for (uint32_t chunk = 0; chunk < clip->chunkCount(); ++chunk) {
    if (report_) report_(track, position);
    int32_t nextReport = position + kReportInterval;
    const uint32_t frames = clip->framesInChunk(chunk);
    for (uint32_t i = 0; i < frames; ++i) {
      decodeStereoFrameScaled(clip->leftFrame(chunk, i), clip->rightFrame(chunk, i), leftOut, rightOut, history[0],
                              history[1]);
      sink.pushFrames(leftOut, rightOut, kSamplesPerFrame);
      position += kSamplesPerFrame;
      if (position >= nextReport) {
        if (report_) report_(track, position);
        nextReport = position + kReportInterval;
      }
    }
  }
  return position;
}

}  // namespace wc
