#pragma once
// Bare discs with the game's radio structure, for testing the song
// detection: every song block is cut from one continuous performance (the
// intros are the same lead-in, most with a voice over it, ending where the
// song begins; the outros continue from the song's last sample, most with a
// voice, fading out), chatter is speech alone, identifications are short
// stingers that stop. The plan's classes and counts are the truth (song 0,
// intro 3, outro 4, chatter 2, identification 5); the disc itself is written
// without a catalogue file, so the program sees it bare.
#include <cstdint>
#include <vector>

#include "testkit/discgen/DiscBuilder.h"

namespace wc {

enum class BareItemKind {
  SongBlock,       // a song, `intros` intros and `outros` outros
  Chatter,         // speech, `seconds` long
  Identification,  // a stinger of music, `seconds` long
  Empty,           // a clip with no frames
};

struct BareItem {
  BareItemKind kind = BareItemKind::SongBlock;
  double seconds = 6.0;  // the song or the clip
  int intros = 2;
  int outros = 2;
  bool spokenIntros = true;  // a voice over all intros but the last; else none
  bool spokenOutros = true;  // likewise for the outros
  int voiceFromSeam = -1;    // this outro's voice starts on its first sample, the music ducked at once
};

struct BareStation {
  int index = 4;
  std::vector<BareItem> items;
};

// The same stations and seed give the same audio.
DiscPlan bareDiscPlan(const std::vector<BareStation>& stations, uint32_t seed);

// Stations 4, 8 and 13 with songsPerStation song blocks each, shaped by the
// seed: blocks with zero to three intros and outros (never none of both),
// chatter and identifications between them, some stations opening with one.
// Songs last songSeconds to twice that.
std::vector<BareStation> randomBareStations(uint32_t seed, int songsPerStation, double songSeconds);

}  // namespace wc
