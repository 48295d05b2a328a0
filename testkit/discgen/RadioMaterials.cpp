#include "testkit/discgen/RadioMaterials.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "testkit/discgen/SongSynth.h"
#include "testkit/discgen/Speech.h"
#include "testkit/discgen/XorShift.h"

namespace wc {
namespace {

constexpr std::array kWords = {
    "the",     "night",   "city",    "radio",   "music",   "coming",  "up",      "next",   "traffic", "bridge",
    "weather", "sunny",   "rain",    "later",   "tonight", "station", "stay",    "with",   "us",      "hits",
    "classic", "new",     "track",   "right",   "here",    "on",      "your",    "dial",   "that",    "was",
    "great",   "song",    "from",    "their",   "album",   "call",    "now",     "win",    "tickets", "show",
    "morning", "drive",   "home",    "after",   "break",   "more",    "back",    "again",  "best",    "sound",
    "in",      "town",    "love",    "this",    "one",     "every",   "day",     "people", "talking", "about",
    "listen",  "friends", "party",   "weekend", "free",    "money",   "highway", "north",  "south",   "downtown",
    "beach",   "summer",  "winter",  "hot",     "cold",    "wild",    "loud",    "quiet",  "crazy",   "lucky",
    "we",      "you",     "they",    "have",    "got",     "keep",    "it",      "locked", "turn",    "volume",
    "just",    "played",  "request", "line",    "open",    "ten",     "minutes", "twenty", "o'clock", "news"};

// English voices of espeak-ng with its variants: men and women, several accents.
constexpr std::array kVoices = {"en-us+m3", "en+f3", "en-gb+m1", "en-us+f2", "en+m7",
                                "en-us+m5", "en+f4", "en-gb+f5", "en-sc+m2", "en-us+f1"};

std::string sentence(uint32_t seed, int words) {
  XorShift32 d(seed, 0x510E527Fu);
  std::string text;
  for (int i = 0; i < words; ++i) {
    if (i > 0) text += d.chance(0.1) ? ", " : " ";
    text += kWords[d.below(kWords.size())];
  }
  return text + ".";
}

void trimQuiet(std::vector<float>& mono) {
  const auto loud = [](float v) { return std::fabs(v) > 0.01f; };
  const auto first = std::find_if(mono.begin(), mono.end(), loud);
  if (first == mono.end()) {
    mono.clear();
    return;
  }
  const auto last = std::find_if(mono.rbegin(), mono.rend(), loud).base();
  mono = std::vector<float>(first, last);
}

class RecordedMaterial : public RadioMaterial {
 public:
  explicit RecordedMaterial(std::shared_ptr<const RecordingSet> recordings) : recordings_(std::move(recordings)) {}

  MixBuffer music(uint32_t piece, double start, double seconds) const override {
    const MixBuffer& r = recordings_->audio(piece % recordings_->size());
    const size_t wanted = samplesFor(seconds);
    const size_t length = r.samples();
    size_t from = length > wanted ? size_t(start * double(length - wanted)) : size_t(start * 0.5 * double(length));
    MixBuffer out(wanted);
    // A song longer than its recording goes round again from the top, with a
    // crossfade of a few milliseconds so the loop is no click.
    const size_t crossfade = samplesFor(0.02);
    for (size_t at = 0; at < wanted;) {
      const size_t n = std::min(wanted - at, length - from);
      MixBuffer part(n);
      std::copy_n(r.left.begin() + ptrdiff_t(from), n, part.left.begin());
      std::copy_n(r.right.begin() + ptrdiff_t(from), n, part.right.begin());
      if (at > 0) part.ramp(0, std::min(n, crossfade), 0.0f, 1.0f);
      if (at + n < wanted) part.ramp(n - std::min(n, crossfade), n, 1.0f, 0.0f);
      out.add(part, ptrdiff_t(at));
      at += n > crossfade && at + n < wanted ? n - crossfade : n;
      from = 0;
    }
    return out;
  }

  std::vector<float> line(uint32_t speaker, uint32_t words, double seconds) const override {
    Speaker s;
    s.espeakVoice = kVoices[speaker % kVoices.size()];
    s.pitch = 25 + int(speaker / kVoices.size() % 55);
    s.wordsPerMinute = 140 + int(speaker / 7 % 70);
    int count = std::max(2, int(std::lround(seconds * s.wordsPerMinute / 60.0 * 0.85)));
    std::vector<float> voice;
    for (int attempt = 0; attempt < 2; ++attempt) {
      voice.clear();
      if (auto sound = espeakSound(sentence(words, count), s))
        voice = convertRate(sound->samples, sound->rate, kSignalSampleRate);
      trimQuiet(voice);
      const double spoken = double(voice.size()) / kSignalSampleRate;
      if (spoken <= seconds * 1.1 || count <= 2) break;
      count = std::max(2, int(double(count) * seconds / spoken * 0.9));
    }
    normalize(voice, 0.9f);
    return voice;
  }

 private:
  std::shared_ptr<const RecordingSet> recordings_;
};

class SynthesisedMaterial : public RadioMaterial {
 public:
  MixBuffer music(uint32_t piece, double start, double seconds) const override {
    XorShift32 d(piece, 0xA54FF53Au);
    SongStyle style;
    style.seed = piece;
    style.key = 38 + int(d.below(12));
    style.minor = d.chance(0.4);
    style.bpm = d.between(78.0, 150.0);
    style.swing = d.chance(0.3) ? d.between(0.05, 0.3) : 0.0;
    style.groove = Groove(d.below(3));
    style.keys = KeysSound(d.below(4));
    style.bass = BassSound(d.below(3));
    style.lead = LeadSound(d.below(3));
    style.bodyBars = 400;
    const Song song(style);
    const int bars = int(std::ceil(seconds / song.barSeconds())) + 1;
    const int first = int(start * 24.0);
    MixBuffer m = song.render(first, first + bars);
    m.left.resize(std::max(m.samples(), samplesFor(seconds)));
    m.right.resize(m.left.size());
    return m;
  }

  std::vector<float> line(uint32_t speaker, uint32_t words, double seconds) const override {
    const StereoSignal s = makeBabble(samplesFor(seconds), speaker * 7919u + words);
    std::vector<float> mono(s.samples());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = float(s.left[i]) / 32768.0f;
    normalize(mono, 0.9f);
    return mono;
  }
};

}  // namespace

std::unique_ptr<RadioMaterial> recordedMaterial(std::shared_ptr<const RecordingSet> recordings) {
  return std::make_unique<RecordedMaterial>(std::move(recordings));
}

std::unique_ptr<RadioMaterial> synthesisedMaterial() { return std::make_unique<SynthesisedMaterial>(); }

}  // namespace wc
