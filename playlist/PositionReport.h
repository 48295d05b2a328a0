#pragma once
// How playback and offline rendering say where they are.
#include <cstdint>
#include <functional>

#include "playlist/Track.h"

namespace wc {

// Hears (Track or null, samples per channel at 24000 Hz from the start of the
// Track's intro). Called on the thread that renders.
using PositionCallback = std::function<void(Track* track, int32_t position)>;

}  // namespace wc
