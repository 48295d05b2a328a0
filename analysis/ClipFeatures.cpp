#include "analysis/ClipFeatures.h"

#include <algorithm>
#include <cstring>

#include "audio/StereoDecoder.h"

namespace wc {
namespace {

// Frames decoded ahead of a stretch that starts mid-clip. The history starts
// at zero there; every filter's poles lie inside 0.97 in magnitude, so after
// 16 frames (448 samples) its error has decayed below a millionth.
constexpr uint32_t kWarmUpFrames = 16;
// The sampled windows: 12 measured frames (336 samples, 14 ms) every 40
// frames (47 ms), each after 4 warm-up frames. Pauses between words last a
// tenth of a second and more, so this step sees them; the estimate of their
// share needs many windows, not contiguous ones.
constexpr uint32_t kWindowFrames = 12;
constexpr uint32_t kWindowWarmUp = 4;
constexpr uint32_t kWindowStep = 40;
// A window below this share of the median power is a pause (-16 dB).
constexpr double kPauseShareOfMedian = 0.025;
// A window below this share of the median power is silence (-30 dB).
constexpr double kSilenceShareOfMedian = 1e-3;
// Below this the clip is silent (-60 dBFS).
constexpr double kSilentPower = 1e-6;

// Frame f (counted over the whole clip) of each channel.
struct FrameCursor {
  const ClipAudio& clip;
  const uint8_t* left(uint32_t f) const {
    return clip.leftFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
  }
  const uint8_t* right(uint32_t f) const {
    return clip.rightFrame(f / ClipAudio::kFramesPerChunk, f % ClipAudio::kFramesPerChunk);
  }
};

// Decodes frames [from, to) into mono samples appended to `out` (may be
// null), the histories carried in `l` and `r`.
void decodeMono(const FrameCursor& cursor, uint32_t from, uint32_t to, DecoderState& l, DecoderState& r,
                std::vector<float>* out) {
  float left[kSamplesPerFrame], right[kSamplesPerFrame];
  for (uint32_t f = from; f < to; ++f) {
    const uint8_t* lf = cursor.left(f);
    const uint8_t* rf = cursor.right(f);
    if (!lf || !rf) return;
    decodeStereoFrameScaled(lf, rf, left, right, l, r);
    if (out)
      for (int i = 0; i < kSamplesPerFrame; ++i) out->push_back(0.5f * (left[i] + right[i]));
  }
}

double power(const float* x, size_t n) {
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) sum += double(x[i]) * x[i];
  return n ? sum / double(n) : 0.0;
}

}  // namespace

ClipSummary summarizeClip(const ClipAudio& clip) {
  ClipSummary s;
  const uint32_t frames = clip.frames();
  s.samples = clip.samples();
  if (frames == 0) return s;
  const FrameCursor cursor{clip};
  constexpr uint32_t kEdgeFrames = (kEdgeSamples + kSamplesPerFrame - 1) / kSamplesPerFrame;

  DecoderState l, r;
  decodeMono(cursor, 0, std::min(frames, kEdgeFrames), l, r, &s.head);
  if (s.head.size() > size_t(kEdgeSamples)) s.head.resize(kEdgeSamples);
  s.rawFrames = int(std::min<uint32_t>(frames, kRawHeadFrames));
  for (int f = 0; f < s.rawFrames; ++f) {
    std::memcpy(s.rawLeft.data() + 16 * f, cursor.left(uint32_t(f)), 16);
    std::memcpy(s.rawRight.data() + 16 * f, cursor.right(uint32_t(f)), 16);
  }

  const uint32_t tailFrom = frames > kEdgeFrames ? frames - kEdgeFrames : 0;
  const uint32_t warmFrom = tailFrom > kWarmUpFrames ? tailFrom - kWarmUpFrames : 0;
  l = r = DecoderState{};
  decodeMono(cursor, warmFrom, tailFrom, l, r, nullptr);
  decodeMono(cursor, tailFrom, frames, l, r, &s.tail);
  if (s.tail.size() > size_t(kEdgeSamples)) s.tail.erase(s.tail.begin(), s.tail.end() - kEdgeSamples);
  s.endLeft = l;
  s.endRight = r;

  std::vector<double> powers;
  std::vector<float> window;
  for (uint32_t start = 0; start + kWindowFrames <= frames; start += kWindowStep) {
    const uint32_t warm = start > kWindowWarmUp ? start - kWindowWarmUp : 0;
    DecoderState wl, wr;
    decodeMono(cursor, warm, start, wl, wr, nullptr);
    window.clear();
    decodeMono(cursor, start, start + kWindowFrames, wl, wr, &window);
    powers.push_back(power(window.data(), window.size()));
  }
  if (powers.empty())
    powers.push_back(std::max(power(s.head.data(), s.head.size()), power(s.tail.data(), s.tail.size())));
  std::vector<double> sorted = powers;
  std::nth_element(sorted.begin(), sorted.begin() + ptrdiff_t(sorted.size() / 2), sorted.end());
  s.medianPower = sorted[sorted.size() / 2];
  s.audible = s.medianPower > kSilentPower;
  if (s.audible) {
    const double quiet = s.medianPower * kPauseShareOfMedian;
    const auto pauses = std::count_if(powers.begin(), powers.end(), [quiet](double p) { return p < quiet; });
    s.pauseShare = double(pauses) / double(powers.size());
    const double silent = s.medianPower * kSilenceShareOfMedian;
    const auto silences = std::count_if(powers.begin(), powers.end(), [silent](double p) { return p < silent; });
    s.silenceShare = double(silences) / double(powers.size());
  }
  return s;
}

std::vector<float> headAfter(const ClipSummary& previous, const ClipSummary& next) {
  std::vector<float> head;
  DecoderState l = previous.endLeft, r = previous.endRight;
  float left[kSamplesPerFrame], right[kSamplesPerFrame];
  for (int f = 0; f < next.rawFrames; ++f) {
    decodeStereoFrameScaled(next.rawLeft.data() + 16 * f, next.rawRight.data() + 16 * f, left, right, l, r);
    for (int i = 0; i < kSamplesPerFrame; ++i) head.push_back(0.5f * (left[i] + right[i]));
  }
  return head;
}

}  // namespace wc
