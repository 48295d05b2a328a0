#include "analysis/ClipFeatures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "analysis/Percentile.h"
#include "audio/StereoDecoder.h"

namespace wc {
namespace {

// Below this the clip is silent (-60 dBFS).
constexpr double kSilentDb = -60.0;

// Everything the summary keeps, gathered in one pass over the frames: the
// whole clip is never held, only its ends and its envelope.
struct Gathered {
  StereoEdge head, tail;
  std::vector<float> headMono, tailMono;  // the ends the spectra are taken of
  std::vector<float> envelope;
  DecoderState endLeft, endRight;  // the histories after the last frame
  size_t samples = 0;
};

Gathered decodeOnce(const ClipAudio& clip) {
  Gathered g;
  const uint32_t frames = clip.frames();
  const size_t n = size_t(frames) * kSamplesPerFrame;
  const size_t edge = std::min<size_t>(n, kEdgeSamples), spectral = std::min<size_t>(n, kSpectralEdgeSamples);
  const size_t tailFrom = n - edge, spectralFrom = n - spectral;
  g.tail.left.reserve(edge);
  g.tail.right.reserve(edge);
  g.tailMono.reserve(spectral);
  g.envelope.reserve(n / kEnvelopeStep);
  DecoderState l, r;
  float left[kSamplesPerFrame], right[kSamplesPerFrame], mono[kSamplesPerFrame];
  // The samples of this frame that fall in [from, to), appended to `out`.
  auto keep = [](const float* x, size_t at, size_t from, size_t to, std::vector<float>& out) {
    const size_t begin = std::max(at, from), end = std::min(at + kSamplesPerFrame, to);
    if (begin < end) out.insert(out.end(), x + (begin - at), x + (end - at));
  };
  double power = 0.0;
  size_t inStep = 0, at = 0;
  for (uint32_t f = 0; f < frames; ++f, at += kSamplesPerFrame) {
    const uint8_t* lf = clip.leftFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
    const uint8_t* rf = clip.rightFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
    if (!lf || !rf) break;
    decodeStereoFrameScaled(lf, rf, left, right, l, r);
    for (int i = 0; i < kSamplesPerFrame; ++i) mono[i] = 0.5f * (left[i] + right[i]);
    keep(left, at, 0, edge, g.head.left);
    keep(right, at, 0, edge, g.head.right);
    keep(mono, at, 0, spectral, g.headMono);
    keep(left, at, tailFrom, n, g.tail.left);
    keep(right, at, tailFrom, n, g.tail.right);
    keep(mono, at, spectralFrom, n, g.tailMono);
    // Envelope steps of 240 samples hold whole frames' parts: sum the
    // frame in two pieces where a step ends inside it.
    int i = 0;
    while (i < kSamplesPerFrame) {
      const int take = std::min(kSamplesPerFrame - i, int(kEnvelopeStep - inStep));
      float sum = 0.0f;
      for (int j = i; j < i + take; ++j) sum += mono[j] * mono[j];
      power += sum;
      inStep += size_t(take);
      i += take;
      if (inStep == kEnvelopeStep) {
        g.envelope.push_back(float(10.0 * std::log10(power / kEnvelopeStep + 1e-12)));
        power = 0.0;
        inStep = 0;
      }
    }
  }
  g.samples = at;
  g.endLeft = l;
  g.endRight = r;
  return g;
}

// Moving average over 2 * half + 1 steps (shorter at the ends).
std::vector<double> smoothed(const std::vector<float>& x, size_t half) {
  std::vector<double> prefix(x.size() + 1, 0.0);
  for (size_t i = 0; i < x.size(); ++i) prefix[i + 1] = prefix[i] + x[i];
  std::vector<double> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const size_t from = i > half ? i - half : 0, to = std::min(x.size(), i + half + 1);
    out[i] = (prefix[to] - prefix[from]) / double(to - from);
  }
  return out;
}

// Maximum over i - half .. i + half, in one pass (monotonic queue).
std::vector<float> slidingMax(const std::vector<float>& x, size_t half) {
  std::vector<float> out(x.size());
  std::deque<size_t> q;
  size_t next = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const size_t to = std::min(x.size(), i + half + 1);
    for (; next < to; ++next) {
      while (!q.empty() && x[q.back()] <= x[next]) q.pop_back();
      q.push_back(next);
    }
    while (q.front() + half < i) q.pop_front();
    out[i] = x[q.front()];
  }
  return out;
}

// Steps of a fade at the end of `level` (a smoothed envelope): from the last
// step still near the usual level to the end, if the end lies far below it.
size_t fadeSteps(const std::vector<double>& level, double usual) {
  constexpr double kNear = 3.0, kFar = 12.0;
  constexpr size_t kMinimum = 30;  // 0.3 s: shorter is a cut, not a fade
  const size_t n = level.size();
  if (n < kMinimum || level[n - 1] > usual - kFar) return 0;
  size_t start = n;
  while (start > 0 && level[start - 1] < usual - kNear) --start;
  const size_t steps = n - start;
  return steps >= kMinimum ? steps : 0;
}

}  // namespace

LevelCues levelCues(const std::vector<float>& env) {
  LevelCues c;
  if (env.empty()) return c;
  const std::vector<double> level = smoothed(env, 15);
  c.medianDb = percentile(level, 50, -120.0);
  c.loudDb = percentile(level, 90, -120.0);
  auto meanOf = [&](size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += env[i];
    return to > from ? sum / double(to - from) : -120.0;
  };
  const size_t edge = std::min<size_t>(5, env.size());
  c.endDb = meanOf(env.size() - edge, env.size());
  c.startDb = meanOf(0, edge);
  const size_t fadeOut = fadeSteps(level, c.medianDb);
  std::vector<double> reversed(level.rbegin(), level.rend());
  const size_t fadeIn = std::min(env.size() - fadeOut, fadeSteps(reversed, c.medianDb));
  c.fadeOutShare = double(fadeOut) / double(env.size());
  c.fadeInShare = double(fadeIn) / double(env.size());

  // Pauses against the level around each step, away from the fades and
  // from stretches that are quiet as a whole (a rest, a fade's tail).
  const std::vector<float> around = slidingMax(env, 20);
  size_t counted = 0, pauses = 0, silences = 0;
  for (size_t i = fadeIn; i < env.size() - fadeOut; ++i) {
    if (around[i] < c.medianDb - 20.0) continue;
    ++counted;
    if (env[i] < around[i] - 15.0) ++pauses;
    if (env[i] < around[i] - 35.0 || env[i] < -75.0) ++silences;
  }
  if (counted) {
    c.pauseShare = double(pauses) / double(counted);
    c.silenceShare = double(silences) / double(counted);
  }
  return c;
}

ClipSummary summarizeClip(const ClipAudio& clip, SpectrumAnalyser& spectra) {
  ClipSummary s;
  s.samples = clip.samples();
  if (clip.frames() == 0) return s;
  Gathered g = decodeOnce(clip);
  s.samples = int64_t(g.samples);
  s.head = std::move(g.head);
  s.tail = std::move(g.tail);
  s.headSpectra = spectra.frames(g.headMono);
  s.tailSpectra = spectra.frames(g.tailMono);
  constexpr size_t kFine = kFineFrame, kGap = kFineGap;
  s.fineHead = spectra.fineSpectrum(g.headMono, kGap);
  s.fineHeadNext = spectra.fineSpectrum(g.headMono, 2 * kGap + kFine);
  if (g.tailMono.size() >= 2 * kFine + kGap) {
    s.fineTail = spectra.fineSpectrum(g.tailMono, g.tailMono.size() - kFine);
    s.fineTailBefore = spectra.fineSpectrum(g.tailMono, g.tailMono.size() - 2 * kFine - kGap);
  }
  s.envelopeDb = std::move(g.envelope);
  s.cues = levelCues(s.envelopeDb);
  // A clip silent for most of its length may still hold seconds of music.
  s.audible = !s.envelopeDb.empty() && s.cues.loudDb > kSilentDb;
  s.endLeft = g.endLeft;
  s.endRight = g.endRight;

  s.rawFrames = int(std::min<uint32_t>(clip.frames(), kRawHeadFrames));
  for (int f = 0; f < s.rawFrames; ++f) {
    std::memcpy(s.rawLeft.data() + 16 * f, clip.leftFrame(0, uint32_t(f)), 16);
    std::memcpy(s.rawRight.data() + 16 * f, clip.rightFrame(0, uint32_t(f)), 16);
  }
  return s;
}

namespace {

// Decodes the first frames of `next` after `previous` over the start of `head`.
void decodeAfter(const ClipSummary& previous, const ClipSummary& next, StereoEdge& head) {
  DecoderState l = previous.endLeft, r = previous.endRight;
  float left[kSamplesPerFrame], right[kSamplesPerFrame];
  for (int f = 0; f < next.rawFrames && size_t(f + 1) * kSamplesPerFrame <= head.size(); ++f) {
    decodeStereoFrameScaled(next.rawLeft.data() + 16 * f, next.rawRight.data() + 16 * f, left, right, l, r);
    std::copy(left, left + kSamplesPerFrame, head.left.begin() + f * kSamplesPerFrame);
    std::copy(right, right + kSamplesPerFrame, head.right.begin() + f * kSamplesPerFrame);
  }
}

}  // namespace

StereoEdge headAfter(const ClipSummary& previous, const ClipSummary& next) {
  StereoEdge head = next.head;
  decodeAfter(previous, next, head);
  return head;
}

StereoEdge headStartAfter(const ClipSummary& previous, const ClipSummary& next, int frames) {
  const size_t samples = std::min(next.head.size(), size_t(std::max(0, frames)) * kSamplesPerFrame);
  StereoEdge head;
  head.left.assign(next.head.left.begin(), next.head.left.begin() + ptrdiff_t(samples));
  head.right.assign(next.head.right.begin(), next.head.right.begin() + ptrdiff_t(samples));
  decodeAfter(previous, next, head);
  return head;
}

}  // namespace wc
