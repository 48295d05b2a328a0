#pragma once
// Splitting a station's clip list into song blocks (a song, then its intros,
// then its outros) and the clips between them, from the clips' summaries.
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/ClipFeatures.h"

namespace wc {

enum class ClipRole {
  Unreadable,  // no audio to judge (not loaded, no frames, silent): the clip stays as it was
  Song,
  Intro,
  Outro,
  Chatter,         // speech without music
  Identification,  // short music that joins no song
};

struct RoleOfClip {
  ClipRole role = ClipRole::Unreadable;
  int32_t intros = 0;  // for a song
  int32_t outros = 0;
  // How sure the analysis is of this clip's block (a song with its intros
  // and outros, or a lone clip), 0 to 1; every clip of a block carries the
  // block's value. Below kUncertainBlock the user is asked to check it.
  double confidence = 1.0;
};

// Blocks less certain than this are named for the user to check.
inline constexpr double kUncertainBlock = 0.6;

// A music clip that joins nothing is a song from this length on, else a
// station identification.
inline constexpr double kLoneSongSeconds = 60.0;
// A clip whose sampled windows are this often pauses is speech.
inline constexpr double kSpeechPauseShare = 0.18;
// So is one whose windows are this often silent: a short clip of speech can
// show few pauses by chance, but its pauses are true silence.
inline constexpr double kSpeechSilenceShare = 0.08;

// How well the end of `earlier` runs on into the start of `later` (see
// junctionScore); infinity when either has no sound.
double joinScore(const ClipSummary& earlier, const ClipSummary& later);
// True if the end of `earlier` runs on into the start of `later`.
bool runsInto(const ClipSummary& earlier, const ClipSummary& later);

// One role per clip, in order. A song's follow-ons never reach past the
// list or into a clip without audio.
std::vector<RoleOfClip> segmentStation(std::span<const ClipSummary> clips);

}  // namespace wc
