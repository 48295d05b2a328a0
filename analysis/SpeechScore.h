#pragma once
// Is a clip that joins no song speech (chatter) or music? Speech changes
// its timbre from syllable to syllable and has no steady harmony, where
// music holds both; pauses between words and silence between sentences
// add to that, and so does how a clip begins: music cut from a programme
// starts at its level, a speaker from the quiet before the first word.
// Timbre change and harmony are measured against the station's own clips,
// most of which are music, so a station of busy music and one of calm
// music are judged alike.
#include <span>

#include "analysis/ClipFeatures.h"

namespace wc {

// From the spectra at both ends of a clip, over its louder frames.
struct ToneCues {
  double timbreChange = 0.0;  // mean band change (dB) between frames 85 ms apart
  double harmony = 0.0;       // mean chroma likeness of those frames (0..1)
  bool valid = false;
};
ToneCues toneCuesOf(const ClipSummary& clip);

// What is usual on the station: the medians over its clips.
struct StationTone {
  double timbreChange = 0.0;
  double harmony = 0.0;
  bool valid = false;
};
StationTone stationToneOf(std::span<const ToneCues> clips);

// A linear score for speech (positive: speech). The weights are fitted on
// one family of test discs (a logistic regression) and measured on others.
struct SpeechModel {
  double pauses = 0.0;        // per share of pauses between words
  double silenceSeen = 0.0;   // when at least 2% of the clip falls silent
  double silence = 0.0;       // per 10% of the clip silent (counted up to 10%)
  double fadeOut = 0.0;       // per share of the clip fading out
  double length = 0.0;        // per ln(seconds / 8), counted between -1 and 1
  double timbreChange = 0.0;  // per ln of the timbre change over the station's
  double harmony = 0.0;       // per harmony above the station's
  double start = 0.0;         // per 10 dB the clip's start lies above its median level
  double bias = 0.0;
};

double speechScore(const ClipSummary& clip, const ToneCues& tone, const StationTone& station, const SpeechModel& model);

}  // namespace wc
