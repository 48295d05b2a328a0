#pragma once
// Spoken lines for the demo stations: rendered by espeak-ng when it is
// installed, else a voice-like synthetic babble of about the same length.
// Everything comes out as mono floats at 24000 samples per second.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wc {

// The sound of a WAVE file: PCM, 16 bits, any rate; stereo is mixed down.
struct MonoSound {
  int rate = 0;
  std::vector<float> samples;  // ±1.0 full scale
};

// Reads a RIFF/WAVE image. A program writing to a pipe cannot know its sizes
// in advance and puts 0x7FFFFFFF-ish values there, so a `data` chunk that
// claims more than the image holds runs to the end (a trailing odd byte is
// dropped). Nullopt for anything that is not 16-bit PCM.
std::optional<MonoSound> parseWave(std::span<const uint8_t> bytes);

// Band-limited rate conversion (windowed sinc, 32 taps, cut off below the
// lower of the two Nyquist frequencies). The output lasts as long as the input.
std::vector<float> resample(std::span<const float> input, int fromRate, int toRate);

// Where a program of that name lies on PATH, if it is there and executable.
std::optional<std::string> findOnPath(const std::string& program);

enum class SpeechEngine {
  Espeak,     // the espeak-ng program
  Synthetic,  // makeBabble: the same for everybody, needs nothing installed
};

// Espeak when `espeak-ng` is on PATH, else Synthetic.
SpeechEngine detectSpeechEngine();

struct Speaker {
  std::string espeakVoice = "en";  // espeak-ng -v, e.g. "en-us+m3"
  int wordsPerMinute = 160;        // espeak-ng -s
  int pitch = 50;                  // espeak-ng -p, 0..99
  uint32_t babbleSeed = 1;         // the synthetic voice's character
};

// What the espeak-ng program says for `text` as `speaker`, at the rate it
// speaks; nullopt when it cannot be run or fails.
std::optional<MonoSound> espeakSound(const std::string& text, const Speaker& speaker);

// `text` spoken by `speaker`, normalised to a peak of 0.9. If espeak-ng
// fails on a line, that line falls back to the synthetic voice.
std::vector<float> speak(const std::string& text, const Speaker& speaker, SpeechEngine engine);

}  // namespace wc
