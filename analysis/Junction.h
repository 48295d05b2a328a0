#pragma once
// Does one clip's audio run on where another's stops? A linear predictor is
// fitted on the music on one side of the junction and made to predict the
// first samples across it, one step at a time from the true samples. Where
// the two clips are cut from one performance the error across the junction
// is like the error within the music; where they are not, the waveform jumps
// and the error grows by orders of magnitude. The test runs both ways
// (forwards from the earlier clip, backwards from the later one) and takes
// the worse of the two, so a chance fit on one side does not decide.
#include <span>

namespace wc {

// Error across the junction over error within the music (forwards and
// backwards, the larger). Near 1 for one performance, far above for a cut
// between different audio. Infinity if either side is too short or silent:
// silence meeting silence says nothing about continuity.
double junctionScore(std::span<const float> before, std::span<const float> after);

// Scores below this join.
inline constexpr double kJoinThreshold = 4.0;

}  // namespace wc
