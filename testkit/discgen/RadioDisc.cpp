#include "testkit/discgen/RadioDisc.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <numbers>
#include <thread>

#include "testkit/discgen/AdpcmEncoder.h"
#include "testkit/discgen/Onsets.h"
#include "testkit/discgen/XorShift.h"

namespace wc {
namespace {

class Draw : public XorShift32 {
 public:
  explicit Draw(uint32_t seed) : XorShift32(seed, 0x3C6EF372u) {}
  // 0..8 follow-ons, mostly 0..3.
  int followOns() {
    const double p = between(0.0, 1.0);
    if (p < 0.2) return 0;
    if (p < 0.45) return 1;
    if (p < 0.7) return 2;
    if (p < 0.85) return 3;
    return 4 + int(below(5));
  }
};

// Clips hold whole 28-sample frames, so every cut falls on a frame boundary.
constexpr size_t kFrame = 28;
size_t wholeFrames(size_t samples) { return std::max<size_t>(1, samples / kFrame) * kFrame; }
size_t framesFor(double seconds) { return wholeFrames(samplesFor(seconds)); }
double secondsOf(size_t samples) { return double(samples) / kSignalSampleRate; }

MixBuffer slice(const MixBuffer& m, size_t from, size_t to) {
  to = std::min(to, m.samples());
  MixBuffer out;
  out.left.assign(m.left.begin() + ptrdiff_t(from), m.left.begin() + ptrdiff_t(to));
  out.right.assign(m.right.begin() + ptrdiff_t(from), m.right.begin() + ptrdiff_t(to));
  out.left.resize(to > from ? to - from : 0);
  out.right.resize(out.left.size());
  return out;
}

// Music that stops: the hit at `at` rings on briefly, then dies away
// exponentially to silence.
void stopCold(MixBuffer& music, size_t at, double ringSeconds, double decaySeconds) {
  const size_t from = std::min(music.samples(), at + samplesFor(ringSeconds));
  const double perSample = std::exp(-1.0 / (decaySeconds * kSignalSampleRate));
  double gain = 1.0;
  for (size_t i = from; i < music.samples(); ++i) {
    gain *= perSample;
    music.left[i] *= float(gain);
    music.right[i] *= float(gain);
  }
}

// A voice over [from, to) of `clip`, the music ducked beneath it. A line
// longer than the window is cut at its end: with a short fade inside the
// clip, bare where it runs into a seam.
void speakOver(MixBuffer& clip, size_t from, size_t to, std::vector<float> voice, float peak, float duckedGain,
               bool intoSeam) {
  if (to <= from || voice.empty()) return;
  if (voice.size() > to - from) {
    voice.resize(to - from);
    if (!intoSeam) {
      const size_t fade = std::min(voice.size(), samplesFor(0.06));
      for (size_t i = 0; i < fade; ++i) voice[voice.size() - 1 - i] *= float(i) / float(fade);
    }
  }
  duck(clip, from, from + voice.size(), duckedGain);
  clip.addMono(voice, ptrdiff_t(from), peak / 0.9f);
}

std::vector<float> lineFor(const RadioMaterial& material, Draw& d, double seconds) {
  const uint32_t speaker = d.next();
  return material.line(speaker, d.next(), std::max(0.4, seconds));
}

// The clips of one performance, encoded as one stream or each apart.
class BlockEncoder {
 public:
  explicit BlockEncoder(bool stream) : stream_(stream) {}
  // Runs the encoder's history through audio that is no clip of its own.
  void leadIn(const MixBuffer& m) {
    if (stream_) encodeWith(state_, m);
  }
  EncodedClip next(const MixBuffer& m) { return stream_ ? encodeWith(state_, m) : encodeStereo(toStereoSignal(m)); }
  // A clip that continues from the current history without advancing it.
  EncodedClip branch(const MixBuffer& m) const {
    if (!stream_) return encodeStereo(toStereoSignal(m));
    State copy = state_;
    return encodeWith(copy, m);
  }
  static EncodedClip apart(const MixBuffer& m) { return encodeStereo(toStereoSignal(m)); }

 private:
  struct State {
    AdpcmEncoder left, right;
  };
  static EncodedClip encodeWith(State& s, const MixBuffer& m) {
    const StereoSignal signal = toStereoSignal(m);
    const size_t frames = signal.samples() / kFrame;
    EncodedClip clip;
    clip.left.resize(frames * kAdpcmFrameBytes);
    clip.right.resize(frames * kAdpcmFrameBytes);
    for (size_t f = 0; f < frames; ++f) {
      s.left.encodeFrame(signal.left.data() + kFrame * f, clip.left.data() + kAdpcmFrameBytes * f);
      s.right.encodeFrame(signal.right.data() + kFrame * f, clip.right.data() + kAdpcmFrameBytes * f);
    }
    return clip;
  }
  bool stream_;
  State state_;
};

ClipPlan clipOf(ClipClass clipClass, EncodedClip frames) {
  ClipPlan c;
  c.clipClass = clipClass;
  c.frames = std::move(frames);
  return c;
}

// A cut near `target`: on the strongest onset within reach, or anywhere
// in reach.
size_t cutNear(const MixBuffer& music, size_t target, size_t reach, Draw& d) {
  const size_t cut =
      d.chance(0.6) ? strongestOnsetNear(music, target, reach) : target - reach + size_t(d.below(uint32_t(2 * reach)));
  return cut / kFrame * kFrame;
}

ClipPlan songBlock(const RadioMaterial& material, uint32_t seed, const BareDiscSize& size, bool stream) {
  Draw d(seed);
  const bool fullLength = !size.small && d.chance(0.3);
  const double songSeconds = size.small   ? d.between(6.0, 16.0)
                             : fullLength ? d.between(150.0, 300.0)
                                          : d.between(20.0, 90.0);
  int intros = d.followOns();
  int outros = d.followOns();
  if (intros + outros == 0 && !(fullLength && d.chance(0.3))) outros = 1;
  std::vector<size_t> introLengths, outroLengths;
  for (int i = 0; i < intros; ++i) introLengths.push_back(framesFor(d.between(1.5, size.small ? 4.0 : 8.0)));
  for (int i = 0; i < outros; ++i) outroLengths.push_back(framesFor(d.between(2.5, size.small ? 5.0 : 10.0)));
  const size_t lead = introLengths.empty() ? 0 : *std::max_element(introLengths.begin(), introLengths.end());
  const size_t tail = outroLengths.empty() ? 0 : *std::max_element(outroLengths.begin(), outroLengths.end());

  const size_t reach = samplesFor(0.75);
  const size_t startTarget = lead + 2 * reach;
  const size_t body = samplesFor(songSeconds);
  const uint32_t piece = d.next();
  MixBuffer performance =
      material.music(piece, d.between(0.0, 1.0), secondsOf(startTarget + body + 2 * reach + tail) + 0.5);
  const size_t start = cutNear(performance, startTarget, reach, d);
  const size_t end = start + (cutNear(performance, start + body, reach, d) - start) / kFrame * kFrame;
  performance.left.resize(std::max(performance.samples(), end + tail));
  performance.right.resize(performance.left.size());

  BlockEncoder encoder(stream);
  encoder.leadIn(slice(performance, start - lead, start));
  MixBuffer songMix = slice(performance, start, end);
  if (outros == 0) {
    // A song nothing follows ends by itself: cold, faded, or just cut.
    const double p = d.between(0.0, 1.0);
    const size_t n = songMix.samples();
    if (p < 0.35)
      stopCold(songMix, strongestOnsetNear(songMix, n - samplesFor(1.5), samplesFor(0.5)), d.between(0.05, 0.2),
               d.between(0.08, 0.35));
    else if (p < 0.7)
      fadeOut(songMix, n - std::min(n / 2, samplesFor(d.between(3.0, 8.0))), n, FadeShape(d.below(3)));
  }
  ClipPlan song = clipOf(ClipClass::Song, encoder.next(songMix));

  for (size_t length : introLengths) {
    MixBuffer intro = slice(performance, start - length, start);
    if (d.chance(0.75)) {
      const size_t from = std::min(length / 3, samplesFor(d.between(0.05, 0.6)));
      const bool intoSeam = d.chance(0.25);
      const size_t to = intoSeam ? length : length - std::min(length / 3, samplesFor(d.between(0.2, 1.2)));
      const double seconds = secondsOf(to - from) * (intoSeam ? 1.3 : d.between(0.6, 1.0));
      speakOver(intro, from, to, lineFor(material, d, seconds), float(d.between(0.5, 0.85)), float(d.between(0.2, 0.5)),
                intoSeam);
    }
    song.intros.push_back(clipOf(ClipClass::Other3, BlockEncoder::apart(intro)));
  }
  for (size_t length : outroLengths) {
    MixBuffer outro = slice(performance, end, end + length);
    const bool cold = d.chance(0.2);
    if (cold) {
      stopCold(outro, strongestOnsetNear(outro, length * 3 / 4, length / 8), d.between(0.05, 0.2),
               d.between(0.08, 0.35));
    } else {
      const size_t fade = size_t(double(length) * d.between(0.35, 0.8));
      fadeOut(outro, length - fade, length, FadeShape(d.below(3)));
    }
    if (d.chance(0.7)) {
      const bool intoSeam = d.chance(0.25);
      const size_t from = intoSeam ? 0 : samplesFor(d.between(0.1, 0.8));
      const size_t to = length - std::min(length / 3, samplesFor(d.between(0.3, 1.0)));
      if (to > from + samplesFor(0.5))
        speakOver(outro, from, to, lineFor(material, d, secondsOf(to - from) * d.between(0.6, 1.0)),
                  float(d.between(0.5, 0.85)), float(d.between(0.2, 0.5)), false);
    }
    song.outros.push_back(clipOf(ClipClass::Other4, encoder.branch(outro)));
  }
  return song;
}

// Lines one after another with short pauses, filling `samples`.
MixBuffer talk(const RadioMaterial& material, Draw& d, size_t samples, float peak) {
  MixBuffer m(samples);
  const uint32_t speakers[2] = {d.next(), d.next()};
  const bool twoVoices = d.chance(0.3);
  size_t at = samplesFor(d.between(0.0, 0.3));
  for (int turn = 0; at + samplesFor(0.8) < samples; ++turn) {
    const size_t room = samples - at;
    const uint32_t speaker = speakers[twoVoices ? turn % 2 : 0];
    std::vector<float> line = material.line(speaker, d.next(), std::min(secondsOf(room), d.between(1.5, 5.0)));
    line.resize(std::min(line.size(), room));
    m.addMono(line, ptrdiff_t(at), peak / 0.9f, float(d.between(-0.2, 0.2)));
    at += line.size() + samplesFor(d.between(0.2, 0.7));
  }
  return m;
}

enum class Between { Chatter, BedChatter, Commercial, Identification };

ClipPlan betweenClip(const RadioMaterial& material, Between kind, uint32_t seed, const BareDiscSize& size) {
  Draw d(seed);
  const bool small = size.small;
  if (kind == Between::Identification) {
    const size_t n = framesFor(d.between(1.5, small ? 3.0 : 5.0));
    MixBuffer music = material.music(d.next(), d.between(0.0, 1.0), secondsOf(n) + 2.0);
    const size_t first = strongestOnsetNear(music, samplesFor(1.0), samplesFor(0.9)) / kFrame * kFrame;
    MixBuffer jingle = slice(music, first, first + n);
    if (d.chance(0.6))
      stopCold(jingle, strongestOnsetNear(jingle, n * 2 / 3, n / 6), d.between(0.05, 0.2), d.between(0.06, 0.25));
    else
      fadeOut(jingle, n * 3 / 4, n, FadeShape(d.below(3)));
    if (d.chance(0.5))
      speakOver(jingle, samplesFor(0.1), n * 2 / 3, lineFor(material, d, secondsOf(n) * 0.5),
                float(d.between(0.5, 0.85)), 0.4f, false);
    return clipOf(ClipClass::ChatterFive, BlockEncoder::apart(jingle));
  }
  const double seconds = kind == Between::Commercial ? d.between(small ? 4.0 : 10.0, small ? 8.0 : 30.0)
                                                     : d.between(small ? 2.0 : 3.0, small ? 5.0 : 15.0);
  const size_t n = framesFor(seconds);
  MixBuffer clip = talk(material, d, n, float(d.between(0.5, 0.9)));
  if (kind != Between::Chatter) {
    MixBuffer bed = material.music(d.next(), d.between(0.0, 1.0), secondsOf(n) + 0.1);
    const float gain = kind == Between::Commercial ? float(d.between(0.2, 0.45)) : float(d.between(0.08, 0.25));
    bed.left.resize(n);
    bed.right.resize(n);
    bed.ramp(0, samplesFor(d.between(0.02, 0.5)), 0.0f, 1.0f);
    bed.ramp(n - std::min(n / 4, samplesFor(d.between(0.02, 0.8))), n, 1.0f, 0.0f);
    clip.add(bed, 0, gain);
  }
  return clipOf(ClipClass::Chatter, BlockEncoder::apart(clip));
}

struct Item {
  bool song = false;
  Between kind = Between::Chatter;
  uint32_t seed = 0;
};

void forEachInParallel(size_t count, unsigned threads, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  const auto run = [&] {
    for (size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::jthread> pool;
  for (unsigned t = 1; t < std::max(1u, threads); ++t) pool.emplace_back(run);
  run();
}

}  // namespace

void fadeOut(MixBuffer& music, size_t from, size_t to, FadeShape shape) {
  to = std::min(to, music.samples());
  for (size_t i = from; i < music.samples(); ++i) {
    float gain = 0.0f;
    if (i < to) {
      const double t = double(i - from) / double(to - from);
      switch (shape) {
        case FadeShape::Linear: gain = float(1.0 - t); break;
        case FadeShape::RaisedCosine: gain = float(0.5 * (1.0 + std::cos(std::numbers::pi * t))); break;
        case FadeShape::LinearDecibels: gain = float(std::pow(10.0, -60.0 * t / 20.0) * (1.0 - t * t * t)); break;
      }
    }
    music.left[i] *= gain;
    music.right[i] *= gain;
  }
}

DiscPlan radioDiscPlan(const RadioMaterial& material, uint32_t family, uint32_t seed, const BareDiscSize& size) {
  Draw layout(seed ^ (family + 1) * 0x9E3779B9u);
  const bool stream = layout.chance(0.5);
  DiscPlan plan;
  plan.unlistEmptyStations = true;
  std::vector<std::vector<Item>> stations;
  for (int index : {4, 8, 13}) {
    StationPlan s;
    s.index = index;
    s.listed = true;
    plan.stations.push_back(std::move(s));
    std::vector<Item>& items = stations.emplace_back();
    const auto between = [&] {
      const double p = layout.between(0.0, 1.0);
      const int n = p < 0.3 ? 0 : p < 0.7 ? 1 : p < 0.9 ? 2 : 3;
      for (int i = 0; i < n; ++i) {
        const double k = layout.between(0.0, 1.0);
        const Between kind = k < 0.35   ? Between::Chatter
                             : k < 0.6  ? Between::BedChatter
                             : k < 0.75 ? Between::Commercial
                                        : Between::Identification;
        items.push_back({false, kind, layout.next()});
      }
    };
    if (layout.chance(0.5)) between();
    for (int k = 0; k < size.songsPerStation; ++k) {
      items.push_back({true, Between::Chatter, layout.next()});
      between();
    }
  }

  std::vector<std::pair<size_t, size_t>> jobs;
  for (size_t s = 0; s < stations.size(); ++s) {
    plan.stations[s].clips.resize(stations[s].size());
    for (size_t k = 0; k < stations[s].size(); ++k) jobs.emplace_back(s, k);
  }
  // Songs first: they are the long jobs.
  std::stable_partition(jobs.begin(), jobs.end(), [&](auto j) { return stations[j.first][j.second].song; });
  forEachInParallel(jobs.size(), size.threads, [&](size_t j) {
    const auto [s, k] = jobs[j];
    const Item& item = stations[s][k];
    plan.stations[s].clips[k] =
        item.song ? songBlock(material, item.seed, size, stream) : betweenClip(material, item.kind, item.seed, size);
  });
  // A station holds at most 256 clips with the follow-ons: drop blocks from
  // the end until it fits.
  for (StationPlan& s : plan.stations) {
    const auto count = [&] {
      size_t n = 0;
      for (const ClipPlan& c : s.clips) n += 1 + c.intros.size() + c.outros.size();
      return n;
    };
    while (count() > size_t(kMaxClipsPerStation)) s.clips.pop_back();
  }
  return plan;
}

}  // namespace wc
