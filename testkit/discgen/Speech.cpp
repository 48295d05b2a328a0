#include "testkit/discgen/Speech.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>

#include "base/LittleEndian.h"
#include "testkit/discgen/MixBuffer.h"
#include "testkit/discgen/Signals.h"

extern char** environ;

namespace wc {

std::optional<MonoSound> parseWave(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) != "RIFF" ||
      std::string_view(reinterpret_cast<const char*>(bytes.data()) + 8, 4) != "WAVE")
    return std::nullopt;
  int channels = 0;
  int bits = 0;
  MonoSound sound;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string_view id(reinterpret_cast<const char*>(bytes.data()) + at, 4);
    const size_t declared = readU32LE(bytes.data() + at + 4);
    const size_t body = at + 8;
    const size_t length = std::min(declared, bytes.size() - body);
    if (id == "fmt ") {
      if (length < 16 || readU16LE(bytes.data() + body) != 1) return std::nullopt;  // PCM only
      channels = readU16LE(bytes.data() + body + 2);
      sound.rate = int(readU32LE(bytes.data() + body + 4));
      bits = readU16LE(bytes.data() + body + 14);
    } else if (id == "data") {
      if (bits != 16 || channels < 1 || channels > 2 || sound.rate <= 0) return std::nullopt;
      const size_t frames = length / size_t(2 * channels);
      sound.samples.resize(frames);
      for (size_t f = 0; f < frames; ++f) {
        float sum = 0.0f;
        for (int c = 0; c < channels; ++c)
          sum += float(int16_t(readU16LE(bytes.data() + body + (f * size_t(channels) + size_t(c)) * 2)));
        sound.samples[f] = sum / (32768.0f * float(channels));
      }
      return sound;
    }
    at = body + length + (length & 1);  // chunks are padded to even sizes
  }
  return std::nullopt;
}

std::vector<float> resample(std::span<const float> input, int fromRate, int toRate) {
  if (fromRate <= 0 || toRate <= 0 || input.empty()) return {};
  if (fromRate == toRate) return {input.begin(), input.end()};
  constexpr int kHalfTaps = 16;
  const double step = double(fromRate) / double(toRate);  // input samples per output sample
  // Relative to the input rate; a little below the lower Nyquist frequency.
  const double cutoff = 0.95 * std::min(1.0, double(toRate) / double(fromRate));
  const size_t outputs = size_t(double(input.size()) / step);
  std::vector<float> out(outputs);
  for (size_t n = 0; n < outputs; ++n) {
    const double centre = double(n) * step;
    const long first = long(std::floor(centre)) - kHalfTaps + 1;
    double sum = 0.0;
    for (long k = first; k < first + 2 * kHalfTaps; ++k) {
      if (k < 0 || k >= long(input.size())) continue;
      const double x = double(k) - centre;
      const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * cutoff * x) / (std::numbers::pi * cutoff * x);
      // Hann window over ±kHalfTaps input samples.
      const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * x / kHalfTaps);
      sum += double(input[size_t(k)]) * cutoff * sinc * window;
    }
    out[n] = float(sum);
  }
  return out;
}

std::optional<std::string> findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return std::nullopt;
  std::string_view rest = path;
  while (true) {
    const size_t colon = rest.find(':');
    // An empty entry means the current directory.
    const std::string_view directory = rest.substr(0, colon);
    const std::string candidate = (directory.empty() ? std::string(".") : std::string(directory)) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(colon + 1);
  }
}

SpeechEngine detectSpeechEngine() { return findOnPath("espeak-ng") ? SpeechEngine::Espeak : SpeechEngine::Synthetic; }

namespace {

// What espeak-ng writes to its standard output for `text`, or nullopt if it
// could not be started or failed.
std::optional<std::vector<uint8_t>> runEspeak(const std::string& text, const Speaker& speaker) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  const std::string rate = std::to_string(speaker.wordsPerMinute);
  const std::string pitch = std::to_string(speaker.pitch);
  std::vector<std::string> args = {"espeak-ng", "-v", speaker.espeakVoice, "-s", rate, "-p", pitch, "--stdout", text};
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "espeak-ng", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    return std::nullopt;
  }
  std::vector<uint8_t> output;
  uint8_t block[65536];
  while (true) {
    const ssize_t n = read(fds[0], block, sizeof block);
    if (n > 0) {
      output.insert(output.end(), block, block + n);
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

// Drops the near-silence a synthesiser leaves before and after the words.
void trimSilence(std::vector<float>& mono) {
  constexpr float kThreshold = 0.01f;
  const auto loud = [](float v) { return std::fabs(v) > kThreshold; };
  const auto first = std::find_if(mono.begin(), mono.end(), loud);
  if (first == mono.end()) {
    mono.clear();
    return;
  }
  const auto last = std::find_if(mono.rbegin(), mono.rend(), loud).base();
  mono = std::vector<float>(first, last);
}

std::vector<float> babble(const std::string& text, uint32_t seed) {
  // About 2.6 words a second, like a radio voice at 160 words a minute.
  const size_t words = size_t(std::count(text.begin(), text.end(), ' ')) + 1;
  const StereoSignal s = makeBabble(samplesFor(0.3 + double(words) / 2.6), seed);
  std::vector<float> mono(s.left.size());
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = float(s.left[i]) / 32768.0f;
  return mono;
}

}  // namespace

std::optional<MonoSound> espeakSound(const std::string& text, const Speaker& speaker) {
  const auto bytes = runEspeak(text, speaker);
  if (!bytes) return std::nullopt;
  return parseWave(*bytes);
}

std::vector<float> speak(const std::string& text, const Speaker& speaker, SpeechEngine engine) {
  std::vector<float> voice;
  if (engine == SpeechEngine::Espeak) {
    if (auto sound = espeakSound(text, speaker)) voice = resample(sound->samples, sound->rate, kSignalSampleRate);
    trimSilence(voice);
  }
  if (voice.empty()) voice = babble(text, speaker.babbleSeed);
  normalize(voice, 0.9f);
  return voice;
}

}  // namespace wc
