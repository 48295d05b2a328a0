#pragma once
// Does the beat run on across a cut? From the level envelope (10 ms steps)
// each side's onsets (where the level rises) repeat at the beat period;
// across a true junction the onsets after the cut fall on the grid the ones
// before it laid down, across a cut between unrelated music they fall
// anywhere. This looks seconds to either side, so it still sees a junction
// where a drum hit or a new section defeats the waveform tests.
#include <optional>
#include <span>
#include <vector>

namespace wc {

// Onset strengths (dB of rise per 10 ms step) of an envelope.
std::vector<float> onsetStrengths(std::span<const float> envelopeDb);

// The onsets of a junction's sides that beatContinuity looks at: 3 s.
inline constexpr size_t kBeatContext = 300;

// One side of a junction: its onsets nearest the junction, in time order,
// and how strongly they repeat at each candidate beat period.
struct BeatSide {
  std::vector<float> onsets;
  std::vector<double> periodicity;  // autocorrelation per period, shortest first
};
BeatSide beatBefore(std::span<const float> onsets);  // the last kBeatContext
BeatSide beatAfter(std::span<const float> onsets);   // the first kBeatContext

// How well the onsets after a junction continue the beat of those before
// it: at the beat period both sides agree on best, the correlation of each
// side's onsets folded on one beat grid that runs on across the junction.
// Nullopt when neither side has a beat or either is shorter than a beat.
std::optional<double> beatContinuity(const BeatSide& before, const BeatSide& after);

}  // namespace wc
