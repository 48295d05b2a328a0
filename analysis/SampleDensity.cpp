#include "analysis/SampleDensity.h"

#include <algorithm>
#include <cmath>

namespace wc {
namespace {

constexpr double kInverseRootTwoPi = 0.3989422804014327;

double normal(double x, double mean, double spread) {
  const double z = (x - mean) / spread;
  return kInverseRootTwoPi / spread * std::exp(-0.5 * z * z);
}

// Silverman's rule with the interquartile spread: robust to the long tails
// these measures have.
double bandwidthOf(std::vector<double> values) {
  const size_t n = values.size();
  if (n < 4) return 1.0;
  std::sort(values.begin(), values.end());
  const double iqr = values[n * 3 / 4] - values[n / 4];
  return std::max(0.15, 0.9 * std::max(iqr / 1.34, 0.05) * std::pow(double(n), -0.2));
}

}  // namespace

SampleDensity::SampleDensity(std::vector<double> samples, double fallbackMean, double fallbackSpread,
                             double fallbackWeight)
    : samples_(std::move(samples)),
      fallbackMean_(fallbackMean),
      fallbackSpread_(fallbackSpread),
      fallbackWeight_(fallbackWeight) {
  std::sort(samples_.begin(), samples_.end());
  bandwidth_ = bandwidthOf(samples_);
}

double SampleDensity::logDensity(double x) const {
  // Kernels further than 6 bandwidths away add nothing worth the time.
  const auto from = std::lower_bound(samples_.begin(), samples_.end(), x - 6.0 * bandwidth_);
  const auto to = std::upper_bound(samples_.begin(), samples_.end(), x + 6.0 * bandwidth_);
  double sum = 0.0;
  for (auto i = from; i != to; ++i) sum += normal(x, *i, bandwidth_);
  sum += fallbackWeight_ * normal(x, fallbackMean_, fallbackSpread_);
  return std::log(sum / (double(samples_.size()) + fallbackWeight_) + 1e-300);
}

ConditionalDensity::ConditionalDensity(std::vector<Sample> samples, double conditionSpread, double fallbackMean,
                                       double fallbackSpread, double fallbackWeight)
    : samples_(std::move(samples)),
      conditionSpread_(conditionSpread),
      fallbackMean_(fallbackMean),
      fallbackSpread_(fallbackSpread),
      fallbackWeight_(fallbackWeight) {
  std::vector<double> values;
  for (const Sample& s : samples_) values.push_back(s.value);
  bandwidth_ = bandwidthOf(std::move(values));
}

double ConditionalDensity::logDensity(double x, double condition) const {
  double sum = 0.0, weights = 0.0;
  for (const Sample& s : samples_) {
    const double z = (s.condition - condition) / conditionSpread_;
    const double w = std::exp(-0.5 * z * z);
    weights += w;
    sum += w * normal(x, s.value, bandwidth_);
  }
  // The fallback counts as many samples as asked, however few samples lie
  // near the condition.
  sum += fallbackWeight_ * normal(x, fallbackMean_, fallbackSpread_);
  return std::log(sum / (weights + fallbackWeight_) + 1e-300);
}

double logLikelihoodRatio(const ConditionalDensity& ifTrue, const ConditionalDensity& ifFalse, double x,
                          double condition, double floor, double cap) {
  return std::clamp(ifTrue.logDensity(x, condition) - ifFalse.logDensity(x, condition), -floor, cap);
}

double logLikelihoodRatio(const SampleDensity& ifTrue, const SampleDensity& ifFalse, double x, double floor,
                          double cap) {
  return std::clamp(ifTrue.logDensity(x) - ifFalse.logDensity(x), -floor, cap);
}

}  // namespace wc
