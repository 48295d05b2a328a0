#include "analysis/Junction.h"

#include <algorithm>
#include <cmath>

namespace wc {
namespace {

constexpr int kOrder = EdgePredictor::kOrder;
// The test runs on the music below about 2.5 kHz, averaged over 8 samples
// every 4 (6000 values per second): cymbals and hi-hats are noise that no
// predictor follows, while the bass and chords are predictable and jump
// visibly where two different recordings meet.
constexpr size_t kStride = 4;
constexpr size_t kSpan = 8;
// Values predicted across the junction: 0.7 ms, long enough to see a jump,
// short enough that the music has not moved on.
constexpr size_t kAcross = 4;
// The predictor's first step is the value whose average straddles the
// junction, which neither side holds; the comparison starts one step later.
constexpr size_t kGap = kSpan / kStride - 1;
constexpr size_t kMinimumValues = 128;
// The last 21 ms of a side below this share of its usual power (-20 dB),
// or below -66 dBFS, is a rest or a faded end.
constexpr size_t kEndSamples = 512;
constexpr double kQuietShare = 0.01;
constexpr double kSilentPower = 2.5e-7;

using Coefficients = std::array<double, kOrder>;

// Autocorrelation method with a Hann window and Levinson-Durbin recursion:
// x[n] ~ sum a[i] x[n-1-i]. Always stable, never divides by zero.
Coefficients fitPredictor(const std::vector<double>& x) {
  const size_t n = x.size();
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i)
    w[i] = x[i] * (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979323846 * (double(i) + 0.5) / double(n)));
  std::array<double, kOrder + 1> r{};
  for (int lag = 0; lag <= kOrder; ++lag) {
    double sum = 0.0;
    for (size_t i = size_t(lag); i < n; ++i) sum += w[i] * w[i - size_t(lag)];
    r[size_t(lag)] = sum;
  }
  r[0] *= 1.0 + 1e-9;  // a whisker of white noise keeps the recursion well conditioned
  r[0] += 1e-18;
  Coefficients a{};
  Coefficients previous{};
  double error = r[0];
  for (int i = 0; i < kOrder; ++i) {
    double acc = r[size_t(i) + 1];
    for (int j = 0; j < i; ++j) acc -= a[size_t(j)] * r[size_t(i - j)];
    const double k = acc / error;
    previous = a;
    a[size_t(i)] = k;
    for (int j = 0; j < i; ++j) a[size_t(j)] = previous[size_t(j)] - k * previous[size_t(i - 1 - j)];
    error *= (1.0 - k * k);
    if (error <= 0.0) break;
  }
  return a;
}

double power(std::span<const float> x) {
  double sum = 0.0;
  for (float v : x) sum += double(v) * v;
  return x.empty() ? 0.0 : sum / double(x.size());
}

// Averages of kSpan samples every kStride; with `endAligned` the last one
// ends on the last sample, else the first starts on the first.
std::vector<double> smoothed(std::span<const float> x, bool endAligned) {
  std::vector<double> out;
  if (x.size() < kSpan) return out;
  const size_t count = (x.size() - kSpan) / kStride + 1;
  out.resize(count);
  const size_t offset = endAligned ? x.size() - kSpan - (count - 1) * kStride : 0;
  for (size_t m = 0; m < count; ++m) {
    double sum = 0.0;
    for (size_t i = 0; i < kSpan; ++i) sum += x[offset + m * kStride + i];
    out[m] = sum / double(kSpan);
  }
  return out;
}

// Runs the predictor on from history[from - 1] without feeding it true
// values for kGap + kAcross steps; the mean squared error over the last
// kAcross against truth[truthFrom ...].
double extrapolationError(const std::vector<double>& history, size_t from, const std::vector<double>& truth,
                          size_t truthFrom, const Coefficients& a) {
  std::array<double, kOrder + kGap + kAcross> x{};
  std::copy(history.begin() + ptrdiff_t(from - kOrder), history.begin() + ptrdiff_t(from), x.begin());
  size_t filled = kOrder;
  double sum = 0.0;
  for (size_t step = 0; step < kGap + kAcross; ++step) {
    double p = 0.0;
    for (int i = 0; i < kOrder; ++i) p += a[size_t(i)] * x[filled - 1 - size_t(i)];
    x[filled++] = p;
    if (step >= kGap) {
      const double e = truth[truthFrom + step - kGap] - p;
      sum += e * e;
    }
  }
  return sum / kAcross;
}

// Values on each side of a point that its onset compares: 1.3 ms.
constexpr size_t kOnsetValues = 8;

double meanSquare(const double* x, size_t n) {
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) sum += x[i] * x[i];
  return sum / double(n);
}

bool quietEnd(std::span<const float> towardsJunction) {
  if (towardsJunction.size() < kEndSamples) return true;
  const double end = power(towardsJunction.last(kEndSamples));
  return end < kSilentPower || end < kQuietShare * power(towardsJunction);
}

}  // namespace

bool EdgePredictor::canReceive(std::span<const float> away) {
  if (away.size() < kEndSamples) return false;
  const double start = power(away.first(kEndSamples));
  return start >= kSilentPower && start >= kQuietShare * power(away);
}

std::vector<double> EdgePredictor::lowBand(std::span<const float> away) { return smoothed(away, false); }
std::vector<double> EdgePredictor::lowBandTowards(std::span<const float> towards) { return smoothed(towards, true); }

EdgePredictor::EdgePredictor(std::span<const float> towardsJunction) {
  values_ = smoothed(towardsJunction, true);
  if (values_.size() < kMinimumValues || quietEnd(towardsJunction)) return;
  coefficients_ = fitPredictor(values_);
  // Every other point of the side, the drum hits among them.
  for (size_t from = std::max<size_t>(kOrder, kOnsetValues); from + kGap + kOnsetValues <= values_.size(); from += 2) {
    logTrialErrors_.push_back(std::log(extrapolationError(values_, from, values_, from + kGap, coefficients_) + 1e-12));
    logTrialOnsets_.push_back(std::log((meanSquare(&values_[from + kGap], kOnsetValues) + 1e-12) /
                                       (meanSquare(&values_[from - kOnsetValues], kOnsetValues) + 1e-12)));
  }
  usable_ = logTrialErrors_.size() >= 16;
}

double EdgePredictor::logOnsetAcross(const std::vector<double>& beyond) const {
  return logOnsetAcross(values_, beyond);
}

double EdgePredictor::logOnsetAcross(const std::vector<double>& history, const std::vector<double>& beyond) const {
  if (beyond.size() < kOnsetValues || history.size() < kOnsetValues) return 0.0;
  return std::log((meanSquare(beyond.data(), kOnsetValues) + 1e-12) /
                  (meanSquare(&history[history.size() - kOnsetValues], kOnsetValues) + 1e-12));
}

double EdgePredictor::logErrorAcross(const std::vector<double>& beyond) const {
  return logErrorAcross(values_, beyond);
}

double EdgePredictor::logErrorAcross(const std::vector<double>& history, const std::vector<double>& beyond) const {
  if (beyond.size() < kAcross || history.size() < size_t(kOrder)) return 0.0;
  return std::log(extrapolationError(history, history.size(), beyond, 0, coefficients_) + 1e-12);
}

}  // namespace wc
