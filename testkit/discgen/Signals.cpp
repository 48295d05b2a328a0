#include "testkit/discgen/Signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "testkit/discgen/XorShift.h"

namespace wc {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

class Random : public XorShift32 {
 public:
  explicit Random(uint32_t seed) : XorShift32(seed, 0x9E3779B9u) {}
};

int16_t toSample(double v) { return int16_t(std::clamp(std::lround(v * 32767.0), -32768L, 32767L)); }

double noteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

}  // namespace

StereoSignal makeSilence(size_t samples) {
  StereoSignal s;
  s.left.assign(samples, 0);
  s.right.assign(samples, 0);
  return s;
}

StereoSignal makeSine(size_t samples, double leftHz, double rightHz, double amplitude) {
  StereoSignal s = makeSilence(samples);
  for (size_t i = 0; i < samples; ++i) {
    const double t = double(i) / kSignalSampleRate;
    s.left[i] = toSample(amplitude * std::sin(kTwoPi * leftHz * t));
    s.right[i] = toSample(amplitude * std::sin(kTwoPi * rightHz * t));
  }
  return s;
}

StereoSignal makeNoise(size_t samples, uint32_t seed, double amplitude) {
  StereoSignal s = makeSilence(samples);
  Random random(seed);
  for (size_t i = 0; i < samples; ++i) {
    s.left[i] = toSample(amplitude * random.bipolar());
    s.right[i] = toSample(amplitude * random.bipolar());
  }
  return s;
}

StereoSignal makeMusic(size_t samples, uint32_t seed) {
  Random random(seed);
  const int key = 45 + int(random.below(12));  // root of the bass, A2 and up
  const double beatSamples = kSignalSampleRate * 60.0 / (96.0 + random.below(48));
  // Scale degrees (semitones above the key) of I, V, vi, IV, rotated by the seed.
  const int roots[4] = {0, 7, 9, 5};
  const bool minorThird[4] = {false, false, true, false};
  const uint32_t rotation = random.below(4);

  // Frequencies per chord: root, third and fifth of the pad, then the bass.
  double hz[4][4];
  for (int c = 0; c < 4; ++c) {
    const int root = key + 12 + roots[c];
    hz[c][0] = noteHz(root);
    hz[c][1] = noteHz(root + (minorThird[c] ? 3 : 4));
    hz[c][2] = noteHz(root + 7);
    hz[c][3] = noteHz(key + roots[c]);
  }

  StereoSignal s = makeSilence(samples);
  Random noise(seed ^ 0x5bd1e995u);
  double drumLevel = 0.0;
  double drumTone = 0.0;
  long lastBeat = -1;
  for (size_t i = 0; i < samples; ++i) {
    const double t = double(i) / kSignalSampleRate;
    const double beatPos = double(i) / beatSamples;
    const long beat = long(beatPos);
    const double inBeat = beatPos - double(beat);  // 0..1 within the beat
    const double* f = hz[(uint32_t(beat / 4) + rotation) % 4];

    // Chord: root, third and fifth an octave above the bass.
    const double pad = 0.09 * (std::sin(kTwoPi * f[0] * t) + std::sin(kTwoPi * f[1] * t) + std::sin(kTwoPi * f[2] * t));

    // Bass: a decaying triangle on the chord's root, plucked every beat.
    const double bassPhase = std::fmod(f[3] * t, 1.0);
    const double triangle = 4.0 * std::fabs(bassPhase - 0.5) - 1.0;
    const double bass = 0.22 * triangle * std::exp(-3.0 * inBeat);

    // Drums: a kick on beats 1 and 3, a snare on 2 and 4, hi-hats between.
    if (beat != lastBeat) {
      lastBeat = beat;
      drumLevel = (beat % 2 == 0) ? 0.35 : 0.25;
      drumTone = (beat % 2 == 0) ? 1.0 : 0.0;
    }
    const double kick = drumTone * drumLevel * std::sin(kTwoPi * 60.0 * t) * std::exp(-12.0 * inBeat);
    const double snare = (1.0 - drumTone) * drumLevel * noise.bipolar() * std::exp(-18.0 * inBeat);
    const double hatPos = std::fmod(inBeat * 2.0, 1.0);
    const double hat = 0.05 * noise.bipolar() * std::exp(-40.0 * hatPos);

    const double centre = bass + kick + snare;
    s.left[i] = toSample(centre + 0.9 * pad + 0.6 * hat);
    s.right[i] = toSample(centre + 0.7 * pad + 1.0 * hat);
  }
  return s;
}

StereoSignal makeBabble(size_t samples, uint32_t seed) {
  Random random(seed);
  StereoSignal s = makeSilence(samples);
  const double pitch = 95.0 + random.below(120);  // speaker's base pitch
  size_t i = 0;
  double phase = 0.0;
  while (i < samples) {
    const size_t syllable = samplesFor(0.08 + 0.002 * random.below(100));
    const size_t pause = samplesFor(0.02 + 0.001 * random.below(120));
    const double startHz = pitch * (0.9 + 0.004 * random.below(60));
    const double endHz = pitch * (0.9 + 0.004 * random.below(60));
    const double brightness = 0.2 + 0.01 * random.below(50);
    double weight[7];  // of each overtone: brightness^(h-1) / h
    for (int h = 1; h <= 6; ++h) weight[h] = std::pow(brightness, h - 1) / h;
    for (size_t k = 0; k < syllable && i < samples; ++k, ++i) {
      const double x = double(k) / double(syllable);
      phase += kTwoPi * (startHz + (endHz - startHz) * x) / kSignalSampleRate;
      const double envelope = std::sin(std::numbers::pi * x);
      double v = 0.0;
      for (int h = 1; h <= 6; ++h) v += std::sin(h * phase) * weight[h];
      const double sample = 0.45 * envelope * v;
      s.left[i] = toSample(sample);
      s.right[i] = toSample(sample);
    }
    i += pause;  // silence already in place
  }
  return s;
}

}  // namespace wc
