#include "analysis/ClipFeatures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "audio/StereoDecoder.h"

namespace wc {
namespace {

// Below this the clip is silent (-60 dBFS).
constexpr double kSilentDb = -60.0;

struct Decoded {
  std::vector<float> left, right;
  DecoderState endLeft, endRight;  // the histories after the last frame
};

Decoded decodeAll(const ClipAudio& clip) {
  Decoded d;
  const uint32_t frames = clip.frames();
  d.left.reserve(size_t(frames) * kSamplesPerFrame);
  d.right.reserve(size_t(frames) * kSamplesPerFrame);
  DecoderState l, r;
  float left[kSamplesPerFrame], right[kSamplesPerFrame];
  for (uint32_t f = 0; f < frames; ++f) {
    const uint8_t* lf = clip.leftFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
    const uint8_t* rf = clip.rightFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
    if (!lf || !rf) break;
    decodeStereoFrameScaled(lf, rf, left, right, l, r);
    d.left.insert(d.left.end(), left, left + kSamplesPerFrame);
    d.right.insert(d.right.end(), right, right + kSamplesPerFrame);
  }
  d.endLeft = l;
  d.endRight = r;
  return d;
}

StereoEdge edge(const Decoded& d, size_t from, size_t to) {
  StereoEdge e;
  e.left.assign(d.left.begin() + ptrdiff_t(from), d.left.begin() + ptrdiff_t(to));
  e.right.assign(d.right.begin() + ptrdiff_t(from), d.right.begin() + ptrdiff_t(to));
  return e;
}

std::vector<float> mono(const Decoded& d, size_t from, size_t to) {
  std::vector<float> m(to - from);
  for (size_t i = from; i < to; ++i) m[i - from] = 0.5f * (d.left[i] + d.right[i]);
  return m;
}

std::vector<float> envelopeOf(const Decoded& d) {
  std::vector<float> env;
  for (size_t start = 0; start + kEnvelopeStep <= d.left.size(); start += kEnvelopeStep) {
    double sum = 0.0;
    for (size_t i = start; i < start + kEnvelopeStep; ++i) {
      const double m = 0.5 * (double(d.left[i]) + d.right[i]);
      sum += m * m;
    }
    env.push_back(float(10.0 * std::log10(sum / kEnvelopeStep + 1e-12)));
  }
  return env;
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

double median(std::vector<double> v) {
  if (v.empty()) return -120.0;
  std::nth_element(v.begin(), v.begin() + ptrdiff_t(v.size() / 2), v.end());
  return v[v.size() / 2];
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
  c.medianDb = median(level);
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
  const Decoded d = decodeAll(clip);
  const size_t n = d.left.size();
  s.samples = int64_t(n);
  s.head = edge(d, 0, std::min<size_t>(n, kEdgeSamples));
  s.tail = edge(d, n - std::min<size_t>(n, kEdgeSamples), n);
  const size_t spectral = std::min<size_t>(n, kSpectralEdgeSamples);
  s.headSpectra = spectra.frames(mono(d, 0, spectral));
  s.tailSpectra = spectra.frames(mono(d, n - spectral, n));
  s.envelopeDb = envelopeOf(d);
  s.cues = levelCues(s.envelopeDb);
  s.audible = !s.envelopeDb.empty() && s.cues.medianDb > kSilentDb;

  s.rawFrames = int(std::min<uint32_t>(clip.frames(), kRawHeadFrames));
  for (int f = 0; f < s.rawFrames; ++f) {
    std::memcpy(s.rawLeft.data() + 16 * f, clip.leftFrame(0, uint32_t(f)), 16);
    std::memcpy(s.rawRight.data() + 16 * f, clip.rightFrame(0, uint32_t(f)), 16);
  }
  s.endLeft = d.endLeft;
  s.endRight = d.endRight;
  return s;
}

StereoEdge headAfter(const ClipSummary& previous, const ClipSummary& next) {
  StereoEdge head = next.head;
  DecoderState l = previous.endLeft, r = previous.endRight;
  float left[kSamplesPerFrame], right[kSamplesPerFrame];
  for (int f = 0; f < next.rawFrames && size_t(f + 1) * kSamplesPerFrame <= head.size(); ++f) {
    decodeStereoFrameScaled(next.rawLeft.data() + 16 * f, next.rawRight.data() + 16 * f, left, right, l, r);
    std::copy(left, left + kSamplesPerFrame, head.left.begin() + f * kSamplesPerFrame);
    std::copy(right, right + kSamplesPerFrame, head.right.begin() + f * kSamplesPerFrame);
  }
  return head;
}

}  // namespace wc
