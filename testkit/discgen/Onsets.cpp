#include "testkit/discgen/Onsets.h"

#include <algorithm>
#include <cmath>

namespace wc {
namespace {

// About 10 ms: fine enough to place a cut before the attack it belongs to.
constexpr size_t kHop = 256;

}  // namespace

std::vector<Onset> findOnsets(const MixBuffer& music, size_t from, size_t to) {
  to = std::min(to, music.samples());
  if (to <= from + 4 * kHop) return {};
  std::vector<float> logEnergy;
  for (size_t at = from; at + kHop <= to; at += kHop) {
    double sum = 0.0;
    for (size_t i = at; i < at + kHop; ++i)
      sum += double(music.left[i]) * music.left[i] + double(music.right[i]) * music.right[i];
    logEnergy.push_back(float(std::log10(sum / kHop + 1e-9)));
  }
  // The rise over two hops, so an attack spread over a hop boundary counts whole.
  std::vector<float> rise(logEnergy.size(), 0.0f);
  for (size_t k = 2; k < logEnergy.size(); ++k) rise[k] = std::max(0.0f, logEnergy[k] - logEnergy[k - 2]);
  std::vector<Onset> onsets;
  for (size_t k = 3; k + 3 < rise.size(); ++k) {
    const bool peak = rise[k] > 0.15f && rise[k] >= rise[k - 1] && rise[k] > rise[k + 1] && rise[k] >= rise[k - 2] &&
                      rise[k] >= rise[k + 2];
    if (peak) onsets.push_back({from + (k - 1) * kHop, rise[k]});
  }
  return onsets;
}

size_t strongestOnsetNear(const MixBuffer& music, size_t target, size_t reach) {
  const size_t from = target > reach ? target - reach : 0;
  const std::vector<Onset> onsets = findOnsets(music, from, target + reach);
  if (onsets.empty()) return target;
  return std::max_element(onsets.begin(), onsets.end(),
                          [](const Onset& a, const Onset& b) { return a.strength < b.strength; })
      ->sample;
}

}  // namespace wc
