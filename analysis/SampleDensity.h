#pragma once
// The density of a measure, estimated from samples of it (a Gaussian kernel
// estimate), so that a value can be weighed by how likely it is under one
// hypothesis against another: the measure at points known to be one
// performance against the same measure between unrelated clips.
#include <span>
#include <vector>

namespace wc {

class SampleDensity {
 public:
  // `samples` may be empty: then the density is the fallback alone. The
  // fallback (a normal density of the given mean and spread) is mixed in
  // with the weight of `fallbackWeight` samples, so that a handful of
  // samples cannot make any value impossible.
  SampleDensity(std::vector<double> samples, double fallbackMean, double fallbackSpread, double fallbackWeight = 2.0);

  double logDensity(double x) const;
  size_t size() const { return samples_.size(); }

 private:
  std::vector<double> samples_;  // sorted
  double bandwidth_ = 1.0;
  double fallbackMean_, fallbackSpread_, fallbackWeight_;
};

// The density of a measure given a condition that shapes it, from samples
// of both: samples whose condition lies near the one asked about count
// more (a Gaussian weight over the condition). A junction on a drum hit is
// compared with the drum hits inside the music, not with its quiet stretches.
class ConditionalDensity {
 public:
  struct Sample {
    double value = 0.0;
    double condition = 0.0;
  };
  ConditionalDensity(std::vector<Sample> samples, double conditionSpread, double fallbackMean, double fallbackSpread,
                     double fallbackWeight = 2.0);

  double logDensity(double x, double condition) const;
  size_t size() const { return samples_.size(); }

 private:
  std::vector<Sample> samples_;
  double conditionSpread_;
  double bandwidth_ = 1.0;
  double fallbackMean_, fallbackSpread_, fallbackWeight_;
};

// ln of the ratio of the two densities at x, clamped to [-floor, cap].
double logLikelihoodRatio(const SampleDensity& ifTrue, const SampleDensity& ifFalse, double x, double floor,
                          double cap);
double logLikelihoodRatio(const ConditionalDensity& ifTrue, const ConditionalDensity& ifFalse, double x,
                          double condition, double floor, double cap);

}  // namespace wc
