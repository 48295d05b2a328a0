#include "analysis/BeatContinuity.h"

#include <algorithm>
#include <cmath>

namespace wc {
namespace {

// Beat periods from 0.25 s (240 bpm) to 1.2 s (50 bpm).
constexpr size_t kShortestBeat = 25;
constexpr size_t kLongestBeat = 120;
// Below this the side has no beat to speak of.
constexpr double kRhythmic = 0.15;

double mean(std::span<const float> x) {
  double sum = 0.0;
  for (float v : x) sum += v;
  return x.empty() ? 0.0 : sum / double(x.size());
}

// Normalised autocorrelation of x at `lag`, about its mean.
double autocorrelation(std::span<const float> x, size_t lag) {
  if (x.size() <= lag + 8) return 0.0;
  const double m = mean(x);
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t t = 0; t + lag < x.size(); ++t) {
    const double a = x[t] - m, b = x[t + lag] - m;
    ab += a * b;
    aa += a * a;
    bb += b * b;
  }
  return aa > 1e-9 && bb > 1e-9 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace

std::vector<float> onsetStrengths(std::span<const float> envelopeDb) {
  std::vector<float> out(envelopeDb.size(), 0.0f);
  for (size_t t = 1; t < envelopeDb.size(); ++t) out[t] = std::clamp(envelopeDb[t] - envelopeDb[t - 1], 0.0f, 20.0f);
  return out;
}

namespace {
BeatSide sideOf(std::span<const float> onsets) {
  BeatSide side;
  side.onsets.assign(onsets.begin(), onsets.end());
  for (size_t lag = kShortestBeat; lag <= kLongestBeat; ++lag) side.periodicity.push_back(autocorrelation(onsets, lag));
  return side;
}
}  // namespace

BeatSide beatBefore(std::span<const float> onsets) {
  return sideOf(onsets.last(std::min(onsets.size(), kBeatContext)));
}

BeatSide beatAfter(std::span<const float> onsets) {
  return sideOf(onsets.first(std::min(onsets.size(), kBeatContext)));
}

std::optional<double> beatContinuity(const BeatSide& before, const BeatSide& after) {
  // The period both sides agree on, each weighted by how long it is.
  size_t period = 0;
  double best = kRhythmic;
  const double wb = double(before.onsets.size()), wa = double(after.onsets.size());
  for (size_t i = 0; i < before.periodicity.size() && wa + wb > 0.0; ++i) {
    const double score = (wb * before.periodicity[i] + wa * after.periodicity[i]) / (wb + wa);
    if (score > best) {
      best = score;
      period = kShortestBeat + i;
    }
  }
  if (period == 0 || before.onsets.size() < period || after.onsets.size() < period) return std::nullopt;
  // Onsets one beat apart with the junction between them.
  const size_t n = before.onsets.size();
  auto at = [&](size_t t) { return t < n ? before.onsets[t] : after.onsets[t - n]; };
  double m = 0.0;
  for (size_t t = n - period; t < n + period; ++t) m += at(t);
  m /= double(2 * period);
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t t = n - period; t < n; ++t) {
    const double a = at(t) - m, b = at(t + period) - m;
    ab += a * b;
    aa += a * a;
    bb += b * b;
  }
  return aa > 1e-9 && bb > 1e-9 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace wc
