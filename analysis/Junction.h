#pragma once
// Does one clip's audio run on where another's stops? A linear predictor is
// fitted on the low band of the music on one side of the junction and
// carried on for a fraction of a millisecond across it. Where the two clips
// are cut from one performance, its error there is one more draw from the
// errors it makes carried on from points inside that side (a junction on a
// drum hit is like the drum hits inside); where they are not, it is like
// its error carried on into unrelated clips. StationEvidence weighs the two.
#include <array>
#include <span>
#include <vector>

namespace wc {

// The predictor of one side of a junction, fitted on one channel's samples
// ordered towards the junction (a head is given reversed).
class EdgePredictor {
 public:
  static constexpr int kOrder = 12;
  explicit EdgePredictor(std::span<const float> towardsJunction);

  // False when the side is too short or its last stretch too quiet to
  // predict from: a rest or a faded end says nothing about continuity.
  bool usable() const { return usable_; }
  // ln of the predictor's error carried across into `beyond`, the other
  // side's low band ordered away from the junction (lowBand of it). Only
  // for a usable predictor and a side that can receive.
  double logErrorAcross(const std::vector<double>& beyond) const;
  // The same from another history of this side (its low band ordered
  // towards the junction, lowBandTowards): the side as decoded with another
  // decoder history differs only in its last values.
  double logErrorAcross(const std::vector<double>& history, const std::vector<double>& beyond) const;
  double logOnsetAcross(const std::vector<double>& history, const std::vector<double>& beyond) const;
  // How much louder the music gets across the junction: ln of the power of
  // the first values beyond over the last values before. A drum hit on the
  // junction makes any predictor miss; so it does inside the music.
  double logOnsetAcross(const std::vector<double>& beyond) const;
  // The same extrapolation from points inside this side: ln of its errors,
  // and the onset at each point, drum hits among them. What one
  // performance looks like.
  const std::vector<double>& logTrialErrors() const { return logTrialErrors_; }
  const std::vector<double>& logTrialOnsets() const { return logTrialOnsets_; }

  // The low band the predictor works on, of samples ordered away from the
  // junction.
  static std::vector<double> lowBand(std::span<const float> awayFromJunction);
  static std::vector<double> lowBandTowards(std::span<const float> towardsJunction);
  // Whether the other side is long enough and does not start on a rest.
  static bool canReceive(std::span<const float> awayFromJunction);

 private:
  std::vector<double> values_;  // the smoothed low band
  std::array<double, kOrder> coefficients_{};
  std::vector<double> logTrialErrors_, logTrialOnsets_;
  bool usable_ = false;
};

}  // namespace wc
