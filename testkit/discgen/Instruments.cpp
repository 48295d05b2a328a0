#include "testkit/discgen/Instruments.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "testkit/discgen/Signals.h"
#include "testkit/discgen/XorShift.h"

namespace wc::instrument {
namespace {

constexpr double kRate = kSignalSampleRate;

// One cycle of a sine, looked up with linear interpolation: the synthesis
// calls it tens of millions of times per song.
constexpr int kTableSize = 4096;
const std::array<float, kTableSize + 1>& sineTable() {
  static const auto table = [] {
    std::array<float, kTableSize + 1> t{};
    for (int i = 0; i <= kTableSize; ++i) t[size_t(i)] = float(std::sin(2.0 * std::numbers::pi * i / kTableSize));
    return t;
  }();
  return table;
}

// sin(2 pi phase), phase in cycles.
inline float sine(double phase) {
  const double position = (phase - std::floor(phase)) * kTableSize;
  const int i = int(position);
  const float frac = float(position - i);
  const auto& t = sineTable();
  return t[size_t(i)] + (t[size_t(i) + 1] - t[size_t(i)]) * frac;
}

class Noise {
 public:
  explicit Noise(uint32_t seed) : draws_(seed, 0x6C8E9CF5u) {}
  float next() { return float(draws_.bipolar()); }  // uniform in [-1, 1)

 private:
  XorShift32 draws_;
};

size_t lengthOf(double seconds) { return size_t(std::max(0.0, seconds) * kRate); }

// exp(-rate * t) one sample after another, by multiplication: the synthesis
// needs millions of these per song.
class Decay {
 public:
  explicit Decay(double perSecond) : factor_(std::exp(-perSecond / kRate)) {}
  double next() {
    const double v = value_;
    value_ *= factor_;
    return v;
  }

 private:
  double factor_;
  double value_ = 1.0;
};

// A straight rise over `attack` seconds, full level up to `hold`, then an
// exponential release with time constant `release`; one value per sample.
class Gate {
 public:
  Gate(double attack, double hold, double release)
      : attackSamples_(attack * kRate), holdSamples_(size_t(hold * kRate)), release_(1.0 / release) {}
  float next() {
    // NOLINTNEXTLINE(bugprone-narrowing-conversions): sample counts stay far below 2^53, exact in a double
    const double rise = n_ < attackSamples_ ? double(n_) / attackSamples_ : 1.0;
    const double fall = n_ >= holdSamples_ ? release_.next() : 1.0;
    ++n_;
    return float(rise * fall);
  }

 private:
  double attackSamples_;
  size_t holdSamples_;
  Decay release_;
  size_t n_ = 0;
};

// Sum of harmonics 1..weights.size() of `hz`, slowly wobbling by `vibrato`
// (relative depth) at 5.5 Hz, through gate(). The harmonics keep their
// balance for the whole note, so one cycle of the wave is built once and
// then read like the sine table.
std::vector<float> additive(double hz, double hold, std::initializer_list<float> weights, double attack, double release,
                            double vibrato = 0.0) {
  const auto& sines = sineTable();
  std::array<float, kTableSize + 1> wave{};
  int h = 1;
  for (float w : weights) {
    if (w != 0.0f)
      for (int i = 0; i <= kTableSize; ++i) wave[size_t(i)] += w * sines[size_t((i * h) % kTableSize)];
    ++h;
  }
  std::vector<float> out(lengthOf(hold + 5.0 * release));
  Gate gate(attack, hold, release);
  double phase = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    phase += hz * (vibrato != 0.0 ? 1.0 + vibrato * sine(5.5 * t) : 1.0) / kRate;
    const double position = (phase - std::floor(phase)) * kTableSize;
    const int k = int(position);
    const float v = wave[size_t(k)] + (wave[size_t(k) + 1] - wave[size_t(k)]) * float(position - k);
    out[i] = v * gate.next();
  }
  return out;
}

// A short fade at the end, so a cut-off note does not click.
void fadeTail(std::vector<float>& note, double seconds = 0.01) {
  const size_t n = std::min(note.size(), lengthOf(seconds));
  for (size_t i = 0; i < n; ++i) note[note.size() - 1 - i] *= float(i) / float(n);
}

// Noise with its lows removed: the sound of cymbals and snare wires.
std::vector<float> brightNoise(size_t length, uint32_t seed) {
  Noise noise(seed);
  std::vector<float> out(length);
  float previous = 0.0f;
  float previousDiff = 0.0f;
  for (float& v : out) {
    const float x = noise.next();
    const float diff = x - previous;
    v = 0.5f * (diff - previousDiff);
    previous = x;
    previousDiff = diff;
  }
  return out;
}

}  // namespace

double noteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

std::vector<float> pluck(double hz, double hold, double brightness, double damping, uint32_t seed) {
  // Loop delay = line + 0.5 (the two-point average) + the all-pass's delay d,
  // with d kept within 0.5..1.5 samples where the all-pass is well behaved.
  const double period = kRate / hz;
  const int line = std::max(2, int(std::floor(period - 1.0)));
  const double d = period - 0.5 - line;
  const float c = float((1.0 - d) / (1.0 + d));

  std::vector<float> delay(size_t(line), 0.0f);
  Noise noise(seed);
  float smooth = 0.0f;
  for (float& v : delay) {  // a dark or bright burst of noise is the pluck
    smooth += float(brightness) * (noise.next() - smooth);
    v = smooth;
  }
  std::vector<float> out(lengthOf(hold + 0.03));
  float apIn = 0.0f;
  float apOut = 0.0f;
  size_t at = 0;
  for (float& v : out) {
    const float current = delay[at];
    const float next = delay[(at + 1) % delay.size()];
    const float averaged = float(damping) * 0.5f * (current + next);
    const float shifted = c * averaged + apIn - c * apOut;
    apIn = averaged;
    apOut = shifted;
    delay[at] = shifted;
    at = (at + 1) % delay.size();
    v = 2.2f * current;
  }
  fadeTail(out, 0.03);
  return out;
}

std::vector<float> electricPiano(double hz, double hold) {
  std::vector<float> out(lengthOf(hold + 0.25));
  Gate gate(0.003, hold, 0.05);
  Decay level(1.6), barkLevel(6.0), tineLevel(30.0);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    const float body = sine(hz * t);
    const float bark = 0.35f * float(barkLevel.next()) * sine(2.0 * hz * t);
    const float tine = 0.15f * float(tineLevel.next()) * sine(7.0 * hz * t);
    out[i] = (body + bark + tine) * float(level.next()) * gate.next();
  }
  fadeTail(out);
  return out;
}

std::vector<float> organ(double hz, double hold) {
  auto out = additive(hz, hold, {0.55f, 0.3f, 0.18f, 0.12f, 0.0f, 0.0f, 0.0f, 0.05f}, 0.01, 0.04, 0.002);
  fadeTail(out);
  return out;
}

std::vector<float> strings(double hz, double hold) {
  // Two slightly detuned saw-like voices: the beating between them is what
  // makes a section out of one note.
  auto a = additive(hz * 1.003, hold, {0.5f, 0.25f, 0.16f, 0.12f, 0.09f, 0.07f}, 0.25, 0.25);
  const auto b = additive(hz * 0.997, hold, {0.5f, 0.25f, 0.16f, 0.12f, 0.09f, 0.07f}, 0.3, 0.25);
  for (size_t i = 0; i < a.size(); ++i) a[i] = 0.6f * (a[i] + b[i]);
  fadeTail(a);
  return a;
}

std::vector<float> fingerBass(double hz, double hold, uint32_t seed) {
  std::vector<float> out = pluck(hz, hold, 0.25, 0.9985, seed);
  Decay sub(2.0);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    out[i] = 0.7f * out[i] + 0.5f * sine(hz * t) * float(sub.next());
  }
  fadeTail(out, 0.03);
  return out;
}

std::vector<float> synthBass(double hz, double hold) {
  std::vector<float> out(lengthOf(hold + 0.1));
  Gate gate(0.004, hold, 0.03);
  std::vector<Decay> harmonics;
  for (int h = 1; h <= 6; ++h) harmonics.emplace_back(5.0 * (h - 1));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    // A saw whose upper harmonics die first, like a closing filter.
    float v = 0.0f;
    for (int h = 1; h <= 6; ++h) v += sine(hz * h * t) * float(harmonics[size_t(h - 1)].next()) / float(h);
    out[i] = 0.8f * v * gate.next();
  }
  fadeTail(out);
  return out;
}

std::vector<float> roundBass(double hz, double hold) {
  std::vector<float> out(lengthOf(hold + 0.12));
  Gate gate(0.006, hold, 0.04);
  Decay level(1.2);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    out[i] = (sine(hz * t) + 0.25f * sine(2.0 * hz * t)) * float(level.next()) * gate.next();
  }
  fadeTail(out);
  return out;
}

std::vector<float> bell(double hz, double hold) {
  std::vector<float> out(lengthOf(hold + 0.8));
  Gate gate(0.002, hold, 0.25);
  Decay depth(5.0), level(2.2);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    // Two-operator FM: an inharmonic modulator whose depth fades.
    const double index = 1.1 * depth.next();
    out[i] = sine(hz * t + index * sine(3.5 * hz * t)) * float(level.next()) * gate.next();
  }
  fadeTail(out);
  return out;
}

std::vector<float> squareLead(double hz, double hold) {
  auto out = additive(hz, hold, {0.8f, 0.0f, 0.27f, 0.0f, 0.16f, 0.0f, 0.11f}, 0.012, 0.06, 0.004);
  fadeTail(out);
  return out;
}

std::vector<float> whistle(double hz, double hold) {
  auto out = additive(hz, hold, {0.9f, 0.1f, 0.04f}, 0.04, 0.08, 0.006);
  fadeTail(out);
  return out;
}

std::vector<float> kick() {
  // Every kick is the same: make it once.
  static const std::vector<float> sound = [] {
    std::vector<float> out(lengthOf(0.35));
    Decay drop(28.0), level(9.0);
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
      const double t = double(i) / kRate;
      phase += (48.0 + 110.0 * drop.next()) / kRate;  // the pitch drops: the thump
      const float click = t < 0.003 ? float(1.0 - t / 0.003) * 0.3f : 0.0f;
      out[i] = sine(phase) * float(level.next()) + click;
    }
    fadeTail(out);
    return out;
  }();
  return sound;
}

std::vector<float> snare(uint32_t seed) {
  std::vector<float> out = brightNoise(lengthOf(0.25), seed);
  Decay wires(16.0), drum(25.0);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    out[i] = 0.9f * out[i] * float(wires.next()) + 0.5f * sine(185.0 * t) * float(drum.next());
  }
  fadeTail(out);
  return out;
}

std::vector<float> clap(uint32_t seed) {
  std::vector<float> out = brightNoise(lengthOf(0.22), seed);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    // Three quick slaps, then the room.
    const double slap = std::fmod(t, 0.011);
    const double envelope = t < 0.033 ? std::exp(-slap * 300.0) : std::exp(-(t - 0.033) * 18.0);
    out[i] *= float(envelope);
  }
  fadeTail(out);
  return out;
}

std::vector<float> hiHat(bool open, uint32_t seed) {
  std::vector<float> out = brightNoise(lengthOf(open ? 0.3 : 0.07), seed);
  Decay level(open ? 9.0 : 70.0);
  for (float& v : out) v *= float(level.next());
  fadeTail(out);
  return out;
}

std::vector<float> crash(uint32_t seed) {
  std::vector<float> out = brightNoise(lengthOf(1.8), seed);
  Decay level(2.2);
  for (float& v : out) v *= float(level.next());
  fadeTail(out, 0.05);
  return out;
}

}  // namespace wc::instrument
