#pragma once
// Bare discs shaped the way a station's editors shape real radio, from any
// music and voices: each song block is cut from one continuous performance
// (its intros end exactly where the song begins, its outros start exactly
// where it ends), cut on a strong onset or at any phase; outros fade
// linearly, along a raised cosine or linearly in decibels over 35-80% of
// their length, or stop cold; DJ voices duck the music and sometimes run
// into the seam; songs are full-length or short with up to eight intros and
// eight outros; between the blocks come chatter with or without a music bed,
// commercial-like spots and identifications, or nothing. Some discs encode a
// performance's clips as one stream, others each clip apart. The plan's
// classes and counts are the truth (song 0, intro 3, outro 4, chatter 2,
// identification 5).
#include <cstdint>
#include <vector>

#include "testkit/discgen/DiscBuilder.h"
#include "testkit/discgen/MixBuffer.h"

namespace wc {

struct BareDiscSize {
  int songsPerStation = 4;
  // Short songs and no full-length ones: a disc a test can afford.
  bool small = false;
  // Threads that render and encode; the disc is the same for any number.
  unsigned threads = 2;
};

// Where a disc's music and voices come from. Called from several threads.
class RadioMaterial {
 public:
  virtual ~RadioMaterial() = default;
  // A continuous stretch of music at least `seconds` long: piece `piece`
  // (any number; the material wraps it) from `start` (0 its beginning, 1 as
  // late as the piece allows).
  virtual MixBuffer music(uint32_t piece, double start, double seconds) const = 0;
  // A spoken line of about `seconds` (mono, peak 0.9) by speaker `speaker`
  // (any number), its words picked by `words`.
  virtual std::vector<float> line(uint32_t speaker, uint32_t words, double seconds) const = 0;
};

// `family` is the family's own number, so that equal seeds of two families
// give unrelated discs, not the same layout with other music.
DiscPlan radioDiscPlan(const RadioMaterial& material, uint32_t family, uint32_t seed, const BareDiscSize& size);

enum class FadeShape { Linear, RaisedCosine, LinearDecibels };

// Fades [from, to) of `music` out along `shape`, to silence at `to`; what
// follows `to` is silenced too.
void fadeOut(MixBuffer& music, size_t from, size_t to, FadeShape shape);

}  // namespace wc
