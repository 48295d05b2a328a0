#include "analysis/BeatContinuity.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// Onsets folded at the beat period: how much onset falls on each step of
// the beat, smoothed over a few steps so that a beat played a little early
// or late still counts where it belongs.
std::vector<double> foldedAtBeat(std::span<const float> onsets, size_t firstStep, size_t period) {
  std::vector<double> folded(period, 0.0);
  for (size_t t = 0; t < onsets.size(); ++t) folded[(firstStep + t) % period] += onsets[t];
  constexpr size_t kSmooth = 2;
  std::vector<double> smooth(period, 0.0);
  for (size_t i = 0; i < period; ++i)
    for (size_t d = 0; d <= 2 * kSmooth; ++d) smooth[i] += folded[(i + period + d - kSmooth) % period];
  return smooth;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const double ma = std::accumulate(a.begin(), a.end(), 0.0) / double(a.size());
  const double mb = std::accumulate(b.begin(), b.end(), 0.0) / double(b.size());
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
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
  // Each side's onsets folded on one grid that runs on across the junction:
  // where the beat goes on, both put their onsets on the same steps of it.
  // Every beat of both sides counts, so one voiced or empty bar next to the
  // cut does not decide.
  return correlation(foldedAtBeat(before.onsets, 0, period), foldedAtBeat(after.onsets, before.onsets.size(), period));
}

}  // namespace wc
