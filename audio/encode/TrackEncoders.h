#pragma once
// The encoders behind TrackEncoder: libFLAC, libopusenc, LAME and a plain
// RIFF writer, each followed by TrackTagger.
#include <memory>

#include "audio/TrackEncoder.h"

namespace wc {

// The encoder for `format` at `quality` (clamped to trackFormatQuality's
// range; ignored for WAV).
std::unique_ptr<TrackEncoder> makeTrackEncoder(TrackFormat format, int quality);

}  // namespace wc
