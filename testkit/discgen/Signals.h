#pragma once
// Small deterministic test signals: 16-bit stereo at 24000 samples per second
// per channel. The same arguments always give the same samples on every
// machine (no std:: distributions, whose output is not portable).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wc {

inline constexpr int kSignalSampleRate = 24000;

struct StereoSignal {
  std::vector<int16_t> left;
  std::vector<int16_t> right;  // always as long as left

  size_t samples() const { return left.size(); }
};

// Samples needed for `seconds` of audio.
inline size_t samplesFor(double seconds) { return size_t(seconds * kSignalSampleRate + 0.5); }

StereoSignal makeSilence(size_t samples);

// A sine of `amplitude` (0..1 of full scale) on each channel.
StereoSignal makeSine(size_t samples, double leftHz, double rightHz, double amplitude);

// White noise, uniform in ±amplitude, independent on the two channels.
StereoSignal makeNoise(size_t samples, uint32_t seed, double amplitude);

// Something with the texture of a song: a four-chord progression of soft
// tones, a plucked bass on every beat, and noise bursts for kick, snare and
// hi-hat. The seed picks the key, the tempo and the progression. Peaks stay
// below about 0.8 of full scale.
StereoSignal makeMusic(size_t samples, uint32_t seed);

// Something with the texture of speech: syllables of a gliding voiced tone
// with a few overtones, separated by short pauses. For DJ chatter and adverts.
StereoSignal makeBabble(size_t samples, uint32_t seed);

}  // namespace wc
