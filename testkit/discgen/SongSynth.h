#pragma once
// Songs for the demo stations: a chord progression on keys or guitar, a bass
// line and a drum pattern, with a melody in the choruses, all synthesised
// note by note at 24000 samples per second.
//
// A song is a timeline of bars. The song clip is bars 0 .. bodyBars-1; its
// intros are the bars just before 0 (an intro of n bars is bars -n .. -1) and
// its outros the bars from bodyBars on. Every note belongs to the bar it
// starts in and its sound depends only on the style and that bar, so any
// stretch of the timeline renders the same samples, and an intro, the song
// and an outro played back to back join without a seam.
#include <cstdint>

#include "testkit/discgen/MixBuffer.h"

namespace wc {

enum class Groove { Backbeat, FourOnTheFloor, HalfTime };
enum class KeysSound { ElectricPiano, Organ, Strings, Guitar };
enum class BassSound { Finger, Synth, Round };
enum class LeadSound { Bell, Square, Whistle };

struct SongStyle {
  uint32_t seed = 1;  // picks progressions, patterns and melodies
  int key = 45;       // MIDI note of the tonic in the bass octave
  bool minor = false;
  double bpm = 110.0;
  double swing = 0.0;  // 0..0.3: how late the off-beat eighths come, in eighths
  Groove groove = Groove::Backbeat;
  KeysSound keys = KeysSound::ElectricPiano;
  BassSound bass = BassSound::Finger;
  LeadSound lead = LeadSound::Bell;
  int bodyBars = 32;  // bars of the song clip
};

// How a rendered stretch ends.
enum class Ending {
  Cut,       // at the bar line; the next stretch carries the ringing notes on
  FadeOut,   // the last two bars fade to silence
  FinalHit,  // one last tonic chord on the bar line, left to ring out
};

class Song {
 public:
  explicit Song(const SongStyle& style);

  double barSeconds() const { return 240.0 / style_.bpm; }
  const SongStyle& style() const { return style_; }

  // Bars [fromBar, toBar) of the timeline.
  MixBuffer render(int fromBar, int toBar, Ending ending = Ending::Cut) const;

 private:
  enum class Section { QuietIntro, Intro, Verse, Chorus, Breakdown, Outro };
  struct Motif;

  Section sectionOf(int bar) const;
  const int* chordOf(int bar) const;  // four scale degrees, one per bar of a phrase
  int chordDegree(int bar) const;
  int scaleNote(int degree) const;  // semitones above the tonic, any degree
  void renderBar(int bar, int64_t windowStart, MixBuffer& out) const;
  void renderFinalHit(int bar, int64_t windowStart, MixBuffer& out) const;
  int64_t sampleAt(int bar, double beat) const;

  SongStyle style_;
  int verse_[4];
  int chorus_[4];
  // Melody rhythm and contour for the choruses: eight eighths per bar, two
  // bars; -1 is a rest, otherwise the index of a chord tone (0..5 over two
  // octaves).
  int melody_[16];
  int bassPattern_ = 0;
};

}  // namespace wc
