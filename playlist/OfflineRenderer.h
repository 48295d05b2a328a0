#pragma once
// Renders Tracks for the export: every clip of a Track decoded at full scale
// straight into a frame sink, as fast as it goes, with the decoder history
// running on across the clips as in live playback.
#include <cstdint>

#include "audio/Decoder.h"
#include "gamedata/ClipAudio.h"
#include "playlist/PositionReport.h"
#include "playlist/Track.h"

namespace wc {

class FrameSink;

class OfflineRenderer {
 public:
  // `report` hears the progress: (track, position) before every chunk and
  // about once a second of audio; it may be empty.
  explicit OfflineRenderer(PositionCallback report = {}) : report_(std::move(report)) {}

  // Renders the loaded parts of `track` (null renders nothing). Returns the
  // position after the Track (samples from its intro on).
  int32_t renderTrack(Track* track, FrameSink& sink) const;

 private:
  int32_t renderClip(Track* track, int32_t position, const ClipAudio* clip, FrameSink& sink,
                     StereoHistory& history) const;

  PositionCallback report_;
};

}  // namespace wc
