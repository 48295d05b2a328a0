#include "analysis/StationEvidence.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/BeatContinuity.h"
#include "analysis/Percentile.h"
#include "analysis/SampleDensity.h"

namespace wc {

// Per clip: predictors at its end (forwards) and at its start (backwards),
// the low band of each end as the other side of a junction sees it, its
// timbre at both ends, and what each measure looks like inside the clip
// (one performance) and against clips that have nothing to do with it.
struct StationEvidence::Sides {
  std::optional<EdgePredictor> endLeft, endRight, startLeft, startRight;
  std::vector<double> headLeft, headRight;  // the head's low band, from the start on
  std::vector<double> tailLeft, tailRight;  // the tail's low band, from the end back
  bool headReceives = false, tailReceives = false;
  std::optional<ConditionalDensity> forwardTrue, forwardFalse, backwardTrue, backwardFalse;
  // The same across cuts into unrelated clips decoded with the history the
  // other clip leaves: its tail rings on into their first samples.
  std::optional<ConditionalDensity> forwardFalseCarried, backwardFalseCarried;
  std::optional<SampleDensity> timbreFalse;
  std::vector<double> timbreInside;  // ln changes between neighbouring windows at both ends
  std::optional<BeatSide> beatEnd, beatStart;
  std::optional<SampleDensity> beatFalse;
  std::vector<double> beatInside;              // beat continuity at points inside the clip, near its ends
  std::optional<SampleDensity> partialsFalse;  // from this clip's end into unrelated clips
  // The most alike its head's (tail's) band level changes are to an unrelated clip's.
  double headChangesByChance = 0.0, tailChangesByChance = 0.0;

  bool forwards() const { return endLeft && endLeft->usable() && endRight->usable(); }
  bool backwards() const { return startLeft && startLeft->usable() && startRight->usable(); }
};

namespace {

std::vector<float> reversed(const std::vector<float>& x) { return {x.rbegin(), x.rend()}; }

// The predictors' ln error across and the onset there, the mean over
// both channels.
ConditionalDensity::Sample stereoAcross(const EdgePredictor& left, const EdgePredictor& right,
                                        const std::vector<double>& beyondLeft, const std::vector<double>& beyondRight) {
  return {0.5 * (left.logErrorAcross(beyondLeft) + right.logErrorAcross(beyondRight)),
          0.5 * (left.logOnsetAcross(beyondLeft) + right.logOnsetAcross(beyondRight))};
}

// How far apart onsets may be and still count as comparable (in ln power).
constexpr double kOnsetSpread = 1.0;

double meanSquare(const std::vector<double>& x) {
  double sum = 0.0;
  for (double v : x) sum += v * v;
  return x.empty() ? 0.0 : sum / double(x.size());
}

// A side's predictor errors across cuts into unrelated clips; where there
// are none, about the size of the side's own music.
ConditionalDensity unrelatedDensity(std::vector<ConditionalDensity::Sample> errors,
                                    const std::vector<double>& ownBand) {
  return ConditionalDensity(std::move(errors), kOnsetSpread, std::log(2.0 * meanSquare(ownBand) + 1e-12), 1.5);
}

// The start's predictors run back into the earlier clip's tail, with the
// start as decoded after that clip (`carriedHead`) as their history.
ConditionalDensity::Sample backAcrossCarried(const EdgePredictor& left, const EdgePredictor& right,
                                             const StereoEdge& carriedHead, const std::vector<double>& tailLeft,
                                             const std::vector<double>& tailRight) {
  const std::vector<double> l = EdgePredictor::lowBandTowards(reversed(carriedHead.left));
  const std::vector<double> r = EdgePredictor::lowBandTowards(reversed(carriedHead.right));
  return {0.5 * (left.logErrorAcross(l, tailLeft) + right.logErrorAcross(r, tailRight)),
          0.5 * (left.logOnsetAcross(l, tailLeft) + right.logOnsetAcross(r, tailRight))};
}

// The density of a predictor's ln errors inside one performance.
ConditionalDensity trueDensity(const EdgePredictor& left, const EdgePredictor& right) {
  const size_t n = std::min(left.logTrialErrors().size(), right.logTrialErrors().size());
  std::vector<ConditionalDensity::Sample> trials(n);
  std::vector<double> errors(n);
  for (size_t i = 0; i < n; ++i) {
    trials[i] = {0.5 * (left.logTrialErrors()[i] + right.logTrialErrors()[i]),
                 0.5 * (left.logTrialOnsets()[i] + right.logTrialOnsets()[i])};
    errors[i] = trials[i].value;
  }
  return ConditionalDensity(std::move(trials), kOnsetSpread, median(std::move(errors)), 1.5);
}

// Normalised correlation of a[fromA, fromA + n) with b[fromB, fromB + n).
double correlation(const std::vector<float>& a, size_t fromA, const std::vector<float>& b, size_t fromB, size_t n) {
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double x = a[fromA + i], y = b[fromB + i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 1e-9 && bb > 1e-9 ? ab / std::sqrt(aa * bb) : 0.0;
}

// The best correlation of two edges, aligned at their ends (intros) or at
// their starts (outros), over small shifts (a cut that missed a frame
// boundary pads the last frame), both channels together.
constexpr size_t kSiblingSamples = 2048;
constexpr size_t kSiblingLags = 32;
double stereoLikeness(const StereoEdge& a, const StereoEdge& b, bool atEnd) {
  // Outros all start on the song's last sample; intros end on its first,
  // each padded to whole frames, so only their ends may be shifted.
  const size_t lags = atEnd ? kSiblingLags : 2;
  // A head decoded from a zeroed history is off for its first 16 frames
  // when the stream was encoded in one go; compare after them.
  constexpr size_t kSettled = 16 * 28;
  const size_t need = kSiblingSamples + 2 * kSiblingLags + (atEnd ? 0 : kSettled);
  if (a.size() < need || b.size() < need) return 0.0;
  const size_t fromA = atEnd ? a.size() - kSiblingSamples - kSiblingLags : kSettled + kSiblingLags;
  const size_t fromB = atEnd ? b.size() - kSiblingSamples - kSiblingLags : kSettled + kSiblingLags;
  double best = 0.0;
  for (size_t shifted = fromB - lags; shifted <= fromB + lags; ++shifted)
    best = std::max(best, 0.5 * (correlation(a.left, fromA, b.left, shifted, kSiblingSamples) +
                                 correlation(a.right, fromA, b.right, shifted, kSiblingSamples)));
  return best;
}

// Mean band levels and chroma of `frames` [from, to), over the frames
// within 25 dB of the loudest of them.
Timbre timbreOf(const std::vector<SpectralFrame>& frames, size_t from, size_t to) {
  Timbre t;
  float loudest = -200.0f;
  for (size_t i = from; i < to; ++i) loudest = std::max(loudest, frames[i].levelDb);
  if (loudest < -60.0f) return t;
  int used = 0;
  for (size_t i = from; i < to; ++i) {
    if (frames[i].levelDb < loudest - 25.0f) continue;
    for (int b = 0; b < kSpectrumBands; ++b) t.bands[size_t(b)] += frames[i].bandsDb[size_t(b)];
    for (int c = 0; c < kChromaBins; ++c) t.chroma[size_t(c)] += frames[i].chroma[size_t(c)];
    ++used;
  }
  for (double& b : t.bands) b /= used;
  double norm = 0.0;
  for (double c : t.chroma) norm += c * c;
  norm = std::sqrt(norm);
  for (double& c : t.chroma) c = norm > 0 ? c / norm : 0.0;
  t.valid = true;
  return t;
}

// Band levels apart (RMS dB over the bands, after taking out the overall
// level difference, which a fade or a duck changes), plus chroma apart
// (1 - cosine, scaled to a comparable size).
double timbreDistance(const Timbre& a, const Timbre& b) {
  double mean = 0.0;
  for (int i = 0; i < kSpectrumBands; ++i) mean += a.bands[size_t(i)] - b.bands[size_t(i)];
  mean /= kSpectrumBands;
  double sum = 0.0;
  for (int i = 0; i < kSpectrumBands; ++i) {
    const double d = a.bands[size_t(i)] - b.bands[size_t(i)] - mean;
    sum += d * d;
  }
  double cosine = 0.0;
  for (int i = 0; i < kChromaBins; ++i) cosine += a.chroma[size_t(i)] * b.chroma[size_t(i)];
  return std::sqrt(sum / kSpectrumBands) + 10.0 * (1.0 - cosine);
}

constexpr size_t kTimbreWindow = 16;  // frames: 0.34 s

// How much the timbre changes between neighbouring windows inside a clip's
// edge: the median over split points every 4 frames.
std::vector<double> insideChanges(const std::vector<SpectralFrame>& frames) {
  std::vector<double> out;
  for (size_t split = kTimbreWindow; split + kTimbreWindow <= frames.size(); split += 4) {
    const Timbre a = timbreOf(frames, split - kTimbreWindow, split);
    const Timbre b = timbreOf(frames, split, split + kTimbreWindow);
    if (a.valid && b.valid) out.push_back(timbreDistance(a, b));
  }
  return out;
}

std::optional<Timbre> endTimbre(const ClipSummary& c) {
  if (c.tailSpectra.size() < kTimbreWindow) return std::nullopt;
  Timbre t = timbreOf(c.tailSpectra, c.tailSpectra.size() - kTimbreWindow, c.tailSpectra.size());
  return t.valid ? std::optional<Timbre>(t) : std::nullopt;
}
std::optional<Timbre> startTimbre(const ClipSummary& c) {
  if (c.headSpectra.size() < kTimbreWindow) return std::nullopt;
  Timbre t = timbreOf(c.headSpectra, 0, kTimbreWindow);
  return t.valid ? std::optional<Timbre>(t) : std::nullopt;
}

// How alike two fine spectra are: the correlation of their ln powers.
// Nullopt when either stretch is missing.
std::optional<double> partialLikeness(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.empty() || a.size() != b.size()) return std::nullopt;
  double meanA = 0.0, meanB = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    meanA += a[i];
    meanB += b[i];
  }
  meanA /= double(a.size());
  meanB /= double(b.size());
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    const double x = a[i] - meanA, y = b[i] - meanB;
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  if (aa <= 0.0 || bb <= 0.0) return std::nullopt;
  return ab / std::sqrt(aa * bb);
}

double logDistance(const Timbre& a, const Timbre& b) { return std::log(timbreDistance(a, b) + 0.05); }

double siblingEvidence(double likeness, const EvidenceWeights& w) {
  if (likeness >= w.siblingAlike) return w.siblingFor;
  if (likeness >= w.siblingUnlike)
    return w.siblingFor * (likeness - w.siblingUnlike) / (w.siblingAlike - w.siblingUnlike);
  // Unlike: a voice running into the seam does that to true siblings too.
  return -w.siblingAgainst * std::min(1.0, (w.siblingUnlike - likeness) / w.siblingUnlike);
}

// How alike two edges' band levels change from frame to frame: the
// correlation of those changes over every band, aligned at the edges' ends
// (intros) or starts (outros). Steady sound changes little on either side
// and so says little; one performance changes alike wherever no voice
// covers it.
double changeLikeness(const std::vector<SpectralFrame>& a, const std::vector<SpectralFrame>& b, bool atEnd) {
  const size_t frames = std::min(a.size(), b.size());
  if (frames < 8) return 0.0;
  auto at = [&](const std::vector<SpectralFrame>& f, size_t t) -> const SpectralFrame& {
    return atEnd ? f[f.size() - frames + t] : f[t];
  };
  constexpr float kAudible = -90.0f;
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t t = 0; t + 1 < frames; ++t) {
    const SpectralFrame &a0 = at(a, t), &a1 = at(a, t + 1), &b0 = at(b, t), &b1 = at(b, t + 1);
    for (size_t band = 0; band < size_t(kSpectrumBands); ++band) {
      if (std::min({a0.bandsDb[band], a1.bandsDb[band], b0.bandsDb[band], b1.bandsDb[band]}) <= kAudible) continue;
      const double x = a1.bandsDb[band] - a0.bandsDb[band], y = b1.bandsDb[band] - b0.bandsDb[band];
      ab += x * y;
      aa += x * x;
      bb += y * y;
    }
  }
  return aa > 1e-9 && bb > 1e-9 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace

StationEvidence::StationEvidence(std::span<const ClipSummary> clips, const EvidenceWeights& weights)
    : clips_(clips), w_(weights), sides_(clips.size()), ends_(clips.size()), starts_(clips.size()) {
  for (size_t k = 0; k < clips.size(); ++k)
    if (clips[k].audible) measureInside(k);
  // What each measure looks like across a cut between unrelated audio: the
  // same measure between this clip and the other clips of the station.
  for (size_t k = 0; k < clips.size(); ++k) measureAgainstUnrelated(k);
}

void StationEvidence::measureInside(size_t k) {
  const ClipSummary& c = clips_[k];
  Sides& s = sides_[k];
  s.endLeft.emplace(c.tail.left);
  s.endRight.emplace(c.tail.right);
  s.startLeft.emplace(reversed(c.head.left));
  s.startRight.emplace(reversed(c.head.right));
  s.headLeft = EdgePredictor::lowBand(c.head.left);
  s.headRight = EdgePredictor::lowBand(c.head.right);
  const std::vector<float> backLeft = reversed(c.tail.left), backRight = reversed(c.tail.right);
  s.tailLeft = EdgePredictor::lowBand(backLeft);
  s.tailRight = EdgePredictor::lowBand(backRight);
  s.headReceives = EdgePredictor::canReceive(c.head.left) && EdgePredictor::canReceive(c.head.right);
  s.tailReceives = EdgePredictor::canReceive(backLeft) && EdgePredictor::canReceive(backRight);
  ends_[k] = endTimbre(c);
  starts_[k] = startTimbre(c);
  for (const auto* frames : {&c.tailSpectra, &c.headSpectra})
    for (double change : insideChanges(*frames)) s.timbreInside.push_back(std::log(change + 0.05));
  const std::vector<float> onsets = onsetStrengths(c.envelopeDb);
  const std::span<const float> all(onsets);
  s.beatEnd = beatBefore(all);
  s.beatStart = beatAfter(all);
  // Points inside the clip, every second, within 8 s of either end:
  // one performance, sections and fills included.
  for (size_t at = kBeatContext / 2; at + kBeatContext / 2 <= all.size(); at += 100) {
    if (at > 800 && at + 800 < all.size()) continue;
    if (const auto beat = beatContinuity(beatBefore(all.first(at)), beatAfter(all.subspan(at))))
      s.beatInside.push_back(*beat);
  }
}

void StationEvidence::measureAgainstUnrelated(size_t k) {
  Sides& s = sides_[k];
  const std::vector<size_t> unrelated = unrelatedTo(k);
  if (s.forwards()) {
    std::vector<ConditionalDensity::Sample> errors;
    for (size_t x : unrelated)
      if (sides_[x].headReceives)
        errors.push_back(stereoAcross(*s.endLeft, *s.endRight, sides_[x].headLeft, sides_[x].headRight));
    s.forwardTrue.emplace(trueDensity(*s.endLeft, *s.endRight));
    s.forwardFalse.emplace(unrelatedDensity(std::move(errors), s.tailLeft));
  }
  if (s.backwards()) {
    std::vector<ConditionalDensity::Sample> errors;
    for (size_t x : unrelated)
      if (sides_[x].tailReceives)
        errors.push_back(stereoAcross(*s.startLeft, *s.startRight, sides_[x].tailLeft, sides_[x].tailRight));
    s.backwardTrue.emplace(trueDensity(*s.startLeft, *s.startRight));
    s.backwardFalse.emplace(unrelatedDensity(std::move(errors), s.headLeft));
  }
  measureCarriedAgainstUnrelated(k, unrelated);
  if (s.beatEnd) {
    std::vector<double> beats;
    for (size_t x : unrelated)
      if (sides_[x].beatStart)
        if (const auto beat = beatContinuity(*s.beatEnd, *sides_[x].beatStart)) beats.push_back(*beat);
    s.beatFalse.emplace(std::move(beats), 0.0, 0.3);
  }
  if (!clips_[k].fineTail.empty()) {
    std::vector<double> likeness;
    for (size_t x : unrelated)
      if (const auto v = partialLikeness(clips_[k].fineTail, clips_[x].fineHead)) likeness.push_back(*v);
    s.partialsFalse.emplace(std::move(likeness), 0.35, 0.2);
  }
  for (size_t x : unrelated) {
    if (x == k) continue;
    s.headChangesByChance =
        std::max(s.headChangesByChance, changeLikeness(clips_[k].headSpectra, clips_[x].headSpectra, false));
    s.tailChangesByChance =
        std::max(s.tailChangesByChance, changeLikeness(clips_[k].tailSpectra, clips_[x].tailSpectra, true));
  }
  if (ends_[k]) {
    std::vector<double> distances;
    for (size_t x : unrelated)
      if (starts_[x]) distances.push_back(logDistance(*ends_[k], *starts_[x]));
    s.timbreFalse.emplace(std::move(distances), std::log(8.0), 0.7);
  }
}

// Frames of a head decoded with another clip's history for the carried
// null (the look across a junction reads no further), and how many
// unrelated clips it samples: each pair decodes those frames anew.
constexpr int kCarriedFrames = 4;
constexpr size_t kCarriedNull = 48;

// The carried parts of a junction are judged against cuts into unrelated
// clips decoded with the history clip k leaves (forwards) or that they
// leave before clip k (backwards): a decoder's history rings on into the
// first samples of any clip, so unrelated clips decoded alone would make
// every carried junction look smoother than its like.

void StationEvidence::measureCarriedAgainstUnrelated(size_t k, const std::vector<size_t>& all) {
  std::vector<size_t> unrelated;
  const size_t step = (all.size() + kCarriedNull - 1) / kCarriedNull;
  for (size_t i = 0; i < all.size(); i += std::max<size_t>(1, step)) unrelated.push_back(all[i]);
  Sides& s = sides_[k];
  const ClipSummary& clip = clips_[k];
  if (s.forwards()) {
    std::vector<ConditionalDensity::Sample> errors;
    for (size_t x : unrelated) {
      if (!sides_[x].headReceives || clips_[x].rawFrames == 0 || x == k) continue;
      const StereoEdge carried = headStartAfter(clip, clips_[x], kCarriedFrames);
      errors.push_back(stereoAcross(*s.endLeft, *s.endRight, EdgePredictor::lowBand(carried.left),
                                    EdgePredictor::lowBand(carried.right)));
    }
    if (!errors.empty()) s.forwardFalseCarried.emplace(unrelatedDensity(std::move(errors), s.tailLeft));
  }
  if (s.backwards() && clip.rawFrames > 0) {
    std::vector<ConditionalDensity::Sample> errors;
    for (size_t x : unrelated) {
      if (!sides_[x].tailReceives || x == k) continue;
      errors.push_back(backAcrossCarried(*s.startLeft, *s.startRight, headStartAfter(clips_[x], clip, kCarriedFrames),
                                         sides_[x].tailLeft, sides_[x].tailRight));
    }
    if (!errors.empty()) s.backwardFalseCarried.emplace(unrelatedDensity(std::move(errors), s.headLeft));
  }
}

StationEvidence::~StationEvidence() = default;

std::vector<size_t> StationEvidence::unrelatedTo(size_t k) const {
  std::vector<size_t> far, others;
  for (size_t x = 0; x < clips_.size(); ++x) {
    if (x == k || !clips_[x].audible) continue;
    others.push_back(x);
    if ((x > k ? x - k : k - x) > w_.nullDistance) far.push_back(x);
  }
  // A clip's own other end is unrelated music too.
  far.push_back(k);
  others.push_back(k);
  return far.size() >= 8 ? far : others;
}

double StationEvidence::forwardEvidence(size_t earlier, const StereoEdge& laterHead, bool carried) const {
  const Sides& a = sides_[earlier];
  if (!a.forwards() || !EdgePredictor::canReceive(laterHead.left) || !EdgePredictor::canReceive(laterHead.right))
    return 0.0;
  const auto across = stereoAcross(*a.endLeft, *a.endRight, EdgePredictor::lowBand(laterHead.left),
                                   EdgePredictor::lowBand(laterHead.right));
  const ConditionalDensity& ifFalse = carried && a.forwardFalseCarried ? *a.forwardFalseCarried : *a.forwardFalse;
  return logLikelihoodRatio(*a.forwardTrue, ifFalse, across.value, across.condition, w_.waveFloor, w_.waveCap);
}

double StationEvidence::backwardEvidence(size_t earlier, const Sides& later,
                                         const std::optional<StereoEdge>& carriedHead) const {
  const Sides& a = sides_[earlier];
  if (!a.tailReceives || !later.backwards() || !later.backwardTrue || !later.backwardFalse) return 0.0;
  ConditionalDensity::Sample across;
  if (carriedHead) {
    across = backAcrossCarried(*later.startLeft, *later.startRight, *carriedHead, a.tailLeft, a.tailRight);
  } else {
    across = stereoAcross(*later.startLeft, *later.startRight, a.tailLeft, a.tailRight);
  }
  const ConditionalDensity& ifFalse =
      carriedHead && later.backwardFalseCarried ? *later.backwardFalseCarried : *later.backwardFalse;
  return logLikelihoodRatio(*later.backwardTrue, ifFalse, across.value, across.condition, w_.waveFloor, w_.waveCap);
}

double StationEvidence::WaveformParts::combined() const {
  // Both directions look at one seam, so they are not two independent
  // witnesses: the clearer one counts whole, the other half. A true seam
  // seldom fails both ways; a cut between unrelated audio fails both.
  auto pair = [](double a, double b) { return std::max(a, b) + 0.5 * std::min(a, b); };
  return std::max(pair(forward, backward), pair(carriedForward, carriedBackward));
}

double StationEvidence::waveformJunction(size_t earlier, size_t later) const {
  return waveformParts(earlier, later).combined();
}

StationEvidence::WaveformParts StationEvidence::waveformParts(size_t earlier, size_t later) const {
  WaveformParts parts;
  const ClipSummary& a = clips_[earlier];
  const ClipSummary& b = clips_[later];
  if (!a.audible || !b.audible) return parts;
  parts.forward = forwardEvidence(earlier, b.head, false);
  parts.backward = backwardEvidence(earlier, sides_[later], std::nullopt);
  parts.carriedForward = parts.forward;
  parts.carriedBackward = parts.backward;
  if (b.rawFrames == 0) return parts;
  // The later clip's head as decoded after the earlier one: a disc encoded
  // as one stream needs the carried history, one whose clips were encoded
  // apart needs none. Either way a true junction is smooth. Only the first
  // frames differ, so the later side's predictor stays as fitted.
  const StereoEdge carried = headAfter(a, b);
  parts.carriedForward = forwardEvidence(earlier, carried, true);
  parts.carriedBackward = backwardEvidence(earlier, sides_[later], carried);
  return parts;
}

double StationEvidence::spectralJunction(size_t earlier, size_t later) const {
  const Sides& a = sides_[earlier];
  const Sides& b = sides_[later];
  if (!ends_[earlier] || !starts_[later] || !a.timbreFalse) return 0.0;
  std::vector<double> inside = a.timbreInside;
  inside.insert(inside.end(), b.timbreInside.begin(), b.timbreInside.end());
  const double middle = median(inside);
  const SampleDensity ifTrue(std::move(inside), middle, 0.7);
  return logLikelihoodRatio(ifTrue, *a.timbreFalse, logDistance(*ends_[earlier], *starts_[later]), w_.spectralFloor,
                            w_.spectralCap);
}

double StationEvidence::levelJunction(size_t earlier, size_t later) const {
  // A fade is no rest before a downbeat: music that faded out does not
  // run on into loud music, nor does a fade-in follow it.
  const LevelCues& a = clips_[earlier].cues;
  const LevelCues& b = clips_[later].cues;
  double evidence = 0.0;
  if (a.fadeOutShare > 0.0 && b.startDb > a.endDb + w_.levelJump) evidence -= w_.fadeIntoMusic;
  if (b.fadeInShare > 0.0 && a.endDb > b.startDb + w_.levelJump) evidence -= w_.fadeIntoMusic;
  return evidence;
}

bool StationEvidence::quietSeam(size_t earlier, size_t later) const {
  const LevelCues& a = clips_[earlier].cues;
  const LevelCues& b = clips_[later].cues;
  const bool bothQuiet = a.endDb < a.medianDb - w_.quietEnd && b.startDb < b.medianDb - w_.quietStart;
  const bool fallsAway = b.startDb < b.medianDb - w_.quietDrop && b.startDb < a.endDb - w_.quietDrop;
  return bothQuiet || fallsAway;
}

double StationEvidence::beatJunction(size_t earlier, size_t later) const {
  const Sides& a = sides_[earlier];
  const Sides& b = sides_[later];
  if (!a.beatFalse || !b.beatStart) return 0.0;
  const auto beat = beatContinuity(*a.beatEnd, *b.beatStart);
  if (!beat) return 0.0;
  std::vector<double> inside = a.beatInside;
  inside.insert(inside.end(), b.beatInside.begin(), b.beatInside.end());
  if (inside.size() < 4) return 0.0;
  const SampleDensity ifTrue(std::move(inside), 0.5, 0.3);
  return logLikelihoodRatio(ifTrue, *a.beatFalse, *beat, w_.beatFloor, w_.beatCap);
}

// The partials across the seam against how alike the two clips' own
// stretches are at that end: music holds its partials from one stretch to
// the next about as well on either side of a true seam as inside.
double StationEvidence::partialJunction(size_t earlier, size_t later) const {
  const Sides& a = sides_[earlier];
  if (!a.partialsFalse) return 0.0;
  const auto across = partialLikeness(clips_[earlier].fineTail, clips_[later].fineHead);
  const auto before = partialLikeness(clips_[earlier].fineTailBefore, clips_[earlier].fineTail);
  const auto after = partialLikeness(clips_[later].fineHead, clips_[later].fineHeadNext);
  if (!across || (!before && !after)) return 0.0;
  const double inside = before && after ? 0.5 * (*before + *after) : before ? *before : *after;
  const SampleDensity ifTrue({}, inside, 0.12);
  return logLikelihoodRatio(ifTrue, *a.partialsFalse, *across, w_.partialFloor, w_.partialCap);
}

double StationEvidence::junction(size_t earlier, size_t later) const {
  return waveformJunction(earlier, later) + spectralJunction(earlier, later) + beatJunction(earlier, later) +
         levelJunction(earlier, later) + partialJunction(earlier, later);
}

// Intros of one song are cut from one lead-in at different starts, so they
// end alike and begin apart; outros begin alike and end apart. Clips alike
// at the wrong end more than at the right one are no such pair.
double StationEvidence::introSiblings(size_t a, size_t b) const {
  if (!clips_[a].audible || !clips_[b].audible) return 0.0;
  const double ends = edgeSiblings(a, b, true);
  const double starts = edgeSiblings(a, b, false);
  return ends - std::max(0.0, starts - ends);
}

double StationEvidence::outroSiblings(size_t a, size_t b) const {
  if (!clips_[a].audible || !clips_[b].audible) return 0.0;
  const double ends = edgeSiblings(a, b, true);
  const double starts = edgeSiblings(a, b, false);
  return starts - std::max(0.0, ends - starts);
}

double StationEvidence::edgeSiblings(size_t a, size_t b, bool atEnd) const {
  const ClipSummary& x = clips_[a];
  const ClipSummary& y = clips_[b];
  const double waveform = siblingEvidence(stereoLikeness(atEnd ? x.tail : x.head, atEnd ? y.tail : y.head, atEnd), w_);
  const double changes =
      changeLikeness(atEnd ? x.tailSpectra : x.headSpectra, atEnd ? y.tailSpectra : y.headSpectra, atEnd);
  if (waveform >= 0.0) return waveform < w_.siblingFor && changes < w_.changesUnlike ? 0.0 : waveform;
  const double chance = atEnd ? std::max(sides_[a].tailChangesByChance, sides_[b].tailChangesByChance)
                              : std::max(sides_[a].headChangesByChance, sides_[b].headChangesByChance);
  return changes > std::max(w_.changesAlike, chance) ? 0.0 : waveform;
}

double StationEvidence::speechPenalty(size_t k) const {
  const LevelCues& c = clips_[k].cues;
  return -w_.speechAlone * std::clamp((c.silenceShare - 0.02) / 0.08, 0.0, 1.0);
}

}  // namespace wc
