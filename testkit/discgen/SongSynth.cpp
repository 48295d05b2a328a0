#include "testkit/discgen/SongSynth.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "testkit/discgen/Instruments.h"

namespace wc {
namespace {

using namespace instrument;

constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

// Chord roots as scale degrees, one chord per bar.
constexpr int kMajorProgressions[][4] = {{0, 4, 5, 3}, {0, 5, 3, 4}, {3, 0, 4, 5},
                                         {0, 3, 4, 3}, {5, 3, 0, 4}, {0, 2, 3, 4}};
constexpr int kMinorProgressions[][4] = {{0, 5, 2, 6}, {0, 3, 4, 0}, {0, 6, 5, 6}, {5, 6, 0, 0}, {0, 3, 6, 2}};

// One bar of bass in eighths: R root, F fifth, O octave, . rest (the
// previous note rings on).
constexpr std::string_view kBassPatterns[3][3] = {
    {"R.R.F.R.", "R..RR.F.", "R.RRO.F."},  // Backbeat
    {"RORORORO", "R.OR.OR.", "ROR.ROFO"},  // FourOnTheFloor
    {"R...R.F.", "R..R..F.", "R.....OF"},  // HalfTime
};

// One bar of drums in sixteenths: x a hit, o an open hi-hat.
struct DrumPattern {
  std::string_view kick, snare, hat;
  bool clapForSnare;
};
constexpr DrumPattern kDrums[3] = {
    {"x.....x.x.x.....", "....x.......x...", "x.x.x.x.x.x.x.x.", false},
    {"x...x...x...x...", "....x.......x...", "x.oxx.oxx.oxx.ox", true},
    {"x......x..x.....", "........x.......", "x.x.x.x.x.x.x.xx", false},
};

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2246822519u + 0x27D4EB2Fu) {
    if (state_ == 0) state_ = 1;
  }
  uint32_t below(uint32_t n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ % n;
  }

 private:
  uint32_t state_;
};

// A seed for one note, so that its noise is the same whichever stretch of
// the timeline is rendered.
uint32_t noteSeed(uint32_t songSeed, int bar, int slot, int voice) {
  uint32_t h = songSeed ^ 0x9E3779B9u;
  for (uint32_t v : {uint32_t(bar), uint32_t(slot), uint32_t(voice)}) {
    h ^= v + 0x7F4A7C15u + (h << 6) + (h >> 2);
    h *= 0x85EBCA6Bu;
  }
  return h;
}

int floorMod(int a, int n) { return ((a % n) + n) % n; }

// No note rings longer than this after it starts: the longest hold (a bar at
// the slowest tempo) plus the longest release.
constexpr double kLongestNoteSeconds = 4.5;

}  // namespace

Song::Song(const SongStyle& style) : style_(style) {
  Random random(style.seed);
  const auto pick = [&](const auto& progressions, int* into) {
    const auto& p = progressions[random.below(uint32_t(std::size(progressions)))];
    std::copy(std::begin(p), std::end(p), into);
  };
  if (style.minor) {
    pick(kMinorProgressions, verse_);
    do pick(kMinorProgressions, chorus_);
    while (std::equal(verse_, verse_ + 4, chorus_));
  } else {
    pick(kMajorProgressions, verse_);
    do pick(kMajorProgressions, chorus_);
    while (std::equal(verse_, verse_ + 4, chorus_));
  }
  bassPattern_ = int(random.below(3));

  // A singable line: mostly on the beat, moving by small steps between
  // chord tones, resting now and then, and landing on the root.
  int tone = 2 + int(random.below(2));
  for (int i = 0; i < 16; ++i) {
    const bool onBeat = i % 2 == 0;
    const bool sounds = onBeat ? random.below(10) < 8 : random.below(10) < 4;
    if (!sounds || i == 7) {
      melody_[i] = -1;
      continue;
    }
    tone = std::clamp(tone + int(random.below(3)) - 1, 0, 5);
    melody_[i] = tone;
  }
  melody_[0] = 3;
  melody_[14] = 0;
  melody_[15] = -1;
}

Song::Section Song::sectionOf(int bar) const {
  if (bar < -2) return Section::QuietIntro;
  if (bar < 0) return Section::Intro;
  if (bar >= style_.bodyBars) return Section::Outro;
  static constexpr Section kBlocks[6] = {Section::Verse,  Section::Chorus,    Section::Verse,
                                         Section::Chorus, Section::Breakdown, Section::Chorus};
  const Section s = kBlocks[(bar / 8) % 6];
  // A breakdown lasts half a block; the band comes back for the other half.
  if (s == Section::Breakdown && bar % 8 >= 4) return Section::Chorus;
  return s;
}

const int* Song::chordOf(int bar) const {
  const Section s = sectionOf(bar);
  return s == Section::Chorus || s == Section::Outro || s == Section::Breakdown ? chorus_ : verse_;
}

int Song::chordDegree(int bar) const { return chordOf(bar)[floorMod(bar, 4)]; }

int Song::scaleNote(int degree) const {
  const int* scale = style_.minor ? kMinor : kMajor;
  return scale[floorMod(degree, 7)] + 12 * (degree >= 0 ? degree / 7 : -((6 - degree) / 7));
}

int64_t Song::sampleAt(int bar, double beat) const {
  // Off-beat eighths come a little late when the song swings.
  const double eighth = beat * 2.0;
  if (std::fabs(eighth - std::round(eighth)) < 1e-9 && int(std::lround(eighth)) % 2 == 1) beat += 0.5 * style_.swing;
  const double beatSamples = kSignalSampleRate * 60.0 / style_.bpm;
  return int64_t(std::llround((double(bar) * 4.0 + beat) * beatSamples));
}

void Song::renderBar(int bar, int64_t windowStart, MixBuffer& out) const {
  const Section section = sectionOf(bar);
  const double beatSeconds = 60.0 / style_.bpm;
  const int degree = chordDegree(bar);
  const int nextDegree = chordDegree(bar + 1);
  // Renders a note only if it can sound inside the window.
  const auto place = [&](auto&& makeNote, double beat, float gain, float pan) {
    const int64_t at = sampleAt(bar, beat) - windowStart;
    if (at >= int64_t(out.samples()) || at + int64_t(samplesFor(kLongestNoteSeconds)) <= 0) return;
    out.addMono(makeNote(), ptrdiff_t(at), gain, pan);
  };

  // ---- Keys: the chord, voiced close around middle C. ----
  {
    int root = style_.key + 12 + scaleNote(degree);
    if (root > style_.key + 19) root -= 12;
    int voices[4] = {root, style_.key + 12 + scaleNote(degree + 2), style_.key + 12 + scaleNote(degree + 4),
                     style_.key + 12 + scaleNote(degree + 6)};
    for (int& v : voices) {
      while (v < root) v += 12;
      while (v >= root + 12) v -= 12;
    }
    const int voiceCount = style_.keys == KeysSound::ElectricPiano ? 4 : 3;  // sevenths suit the piano
    const bool quiet = section == Section::QuietIntro || section == Section::Breakdown;
    const float level = quiet ? 0.09f : 0.075f;
    switch (style_.keys) {
      case KeysSound::ElectricPiano: {
        static constexpr double kHits[3][3] = {{0.0, 1.5, 2.5}, {0.0, 2.0, 3.5}, {0.5, 1.5, 2.5}};
        const auto& hits = kHits[size_t(style_.groove)];
        for (int h = 0; h < 3; ++h) {
          const double hold = ((h < 2 ? hits[h + 1] : 4.0) - hits[h]) * beatSeconds;
          for (int v = 0; v < voiceCount; ++v)
            place([&] { return electricPiano(noteHz(voices[v]), hold); }, hits[h], level, -0.3f + 0.2f * float(v));
        }
        break;
      }
      case KeysSound::Organ:
        for (int v = 0; v < voiceCount; ++v)
          place([&] { return organ(noteHz(voices[v]), 4.0 * beatSeconds); }, 0.0, level, -0.25f + 0.25f * float(v));
        break;
      case KeysSound::Strings:
        for (int v = 0; v < voiceCount; ++v)
          place([&] { return strings(noteHz(voices[v]), 4.0 * beatSeconds); }, 0.0, level, -0.4f + 0.4f * float(v));
        break;
      case KeysSound::Guitar: {
        // Down, down-up, up-down-up strums; each string a little after the last.
        static constexpr double kStrums[5] = {0.0, 1.0, 1.5, 2.5, 3.0};
        for (int s = 0; s < 5; ++s) {
          const double hold = ((s < 4 ? kStrums[s + 1] : 4.0) - kStrums[s]) * beatSeconds;
          const bool up = s == 2 || s == 3;
          for (int v = 0; v < 4; ++v) {
            const int string = up ? 3 - v : v;
            const int note = string == 3 ? voices[0] + 12 : voices[string];
            const double lag = 0.012 * v / beatSeconds;
            place([&] { return pluck(noteHz(note), hold, 0.55, 0.996, noteSeed(style_.seed, bar, s, string)); },
                  kStrums[s] + lag, level * (s == 0 ? 1.1f : 0.8f), 0.35f - 0.2f * float(string));
          }
        }
        break;
      }
    }
  }
  if (section == Section::QuietIntro) {
    for (int e = 0; e < 8; ++e)
      place([&] { return hiHat(false, noteSeed(style_.seed, bar, e, 50)); }, 0.5 * e, e % 2 ? 0.05f : 0.08f, 0.4f);
    return;
  }

  // ---- Bass. ----
  {
    const std::string_view pattern = kBassPatterns[size_t(style_.groove)][size_t(bassPattern_)];
    const int root = style_.key + scaleNote(degree);
    for (int e = 0; e < 8; ++e) {
      int note = 0;
      switch (pattern[size_t(e)]) {
        case 'R': note = root; break;
        case 'F': note = root + 7; break;
        case 'O': note = root + 12; break;
        default: continue;
      }
      // Leading into the next chord from a semitone below on the last eighth.
      if (e == 7 && nextDegree != degree) note = style_.key + scaleNote(nextDegree) - 1;
      int length = 1;
      while (e + length < 8 && pattern[size_t(e + length)] == '.') ++length;
      const double hold = 0.5 * length * beatSeconds * 0.9;
      const auto sound = [&] {
        switch (style_.bass) {
          case BassSound::Finger: return fingerBass(noteHz(note), hold, noteSeed(style_.seed, bar, e, 60));
          case BassSound::Synth: return synthBass(noteHz(note), hold);
          case BassSound::Round: break;
        }
        return roundBass(noteHz(note), hold);
      };
      place(sound, 0.5 * e, section == Section::Breakdown ? 0.22f : 0.3f, 0.0f);
    }
  }

  // ---- Drums. ----
  const DrumPattern& drums = kDrums[size_t(style_.groove)];
  const bool fill = bar == -1 || (bar >= 0 && bar % 8 == 7 && section != Section::Breakdown);
  const bool fullKit = section != Section::Breakdown && (section != Section::Intro || bar == -1);
  if ((bar >= 0 && bar % 8 == 0 && section != Section::Breakdown) || bar == style_.bodyBars)
    place([&] { return crash(noteSeed(style_.seed, bar, 0, 70)); }, 0.0, 0.16f, -0.3f);
  for (int step = 0; step < 16; ++step) {
    const double beat = 0.25 * step;
    const bool inFill = fill && step >= 12;
    if (drums.kick[size_t(step)] == 'x' && section != Section::Breakdown) place(kick, beat, 0.55f, 0.0f);
    if (inFill) {
      place([&] { return snare(noteSeed(style_.seed, bar, step, 71)); }, beat, 0.15f + 0.05f * float(step - 12), 0.05f);
      continue;
    }
    if (fullKit && drums.snare[size_t(step)] == 'x') {
      const uint32_t seed = noteSeed(style_.seed, bar, step, 72);
      place([&] { return drums.clapForSnare ? clap(seed) : snare(seed); }, beat, 0.28f, 0.05f);
    }
    const char hat = drums.hat[size_t(step)];
    if (hat != '.') {
      const float accent = step % 4 == 0 ? 0.14f : 0.09f;
      place([&] { return hiHat(hat == 'o', noteSeed(style_.seed, bar, step, 73)); }, beat, hat == 'o' ? 0.06f : accent,
            0.35f);
    }
  }

  // ---- Melody in the choruses and the first bars of an outro. ----
  const bool sings = section == Section::Chorus || (section == Section::Outro && bar < style_.bodyBars + 2);
  if (!sings) return;
  const int* line = melody_ + 8 * floorMod(bar, 2);
  const int chordTones[3] = {0, 2, 4};
  for (int e = 0; e < 8; ++e) {
    if (line[e] < 0) continue;
    // The tune's contour follows the chord of the bar it is sung over.
    int note = style_.key + 24 + scaleNote(degree + chordTones[line[e] % 3]) + 12 * (line[e] / 3);
    if (floorMod(bar, 4) == 3 && e == 6) note = style_.key + 24 + scaleNote(nextDegree);  // toward the next bar
    int length = 1;
    while (e + length < 8 && line[e + length] < 0 && length < 3) ++length;
    const double hold = 0.5 * length * beatSeconds * 0.85;
    const auto sound = [&] {
      switch (style_.lead) {
        case LeadSound::Bell: return bell(noteHz(note), hold);
        case LeadSound::Square: return squareLead(noteHz(note), hold);
        case LeadSound::Whistle: break;
      }
      return whistle(noteHz(note), hold);
    };
    place(sound, 0.5 * e, 0.16f, -0.2f);
    // Echoes a dotted eighth apart, on the other side.
    place(sound, 0.5 * e + 0.75, 0.06f, 0.5f);
    place(sound, 0.5 * e + 1.5, 0.025f, -0.5f);
  }
}

void Song::renderFinalHit(int bar, int64_t windowStart, MixBuffer& out) const {
  const double ring = 2.5;
  const int64_t at = sampleAt(bar, 0.0) - windowStart;
  const int tonic = style_.key;
  out.addMono(kick(), ptrdiff_t(at), 0.55f, 0.0f);
  out.addMono(crash(noteSeed(style_.seed, bar, 0, 80)), ptrdiff_t(at), 0.2f, -0.3f);
  out.addMono(roundBass(noteHz(tonic), ring), ptrdiff_t(at), 0.3f, 0.0f);
  for (int d : {0, 2, 4, 7}) {
    const double hz = noteHz(tonic + 12 + scaleNote(d));
    const std::vector<float> sound = style_.keys == KeysSound::Guitar
                                         ? pluck(hz, ring, 0.55, 0.998, noteSeed(style_.seed, bar, d, 81))
                                     : style_.keys == KeysSound::Strings ? strings(hz, ring * 0.5)
                                     : style_.keys == KeysSound::Organ   ? organ(hz, ring * 0.6)
                                                                         : electricPiano(hz, ring);
    out.addMono(sound, ptrdiff_t(at), 0.09f, -0.3f + 0.2f * float(d % 4));
  }
}

MixBuffer Song::render(int fromBar, int toBar, Ending ending) const {
  const int64_t start = sampleAt(fromBar, 0.0);
  const int64_t end = sampleAt(toBar, 0.0);
  const size_t ringSamples = ending == Ending::FinalHit ? samplesFor(3.0) : 0;
  MixBuffer out(size_t(std::max<int64_t>(0, end - start)) + ringSamples);
  // Notes of the bars before the window may still ring into it.
  const int lookBack = int(std::ceil(kLongestNoteSeconds / barSeconds()));
  for (int bar = fromBar - lookBack; bar < toBar; ++bar) renderBar(bar, start, out);
  if (ending == Ending::FinalHit) {
    // Nothing of the song may sound past the last hit but that hit.
    const size_t cut = size_t(end - start);
    out.ramp(cut, cut + samplesFor(0.02), 1.0f, 0.0f);
    out.ramp(cut + samplesFor(0.02), out.samples(), 0.0f, 0.0f);
    renderFinalHit(toBar, start, out);
    out.ramp(out.samples() - samplesFor(0.5), out.samples(), 1.0f, 0.0f);
  } else if (ending == Ending::FadeOut) {
    const size_t fade = std::min(out.samples(), size_t(2.0 * barSeconds() * kSignalSampleRate));
    out.ramp(out.samples() - fade, out.samples(), 1.0f, 0.0f);
  }
  return out;
}

}  // namespace wc
