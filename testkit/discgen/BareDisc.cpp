#include "testkit/discgen/BareDisc.h"

#include <algorithm>
#include <cmath>

#include "testkit/discgen/AdpcmEncoder.h"
#include "testkit/discgen/MixBuffer.h"
#include "testkit/discgen/XorShift.h"

namespace wc {
namespace {

// The station plans' own draws.
class Draw : public XorShift32 {
 public:
  explicit Draw(uint32_t seed) : XorShift32(seed, 0x6A09E667u) {}
};

MixBuffer mixOf(const StereoSignal& s) {
  MixBuffer m(s.samples());
  for (size_t i = 0; i < s.samples(); ++i) {
    m.left[i] = float(s.left[i]) / 32768.0f;
    m.right[i] = float(s.right[i]) / 32768.0f;
  }
  return m;
}

MixBuffer slice(const MixBuffer& m, size_t from, size_t to) {
  MixBuffer out;
  out.left.assign(m.left.begin() + ptrdiff_t(from), m.left.begin() + ptrdiff_t(to));
  out.right.assign(m.right.begin() + ptrdiff_t(from), m.right.begin() + ptrdiff_t(to));
  return out;
}

std::vector<float> voice(size_t samples, uint32_t seed) {
  const StereoSignal babble = makeBabble(samples, seed);
  std::vector<float> mono(babble.samples());
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = float(babble.left[i]) / 32768.0f;
  normalize(mono, 0.6f);
  return mono;
}

// A voice over [from, to) of `music`, the music ducked beneath it (at
// once where `from` is the clip's first sample).
void speakOver(MixBuffer& music, size_t from, size_t to, uint32_t seed) {
  if (to <= from + samplesFor(0.3)) return;
  const std::vector<float> v = voice(to - from, seed);
  duck(music, from, to, 0.45f);
  music.addMono(v, ptrdiff_t(from), 1.0f);
}

// Both channels encoded frame by frame with a history that may carry on
// from earlier audio: the game's music is one stream, so a song's first
// frame was encoded after its lead-in and an outro's after the song.
struct StereoEncoder {
  AdpcmEncoder left, right;

  EncodedClip encode(const StereoSignal& s) {
    EncodedClip clip;
    const size_t frames = s.samples() / 28;
    clip.left.resize(frames * 16);
    clip.right.resize(frames * 16);
    for (size_t f = 0; f < frames; ++f) {
      left.encodeFrame(s.left.data() + 28 * f, clip.left.data() + 16 * f);
      right.encodeFrame(s.right.data() + 28 * f, clip.right.data() + 16 * f);
    }
    return clip;
  }
};

ClipPlan encodedClip(ClipClass clipClass, EncodedClip frames) {
  ClipPlan c;
  c.clipClass = clipClass;
  c.frames = std::move(frames);
  return c;
}

ClipPlan clipOf(ClipClass clipClass, StereoSignal signal) {
  ClipPlan c;
  c.clipClass = clipClass;
  c.signal = std::move(signal);
  return c;
}

// Clips hold whole 28-sample frames (the encoder pads the last one with
// silence), so the cuts of a performance fall on frame boundaries.
size_t wholeFrames(double seconds) { return std::max<size_t>(1, samplesFor(seconds) / 28) * 28; }

// One performance: lead-in, song, and the longest outro, cut into clips.
ClipPlan songBlock(const BareItem& item, Draw& draw, uint32_t seed) {
  const double leadIn = draw.between(1.2, 2.4);
  const double tailOut = draw.between(1.6, 2.8);
  const size_t lead = wholeFrames(leadIn);
  const size_t body = wholeFrames(item.seconds);
  const MixBuffer performance = mixOf(makeMusic(lead + body + samplesFor(tailOut), seed));

  StereoEncoder stream;
  stream.encode(toStereoSignal(slice(performance, 0, lead)));
  ClipPlan song = encodedClip(ClipClass::Song, stream.encode(toStereoSignal(slice(performance, lead, lead + body))));
  for (int i = 0; i < item.intros; ++i) {
    // Every intro ends on the song's first sample; they start a little apart.
    const size_t length = wholeFrames(leadIn * draw.between(0.7, 1.0));
    MixBuffer intro = slice(performance, lead - length, lead);
    if (item.spokenIntros && i + 1 < std::max(2, item.intros))
      speakOver(intro, samplesFor(0.15), length - samplesFor(0.35), seed * 31u + uint32_t(i));
    song.intros.push_back(encodedClip(ClipClass::Other3, StereoEncoder{}.encode(toStereoSignal(intro))));
  }
  for (int i = 0; i < item.outros; ++i) {
    const size_t length = wholeFrames(tailOut * draw.between(0.6, 1.0));
    MixBuffer outro = slice(performance, lead + body, lead + body + length);
    if (i == item.voiceFromSeam)
      speakOver(outro, 0, length - samplesFor(0.4), seed * 37u + uint32_t(i));
    else if (item.spokenOutros && i + 1 < std::max(2, item.outros))
      speakOver(outro, samplesFor(0.35), length - samplesFor(0.4), seed * 37u + uint32_t(i));
    outro.ramp(length * 2 / 5, length, 1.0f, 0.0f);
    StereoEncoder afterSong = stream;
    song.outros.push_back(encodedClip(ClipClass::Other4, afterSong.encode(toStereoSignal(outro))));
  }
  return song;
}

ClipPlan chatter(double seconds, uint32_t seed) {
  MixBuffer m(samplesFor(seconds));
  m.addMono(voice(m.samples(), seed), 0, 1.0f);
  return clipOf(ClipClass::Chatter, toStereoSignal(m));
}

// Music that stops: a stinger with a quick fade.
ClipPlan identification(double seconds, uint32_t seed) {
  MixBuffer m = mixOf(makeMusic(samplesFor(seconds), seed));
  m.ramp(m.samples() * 3 / 4, m.samples(), 1.0f, 0.0f);
  return clipOf(ClipClass::ChatterFive, toStereoSignal(m));
}

}  // namespace

DiscPlan bareDiscPlan(const std::vector<BareStation>& stations, uint32_t seed) {
  DiscPlan plan;
  plan.unlistEmptyStations = true;
  Draw draw(seed);
  uint32_t audioSeed = seed * 1000u + 7u;
  for (const BareStation& bare : stations) {
    StationPlan s;
    s.index = bare.index;
    s.listed = true;
    for (const BareItem& item : bare.items) {
      switch (item.kind) {
        case BareItemKind::SongBlock: s.clips.push_back(songBlock(item, draw, ++audioSeed)); break;
        case BareItemKind::Chatter: s.clips.push_back(chatter(item.seconds, ++audioSeed)); break;
        case BareItemKind::Identification: s.clips.push_back(identification(item.seconds, ++audioSeed)); break;
        case BareItemKind::Empty: s.clips.push_back(clipOf(ClipClass::Chatter, StereoSignal{})); break;
      }
    }
    plan.stations.push_back(std::move(s));
  }
  return plan;
}

std::vector<BareStation> randomBareStations(uint32_t seed, int songsPerStation, double songSeconds) {
  Draw draw(seed ^ 0xB5297A4Du);
  std::vector<BareStation> stations;
  for (int index : {4, 8, 13}) {
    BareStation s;
    s.index = index;
    auto between = [&] {
      const int n = draw.below(3);
      for (int i = 0; i < n; ++i) {
        BareItem item;
        item.kind = draw.chance(0.6) ? BareItemKind::Chatter : BareItemKind::Identification;
        item.seconds = item.kind == BareItemKind::Chatter ? draw.between(1.5, 3.5) : draw.between(1.0, 2.5);
        s.items.push_back(item);
      }
    };
    if (draw.chance(0.5)) between();
    for (int k = 0; k < songsPerStation; ++k) {
      BareItem song;
      song.seconds = songSeconds * draw.between(1.0, 2.0);
      song.intros = draw.below(4);
      song.outros = draw.below(4);
      if (song.intros + song.outros == 0) song.outros = 1;
      song.spokenIntros = draw.chance(0.8);
      song.spokenOutros = draw.chance(0.8);
      s.items.push_back(song);
      between();
    }
    stations.push_back(std::move(s));
  }
  return stations;
}

}  // namespace wc
