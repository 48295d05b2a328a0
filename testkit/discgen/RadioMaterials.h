#pragma once
// The music and voices of the radio-shaped bare disc families.
#include <memory>
#include <vector>

#include "testkit/discgen/RadioDisc.h"
#include "testkit/discgen/Recordings.h"

namespace wc {

// Stretches of real recordings (looped where a song outlasts its
// recording), spoken over by espeak-ng in several voices, pitches and
// speeds, saying random sentences from a word list.
std::unique_ptr<RadioMaterial> recordedMaterial(std::shared_ptr<const RecordingSet> recordings);

// The demo's synthesised songs (keys, bass, drums, melody) and the
// built-in babble for voices: needs nothing installed.
std::unique_ptr<RadioMaterial> synthesisedMaterial();

}  // namespace wc
