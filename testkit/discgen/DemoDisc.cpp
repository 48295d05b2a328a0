#include "testkit/discgen/DemoDisc.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "testkit/discgen/MixBuffer.h"
#include "testkit/discgen/SongSynth.h"

namespace wc {
namespace {

// ---------------------------------------------------------------------------
// The content: invented stations, artists, titles and lines.

struct SongEntry {
  const char* title;
  const char* artist;
  SongStyle style;  // bodyBars is derived from bodySeconds
  double bodySeconds;
};

struct StationEntry {
  int index;
  const char* label;
  Speaker dj;
  SongStyle bed;  // the station's sound under its jingles and talk
  SongEntry songs[kDemoSongsPerStation];
  const char* chatter[4][kDemoChatterPerClass];  // classes 5, 6, 2, 7
};

constexpr ClipClass kChatterClasses[4] = {ClipClass::ChatterFive, ClipClass::ChatterSix, ClipClass::Chatter,
                                          ClipClass::ChatterSeven};

SongStyle style(uint32_t seed, int key, bool minor, double bpm, Groove groove, KeysSound keys, BassSound bass,
                LeadSound lead, double swing = 0.0) {
  SongStyle s;
  s.seed = seed;
  s.key = key;
  s.minor = minor;
  s.bpm = bpm;
  s.swing = swing;
  s.groove = groove;
  s.keys = keys;
  s.bass = bass;
  s.lead = lead;
  return s;
}

using G = Groove;
using K = KeysSound;
using B = BassSound;
using L = LeadSound;

const StationEntry kStations[3] = {
    {4,
     "Harbor 88",
     {"en-us+m3", 165, 45, 401},
     style(4100, 45, false, 120, G::Backbeat, K::Guitar, B::Finger, L::Bell),
     {{"Paper Lanterns", "The Tidewater Five", style(4101, 45, false, 118, G::Backbeat, K::Guitar, B::Finger, L::Bell),
       60},
      {"Coastline Radio", "Marisol Grey",
       style(4102, 43, false, 124, G::FourOnTheFloor, K::ElectricPiano, B::Synth, L::Square), 45},
      {"Seven Bridges", "North Pier", style(4103, 40, true, 96, G::HalfTime, K::Strings, B::Round, L::Whistle), 130},
      {"Saltwater Summer", "The Low Harbors",
       style(4104, 38, false, 132, G::Backbeat, K::Guitar, B::Finger, L::Whistle), 40}},
     {{"You're tuned to Harbor 88. Songs from the waterfront, all night long.",
       "Harbor 88. The lighthouse of your radio dial."},
      {"Coming up on Harbor 88, a whole hour of music without the chit chat. Well, almost.",
       "Stay right there. New music from North Pier in just a moment."},
      {"I had the strangest dream last night. I was a seagull, and nobody would share their fries with me.",
       "Thanks to everybody who called about the lost umbrella. It has been found. It was in my hand."},
      {"Harbor weather: fog rolling in after midnight, clearing by breakfast. Bring a sweater.",
       "Traffic: the coast road is moving nicely, but the ferry line is backed up to the fish market."}}},
    {8,
     "Velvet 102",
     {"en+f4", 150, 55, 802},
     style(8100, 41, true, 112, G::FourOnTheFloor, K::ElectricPiano, B::Synth, L::Square),
     {{"Midnight Arcade", "Lumen Avenue",
       style(8101, 41, true, 120, G::FourOnTheFloor, K::ElectricPiano, B::Synth, L::Square), 70},
      {"Golden Hour", "Desiree and the Satellites",
       style(8102, 44, false, 104, G::Backbeat, K::Organ, B::Finger, L::Bell, 0.2), 50},
      {"Slow Dance Machine", "The Velvet Union",
       style(8103, 42, true, 88, G::HalfTime, K::ElectricPiano, B::Round, L::Whistle, 0.25), 75},
      {"City of Neon", "Amaro Jones", style(8104, 46, false, 126, G::FourOnTheFloor, K::Strings, B::Synth, L::Bell),
       42}},
     {{"Velvet 102. Smooth grooves for late night people.",
       "You're locked in to Velvet 102, where the disco ball never stops turning."},
      {"Next up, something slow. Grab somebody you like and hold on.",
       "Don't touch that dial. Lumen Avenue is on the way."},
      {"Someone asked me the secret to a good night. Honestly? Bass. More bass.",
       "To the couple dancing in the laundromat on Fourth Street: we see you. Keep going."},
      {"A warm one tonight, seventy eight degrees downtown, with a gentle breeze off the river.",
       "Heads up, night owls. The Neon Avenue tunnel is closed for repairs until Thursday."}}},
    {13,
     "Canyon 94.5",
     {"en-us+m2", 145, 35, 1303},
     style(13100, 40, false, 100, G::Backbeat, K::Organ, B::Round, L::Whistle, 0.15),
     {{"Dust and Chrome", "Rattlesnake Choir",
       style(13101, 40, false, 140, G::Backbeat, K::Guitar, B::Finger, L::Whistle, 0.2), 55},
      {"Highway Ghosts", "Dale Mercer", style(13102, 45, true, 92, G::HalfTime, K::Organ, B::Round, L::Square), 85},
      {"Blue Mesa", "The Drifting Kind", style(13103, 43, false, 108, G::Backbeat, K::Strings, B::Finger, L::Bell), 58},
      {"Coyote Moon", "Ruby Calloway", style(13104, 38, true, 100, G::Backbeat, K::Guitar, B::Round, L::Whistle, 0.15),
       40}},
     {{"Canyon 94.5. Wide open roads, wide open radio.",
       "This is Canyon 94.5, playing the songs your truck already knows."},
      {"After this, a brand new one from Dale Mercer. Turn it up.",
       "Stick around. We have a long stretch of music ahead, just like that highway."},
      {"My uncle says you can hear the desert sing if you sit still long enough. Mostly I heard my stomach.",
       "Shout out to the Blue Mesa diner. Best pie in three counties, and I have checked."},
      {"Out on the flats: hot and dry, winds picking up after sundown. Watch for dust on Route 9.",
       "Road report: cattle crossing near mile marker forty. Slow down and give them a wave."}}},
};

struct AdEntry {
  const char* title;
  const char* lines[3];  // spoken in turn by the announcer and the guest voice
  SongStyle jingle;
};

const AdEntry kAds[kDemoCommercials] = {
    {"Starlite Motors",
     {"Tired of walking?", "Come on down to Starlite Motors, where every car has at least three wheels!",
      "Starlite Motors. We put the car in careful."},
     style(1101, 43, false, 128, G::FourOnTheFloor, K::Organ, B::Synth, L::Square)},
    {"FizzWizz Cola",
     {"Thirsty?", "FizzWizz Cola. Now with twice the fizz and half the wizz.", "FizzWizz. Drink the sparkle."},
     style(1102, 47, false, 136, G::Backbeat, K::ElectricPiano, B::Round, L::Bell)},
    {"Doctor Nimble's Tooth Varnish",
     {"Is your smile a little dull?", "Doctor Nimble's Tooth Varnish gives you a shine they can see from space.",
      "Ask your dentist. Or don't. We are not your mother."},
     style(1103, 41, false, 112, G::Backbeat, K::Strings, B::Finger, L::Whistle)},
    {"Gulfside Mattress Barn",
     {"This weekend only, at the Gulfside Mattress Barn!", "Every bed, every pillow, every blanket, priced to move.",
      "Gulfside Mattress Barn. Sleep like you mean it."},
     style(1104, 38, false, 96, G::HalfTime, K::ElectricPiano, B::Round, L::Bell)},
    {"Captain Crunchwell's Fish Shack",
     {"Ahoy, hungry people!", "Captain Crunchwell's Fish Shack serves the crunchiest fish on the whole coast.",
      "Captain Crunchwell's. Open till the tide comes in."},
     style(1105, 45, false, 124, G::Backbeat, K::Guitar, B::Finger, L::Whistle, 0.1)},
};

const Speaker kAnnouncer{"en-us+m1", 175, 60, 1901};
const Speaker kGuest{"en+f2", 165, 65, 1902};

// ---------------------------------------------------------------------------
// Rendering.

// What every generate() closure needs besides its own arguments.
struct Render {
  DemoOptions options;

  std::vector<float> say(const std::string& text, const Speaker& speaker) const {
    if (!sketch()) return speak(text, speaker, options.speech);
    // One word is as good as the line in a sketch, and much quicker.
    std::vector<float> voice = speak(text.substr(0, text.find(' ')), speaker, options.speech);
    voice.resize(std::min(voice.size(), samplesFor(options.sketchSeconds)));
    return voice;
  }
  StereoSignal finish(MixBuffer mix) const {
    if (options.sketchSeconds > 0.0 && mix.samples() > samplesFor(options.sketchSeconds)) {
      mix.left.resize(samplesFor(options.sketchSeconds));
      mix.right.resize(samplesFor(options.sketchSeconds));
    }
    return toStereoSignal(mix);
  }
  bool sketch() const { return options.sketchSeconds > 0.0; }
  // Bars of a song; a sketch needs the clip, not the tune.
  MixBuffer music(const Song& song, int fromBar, int toBar, Ending ending = Ending::Cut) const {
    if (!sketch()) return song.render(fromBar, toBar, ending);
    const StereoSignal tone = makeSine(samplesFor(options.sketchSeconds), 220.0, 330.0, 0.3);
    MixBuffer mix(tone.samples());
    for (size_t i = 0; i < tone.samples(); ++i) {
      mix.left[i] = float(tone.left[i]) / 32768.0f;
      mix.right[i] = float(tone.right[i]) / 32768.0f;
    }
    return mix;
  }
};

double seconds(size_t samples) { return double(samples) / kSignalSampleRate; }

// Bars of music enough to hold `speechSeconds` starting `lead` seconds in
// and leaving `tail` seconds after it, and never fewer than `minimum`.
int barsToHold(const Song& song, double lead, double speechSeconds, double tail, int minimum) {
  return std::max(minimum, int(std::ceil((lead + speechSeconds + tail) / song.barSeconds())));
}

// The voice over the music, the music ducked beneath it.
void voiceOver(MixBuffer& music, const std::vector<float>& voice, size_t at, float duckedGain) {
  if (voice.empty()) return;
  duck(music, at, at + voice.size(), duckedGain);
  music.addMono(voice, ptrdiff_t(at), 1.1f, 0.0f);
}

// A title fits the catalogue's 63 characters; a longer spoken line is cut at
// a word and marked as cut.
std::string titleFor(const std::string& line) {
  constexpr size_t kRoom = 63;
  if (line.size() <= kRoom) return line;
  size_t cut = line.rfind(' ', kRoom - 3);
  if (cut == std::string::npos) cut = kRoom - 3;
  std::string title = line.substr(0, cut);
  while (!title.empty() && (title.back() == ',' || title.back() == '.')) title.pop_back();
  return title + "...";
}

ClipPlan intro(const Render& r, const SongStyle& s, const std::string& line, const Speaker& dj, int minimumBars) {
  ClipPlan c;
  c.title = titleFor(line);
  c.clipClass = ClipClass::Chatter;
  c.generate = [r, s, line, dj, minimumBars] {
    const Song song(s);
    const std::vector<float> voice = line.empty() ? std::vector<float>{} : r.say(line, dj);
    const double lead = song.barSeconds() * 0.5;
    const int bars = r.sketch() ? 1 : barsToHold(song, lead, seconds(voice.size()), 0.8, minimumBars);
    MixBuffer music = r.music(song, -bars, 0);
    voiceOver(music, voice, samplesFor(lead), 0.4f);
    return r.finish(std::move(music));
  };
  return c;
}

ClipPlan outro(const Render& r, const SongStyle& s, const std::string& line, const Speaker& dj, int minimumBars,
               Ending ending) {
  ClipPlan c;
  c.title = titleFor(line);
  c.clipClass = ClipClass::Chatter;
  c.generate = [r, s, line, dj, minimumBars, ending] {
    const Song song(s);
    const std::vector<float> voice = line.empty() ? std::vector<float>{} : r.say(line, dj);
    const double lead = song.barSeconds();
    // The voice finishes before the music fades away under it.
    const double tail = ending == Ending::FadeOut ? 2.0 * song.barSeconds() : 0.2;
    const int bars = r.sketch() ? 1 : barsToHold(song, lead, seconds(voice.size()), tail, minimumBars);
    MixBuffer music = r.music(song, s.bodyBars, s.bodyBars + bars, ending);
    voiceOver(music, voice, samplesFor(lead), 0.45f);
    return r.finish(std::move(music));
  };
  return c;
}

ClipPlan song(const Render& r, const StationEntry& station, int k) {
  const SongEntry& entry = station.songs[k];
  SongStyle s = entry.style;
  s.bodyBars = r.sketch() ? 1 : std::max(4, int(std::lround(entry.bodySeconds * s.bpm / 240.0)));
  const std::string title = entry.title;
  const std::string artist = entry.artist;
  const std::string label = station.label;

  ClipPlan c;
  c.title = title;
  c.artist = artist;
  c.clipClass = ClipClass::Song;
  c.generate = [r, s] { return r.finish(r.music(Song(s), 0, s.bodyBars)); };

  // Two or three ways in and out, alternating between songs: spoken and
  // plain, a longer and a shorter opening, a fade and a full stop.
  const bool odd = k % 2 == 1;
  c.intros.push_back(intro(r, s, "Here's " + artist + " with " + title + ".", station.dj, 2));
  c.intros.push_back(intro(r, s, "", station.dj, odd ? 2 : 4));
  if (odd) c.intros.push_back(intro(r, s, label + ". This one is for everybody still up with us.", station.dj, 2));

  c.outros.push_back(
      outro(r, s, "That was " + title + " by " + artist + ", on " + label + ".", station.dj, 3, Ending::FadeOut));
  c.outros.push_back(outro(r, s, "", station.dj, odd ? 4 : 2, odd ? Ending::FadeOut : Ending::FinalHit));
  if (!odd)
    c.outros.push_back(
        outro(r, s, artist + ". Lovely stuff. More music right after this.", station.dj, 2, Ending::FinalHit));
  return c;
}

// Classes 5 and 7 talk over the station's bed, class 6 over a jingle that
// ends on a hit, class 2 (the DJ just talking) without music.
ClipPlan chatter(const Render& r, const StationEntry& station, int classSlot, int k) {
  const std::string line = station.chatter[classSlot][k];
  const ClipClass clipClass = kChatterClasses[classSlot];
  SongStyle bed = station.bed;
  bed.seed += uint32_t(10 * classSlot + k);
  const Speaker dj = station.dj;

  ClipPlan c;
  c.title = titleFor(line);
  c.clipClass = clipClass;
  c.generate = [r, line, clipClass, bed, dj] {
    const std::vector<float> voice = r.say(line, dj);
    if (clipClass == ClipClass::Chatter) {
      MixBuffer dry(voice.size() + samplesFor(0.6));
      dry.addMono(voice, ptrdiff_t(samplesFor(0.2)), 1.1f, 0.0f);
      return r.finish(std::move(dry));
    }
    Song song(bed);
    const double lead = clipClass == ClipClass::ChatterSix ? song.barSeconds() : 0.6;
    const int bars = r.sketch() ? 1 : barsToHold(song, lead, seconds(voice.size()), 0.6, 2);
    // The bed is the quiet opening of the station's sound, far before bar 0.
    MixBuffer music = clipClass == ClipClass::ChatterSix ? r.music(song, -2, -2 + bars, Ending::FinalHit)
                                                         : r.music(song, -8, -8 + bars, Ending::FadeOut);
    voiceOver(music, voice, samplesFor(lead), 0.35f);
    return r.finish(std::move(music));
  };
  return c;
}

ClipPlan commercial(const Render& r, const AdEntry& ad) {
  ClipPlan c;
  c.title = ad.title;
  c.clipClass = ClipClass::Commercial;
  const std::vector<std::string> lines(std::begin(ad.lines), std::end(ad.lines));
  const SongStyle jingle = ad.jingle;
  c.generate = [r, lines, jingle] {
    std::vector<std::vector<float>> voices;
    double talk = 0.0;
    for (size_t i = 0; i < lines.size(); ++i) {
      voices.push_back(r.say(lines[i], i % 2 == 0 ? kAnnouncer : kGuest));
      talk += seconds(voices.back().size()) + 0.35;
    }
    Song song(jingle);
    const double lead = song.barSeconds() * 0.5;
    const int bars = r.sketch() ? 1 : barsToHold(song, lead, talk, 0.3, 4);
    MixBuffer music = r.music(song, 0, bars, Ending::FinalHit);
    size_t at = samplesFor(lead);
    for (const auto& voice : voices) {
      voiceOver(music, voice, at, 0.3f);
      at += voice.size() + samplesFor(0.35);
    }
    return r.finish(std::move(music));
  };
  return c;
}

}  // namespace

DiscPlan demoDiscPlan(const DemoOptions& options) {
  const Render r{options};
  DiscPlan plan;
  plan.unlistEmptyStations = true;

  StationPlan adverts;
  adverts.index = kAdvertsStation;
  adverts.listed = true;
  for (const AdEntry& ad : kAds) adverts.clips.push_back(commercial(r, ad));
  plan.stations.push_back(std::move(adverts));

  for (const StationEntry& entry : kStations) {
    StationPlan s;
    s.index = entry.index;
    s.label = entry.label;
    s.listed = true;
    // A station's clips mix songs and talk, as a station's pack does.
    for (int k = 0; k < kDemoSongsPerStation; ++k) {
      s.clips.push_back(song(r, entry, k));
      for (int slot = 0; slot < 4; ++slot)
        if ((k + slot) % 2 == 0) s.clips.push_back(chatter(r, entry, slot, k / 2));
    }
    plan.stations.push_back(std::move(s));
  }
  return plan;
}

}  // namespace wc
