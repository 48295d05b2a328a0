#include "analysis/SpeechScore.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/Percentile.h"

namespace wc {
namespace {

// Frames compared: two hops (85 ms) apart, both within 20 dB of the
// loudest frame of their end, so pauses and fades do not count.
constexpr size_t kApart = 2;
constexpr float kLoudRange = 20.0f;

// The start's level against the median counts within these bounds: below
// them a clip begins in silence either way, above them on a hit either way.
constexpr double kStartFloorDb = -20.0;
constexpr double kStartCeilingDb = 15.0;

}  // namespace

ToneCues toneCuesOf(const ClipSummary& clip) {
  ToneCues cues;
  double change = 0.0, harmony = 0.0;
  int pairs = 0;
  for (const std::vector<SpectralFrame>* frames : {&clip.headSpectra, &clip.tailSpectra}) {
    float loudest = -200.0f;
    for (const SpectralFrame& f : *frames) loudest = std::max(loudest, f.levelDb);
    for (size_t i = 0; i + kApart < frames->size(); ++i) {
      const SpectralFrame& a = (*frames)[i];
      const SpectralFrame& b = (*frames)[i + kApart];
      if (a.levelDb < loudest - kLoudRange || b.levelDb < loudest - kLoudRange) continue;
      double bands = 0.0, likeness = 0.0;
      for (size_t q = 0; q < kSpectrumBands; ++q) bands += std::abs(a.bandsDb[q] - b.bandsDb[q]);
      for (size_t q = 0; q < kChromaBins; ++q) likeness += a.chroma[q] * b.chroma[q];
      change += bands / kSpectrumBands;
      harmony += likeness;
      ++pairs;
    }
  }
  if (pairs == 0) return cues;
  cues.timbreChange = change / pairs;
  cues.harmony = harmony / pairs;
  cues.valid = cues.timbreChange > 0.0;
  return cues;
}

StationTone stationToneOf(std::span<const ToneCues> clips) {
  std::vector<double> changes, harmonies;
  for (const ToneCues& c : clips)
    if (c.valid) {
      changes.push_back(c.timbreChange);
      harmonies.push_back(c.harmony);
    }
  StationTone tone;
  if (changes.empty()) return tone;
  tone.timbreChange = median(std::move(changes));
  tone.harmony = median(std::move(harmonies));
  tone.valid = tone.timbreChange > 0.0;
  return tone;
}

double speechScore(const ClipSummary& clip, const ToneCues& tone, const StationTone& station,
                   const SpeechModel& model) {
  const LevelCues& q = clip.cues;
  double score = model.bias + model.pauses * q.pauseShare + model.silenceSeen * (q.silenceShare >= 0.02 ? 1.0 : 0.0) +
                 model.silence * std::min(q.silenceShare, 0.1) / 0.1 + model.fadeOut * q.fadeOutShare +
                 model.length * std::clamp(std::log(std::max(clip.seconds(), 1e-3) / 8.0), -1.0, 1.0) +
                 model.start * std::clamp(q.startDb - q.medianDb, kStartFloorDb, kStartCeilingDb) / 10.0;
  if (tone.valid && station.valid)
    score += model.timbreChange * std::log(tone.timbreChange / station.timbreChange) +
             model.harmony * (tone.harmony - station.harmony);
  return score;
}

}  // namespace wc
