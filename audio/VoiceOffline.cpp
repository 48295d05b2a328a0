// The voice's offline rendering for the export: every clip of a Track decoded
// at full scale straight into the wave writer, as fast as it goes.
#include "audio/Voice.h"
#include "audio/WaveWriter.h"

namespace wc {
namespace {

constexpr int32_t kReportInterval = 24000;  // samples between progress reports

}  // namespace

int32_t Voice::renderTrack(Track* track, WaveWriter& writer) const {
  StereoHistory history{};
  int32_t position = 0;
  if (!track) return position;
  // The history runs on across the clips, as in live playback.
  position = renderClip(track, position, track->introAudio.get(), writer, history);
  position = renderClip(track, position, track->songAudio.get(), writer, history);
  position = renderClip(track, position, track->outroAudio.get(), writer, history);
  return position;
}

int32_t Voice::renderClip(Track* track, int32_t position, const ClipAudio* clip, WaveWriter& writer,
                          StereoHistory& history) const {
  if (!clip || clip->frames() == 0) return position;
  int16_t left[kSamplesPerFrame];
  int16_t right[kSamplesPerFrame];
  for (uint32_t chunk = 0; chunk < clip->chunkCount(); ++chunk) {
    if (callback) callback(track, position);
    int32_t nextReport = position + kReportInterval;
    const uint32_t frames = clip->framesInChunk(chunk);
    for (uint32_t i = 0; i < frames; ++i) {
      decodeFrame(clip->leftFrame(chunk, i), left, history[0]);
      decodeFrame(clip->rightFrame(chunk, i), right, history[1]);
      for (int j = 0; j < kSamplesPerFrame; ++j)
        writer.pushFrame(float(left[j]) / 32768.0f, float(right[j]) / 32768.0f);
      position += kSamplesPerFrame;
      if (position >= nextReport) {
        if (callback) callback(track, position);
        nextReport = position + kReportInterval;
      }
    }
  }
  return position;
}

}  // namespace wc
