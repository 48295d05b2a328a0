#pragma once
// Does one clip's audio run on where another's stops? A linear predictor is
// fitted on the low band of the music on one side of the junction and
// carried on for a fraction of a millisecond across it. Where the two clips
// are cut from one performance its error there is like its error when
// carried on the same way within the music (the median of many tries);
// where they are not, the waveform jumps and the error is far larger. The
// test runs both ways (forwards from the earlier clip, backwards from the
// later one) and takes the worse of the two, so a chance fit on one side
// does not decide.
#include <span>

namespace wc {

// Error across the junction over error within the music (forwards and
// backwards, the larger). About 1 or below for one performance, mostly far
// above for a cut between different audio. Infinity if either side is too short or silent:
// silence meeting silence says nothing about continuity.
double junctionScore(std::span<const float> before, std::span<const float> after);

// Scores below this join.
inline constexpr double kJoinThreshold = 4.0;

}  // namespace wc
