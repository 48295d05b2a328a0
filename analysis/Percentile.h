#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace wc {

// The value `percent` of the way up the sorted values (at 50 the upper
// median), or `ifEmpty` when there are none.
inline double percentile(std::vector<double> values, size_t percent, double ifEmpty) {
  if (values.empty()) return ifEmpty;
  const size_t at = std::min(values.size() - 1, values.size() * percent / 100);
  std::nth_element(values.begin(), values.begin() + ptrdiff_t(at), values.end());
  return values[at];
}

inline double median(std::vector<double> values, double ifEmpty = 0.0) {
  return percentile(std::move(values), 50, ifEmpty);
}

}  // namespace wc
