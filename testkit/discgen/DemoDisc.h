#pragma once
// The demo station set: what someone who has not got the game disc at hand
// can try the program on. Three listed music stations with invented labels,
// artists and titles, and the ADVERTS pack:
//
//   CH "Harbor 88", DS "Velvet 102", RE "Canyon 94.5": four songs each (one to
//   three minutes with their intros and outros), every song with two or three
//   intros and two or three outros, some without speech (empty title) and
//   some with the DJ talking over the music; two chatter clips each of
//   classes 5, 6, 2 and 7.
//   ADVERTS: five commercials, voices over a jingle.
//
// Every other pack is empty and unlisted. All of it is generated: songs by
// SongSynth, spoken lines by espeak-ng or the synthetic voice.
#include <array>

#include "testkit/discgen/DiscBuilder.h"
#include "testkit/discgen/Speech.h"

namespace wc {

inline constexpr std::array<int, 3> kDemoMusicStations = {4, 8, 13};  // CH, DS, RE
inline constexpr int kDemoSongsPerStation = 4;
inline constexpr int kDemoChatterPerClass = 2;  // of each of classes 5, 6, 2 and 7
inline constexpr int kDemoCommercials = 5;

struct DemoOptions {
  SpeechEngine speech = SpeechEngine::Synthetic;
  // Above 0: every clip is cut to at most this many seconds and every song
  // to one bar, for a set with the full structure (stations, clips, classes,
  // titles, intro and outro counts) that is quick to build in tests.
  double sketchSeconds = 0.0;
};

// The plan of the demo set; clips are generated when the plan is written
// (or by encodeClipsAhead). The same options give the same bytes.
DiscPlan demoDiscPlan(const DemoOptions& options);

}  // namespace wc
