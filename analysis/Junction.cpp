#include "analysis/Junction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace wc {
namespace {

constexpr int kOrder = 12;
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
constexpr int kMinimumFit = 256;
// Power below which a side counts as silent (-60 dBFS).
constexpr double kSilentPower = 1e-6;

using Coefficients = std::array<double, kOrder>;

// Autocorrelation method with a Hann window and Levinson-Durbin recursion:
// x[n] ~ sum a[i] x[n-1-i]. Always stable, never divides by zero.
Coefficients fitPredictor(std::span<const float> x) {
  const size_t n = x.size();
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i)
    w[i] = double(x[i]) * (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979323846 * (double(i) + 0.5) / double(n)));
  std::array<double, kOrder + 1> r{};
  for (int lag = 0; lag <= kOrder; ++lag) {
    double sum = 0.0;
    for (size_t i = size_t(lag); i < n; ++i) sum += w[i] * w[i - size_t(lag)];
    r[size_t(lag)] = sum;
  }
  r[0] *= 1.0 + 1e-9;  // a whisker of white noise keeps the recursion well conditioned
  r[0] += 1e-18;
  Coefficients a{};
  std::array<double, kOrder> previous{};
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

// Averages of kSpan samples every kStride, from the junction outwards: the
// last value of `towardsJunction` ends on its last sample.
std::vector<float> smoothed(std::span<const float> x, bool towardsJunction) {
  std::vector<float> out;
  if (x.size() < kSpan) return out;
  const size_t count = (x.size() - kSpan) / kStride + 1;
  out.resize(count);
  for (size_t m = 0; m < count; ++m) {
    const size_t start = towardsJunction ? x.size() - kSpan - (count - 1 - m) * kStride : m * kStride;
    float sum = 0.0f;
    for (size_t i = 0; i < kSpan; ++i) sum += x[start + i];
    out[m] = sum / float(kSpan);
  }
  return out;
}

// Runs the predictor on from x[from - 1] and back without feeding it true
// values for `gap` + kAcross steps; the squared error over the last kAcross.
double extrapolationError(const std::vector<double>& history, size_t from, const std::vector<double>& truth,
                          size_t truthFrom, const Coefficients& a) {
  std::vector<double> x(history.begin() + ptrdiff_t(from - kOrder), history.begin() + ptrdiff_t(from));
  double sum = 0.0;
  for (size_t step = 0; step < kGap + kAcross; ++step) {
    double p = 0.0;
    for (int i = 0; i < kOrder; ++i) p += a[size_t(i)] * x[x.size() - 1 - size_t(i)];
    x.push_back(p);
    if (step >= kGap) {
      const double e = truth[truthFrom + step - kGap] - p;
      sum += e * e;
    }
  }
  return sum / kAcross;
}

// Fit on `before`, carry it across the gap, compare with `after` there. The
// yardstick is the same extrapolation made within `before`.
double forwardScore(std::span<const float> beforeSamples, std::span<const float> afterSamples) {
  const std::vector<float> beforeValues = smoothed(beforeSamples, true);
  const std::vector<float> afterValues = smoothed(afterSamples, false);
  const std::vector<double> before(beforeValues.begin(), beforeValues.end());
  const std::vector<double> after(afterValues.begin(), afterValues.end());
  if (after.size() < kGap + kAcross) return std::numeric_limits<double>::infinity();
  const Coefficients a = fitPredictor(beforeValues);
  // The median of many trials, so a drum hit within the music does not
  // set the yardstick.
  std::vector<double> trials;
  for (size_t from = before.size() / 2; from + kGap + kAcross <= before.size(); from += 3)
    trials.push_back(extrapolationError(before, from, before, from, a));
  std::nth_element(trials.begin(), trials.begin() + ptrdiff_t(trials.size() / 2), trials.end());
  const double within = trials[trials.size() / 2];
  const double across = extrapolationError(before, before.size(), after, 0, a);
  const double floor = 1e-6 * std::max(power(beforeValues), power(afterValues));
  return across / (within + floor);
}

}  // namespace

double junctionScore(std::span<const float> before, std::span<const float> after) {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  if (before.size() < size_t(kMinimumFit) || after.size() < size_t(kMinimumFit)) return kNever;
  if (power(before.last(kMinimumFit)) < kSilentPower || power(after.first(kMinimumFit)) < kSilentPower) return kNever;
  std::vector<float> reversedAfter(after.rbegin(), after.rend());
  std::vector<float> reversedBefore(before.rbegin(), before.rend());
  return std::max(forwardScore(before, after), forwardScore(reversedAfter, reversedBefore));
}

}  // namespace wc
