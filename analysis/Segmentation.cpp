#include "analysis/Segmentation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "analysis/Percentile.h"
#include "analysis/SampleDensity.h"

namespace wc {
namespace {

constexpr double kImpossible = -std::numeric_limits<double>::infinity();
constexpr int kMost = kMostFollowOns;
// How far a follow-on's voice counts against it: a DJ may talk over a
// whole outro, which stays an outro however much it sounds like chatter.
// Chosen on the tuning discs.
constexpr double kMostVoice = 2.0;

// A way to cover the clips from `start` on: one lone clip (no follow-ons
// and `block` false) or a song block.
struct Step {
  size_t start = 0;
  bool block = false;
  int intros = 0, outros = 0;
  double score = 0.0;
  size_t length() const { return block ? size_t(1 + intros + outros) : 1; }
};

// Clip `clip` as an intro (the junction earlier -> later is clip -> song)
// or an outro (song -> clip); `voice` is how much more it sounds like
// chatter than like an identification.
double followOn(const StationEvidence& ev, size_t earlier, size_t later, size_t clip, double voice,
                const FollowOnModel& m) {
  const StationEvidence::WaveformParts parts = ev.waveformParts(earlier, later);
  const ClipSummary& c = ev.clip(clip);
  return m.bias + (parts.seen() ? m.waveformSeen : 0.0) + m.waveform * parts.combined() +
         m.forward * std::max(parts.forward, parts.carriedForward) +
         m.backward * std::max(parts.backward, parts.carriedBackward) +
         m.spectral * ev.spectralJunction(earlier, later) + m.beat * ev.beatJunction(earlier, later) +
         m.level * ev.levelJunction(earlier, later) + m.partials * ev.partialJunction(earlier, later) +
         m.pauses * c.cues.pauseShare + m.fadeOut * c.cues.fadeOutShare +
         m.length * std::log(std::max(c.seconds(), 0.05)) + m.speech * ev.speechPenalty(clip) +
         m.voice * std::clamp(voice, 0.0, kMostVoice);
}

// The scores of every block a station allows, from the evidence.
class BlockScores {
 public:
  // `songSpeech[k]`: how much more clip k sounds like speech than like a
  // song; `shortSpeech[k]` than like a station identification.
  BlockScores(const StationEvidence& ev, std::span<const double> songSpeech, std::span<const double> shortSpeech,
              const SegmentationWeights& w)
      : n_(ev.size()), songLength_(w.songLength) {
    for (size_t k = 0; k < n_; ++k) seconds_.push_back(ev.clip(k).seconds());
    intro_.assign(n_, {});
    outro_.assign(n_, {});
    introQuiet_.assign(n_, {});
    outroQuiet_.assign(n_, {});
    introSiblings_.assign(n_, {});
    outroSiblings_.assign(n_, {});
    song_.assign(n_, kImpossible);
    for (size_t k = 0; k < n_; ++k) {
      const ClipSummary& c = ev.clip(k);
      if (!c.audible) continue;
      song_[k] = ev.speechPenalty(k) - w.blockCost - w.songSpeech * std::max(0.0, songSpeech[k]);
      for (int i = 1; i <= kMost; ++i) {
        const size_t x = k + size_t(i);
        double& s = intro_[k][size_t(i - 1)];
        s = kImpossible;
        if (x >= n_ || !ev.clip(x).audible) continue;
        s = followOn(ev, x, k, x, shortSpeech[x], w.intro);
        introQuiet_[k][size_t(i - 1)] = ev.quietSeam(x, k) ? w.quietSeam : 0.0;
        if (ev.clip(x).seconds() > c.seconds()) s -= w.shortSong;
      }
      for (int m = 1; m <= 2 * kMost; ++m) {
        const size_t x = k + size_t(m);
        double& s = outro_[k][size_t(m - 1)];
        s = kImpossible;
        if (x >= n_ || !ev.clip(x).audible) continue;
        s = followOn(ev, k, x, x, shortSpeech[x], w.outro);
        outroQuiet_[k][size_t(m - 1)] = ev.quietSeam(k, x) ? w.quietSeam : 0.0;
        if (ev.clip(x).seconds() > c.seconds()) s -= w.shortSong;
      }
      for (size_t d = 1; d < size_t(kMost) && k + d < n_; ++d) {
        introSiblings_[k][d] = ev.introSiblings(k, k + d);
        outroSiblings_[k][d] = ev.outroSiblings(k, k + d);
      }
    }
  }

  // Adds evidence for clip k being a song to every block it heads.
  void addSongEvidence(size_t k, double evidence) {
    if (song_[k] != kImpossible) song_[k] += evidence;
  }

  // Song k with its intros and outros; impossible past the list.
  double block(size_t k, int intros, int outros) const {
    if (song_[k] == kImpossible || k + size_t(intros + outros) >= n_) return kImpossible;
    double s = song_[k];
    // Songs run for minutes, their intros and outros for seconds.
    double longest = 0.0;
    for (int i = 1; i <= intros + outros; ++i) longest = std::max(longest, seconds_[k + size_t(i)]);
    s += songLength_ * std::clamp(std::log(seconds_[k] / std::max(longest, 0.1)), -2.0, 2.0);
    for (int i = 1; i <= intros; ++i) {
      const size_t at = size_t(i - 1);
      s += intro_[k][at] + withSiblings(likestEarlier(introSiblings_, k + 1, i - 1), introQuiet_[k][at]);
    }
    for (int j = 1; j <= outros; ++j) {
      const size_t at = size_t(intros + j - 1);
      s += outro_[k][at] +
           withSiblings(likestEarlier(outroSiblings_, k + 1 + size_t(intros), j - 1), outroQuiet_[k][at]);
    }
    return s;
  }

 private:
  size_t n_;
  double songLength_;
  std::vector<double> seconds_;
  std::vector<double> song_;
  std::vector<std::array<double, kMost>> intro_;      // intro_[k][i - 1]: clip k + i as an intro of k
  std::vector<std::array<double, 2 * kMost>> outro_;  // outro_[k][m - 1]: clip k + m as an outro of k
  // What a seam that begins in a quiet it does not lead into costs each of them.
  std::vector<std::array<double, kMost>> introQuiet_;
  std::vector<std::array<double, 2 * kMost>> outroQuiet_;
  // Pair evidence: [k][d] for clip k and clip k + d (d from 1).
  using Pairs = std::vector<std::array<double, kMost>>;
  Pairs introSiblings_, outroSiblings_;

  // A follow-on's sibling evidence, and what its quiet seam costs it unless
  // an earlier sibling vouches for it: a DJ may talk over outros that run
  // on from a song's quiet last bars, and siblings tell those apart.
  static double withSiblings(double siblings, double quietSeam) {
    return siblings > 0.0 ? siblings : siblings - quietSeam;
  }
  // The sibling evidence for the follow-on at `index` of a run starting at
  // clip `first`: its likest earlier follow-on. One whose voice runs into
  // the seam is like none of the others, yet the others still vouch for
  // each other past it; the first follow-on has no earlier one.
  static double likestEarlier(const Pairs& pairs, size_t first, int index) {
    if (index == 0) return 0.0;
    double best = kImpossible;
    for (int m = 0; m < index; ++m) best = std::max(best, pairs[first + size_t(m)][size_t(index - m)]);
    return best;
  }
};

// A clip that joins no song: speech is chatter; music is a song (one
// without intros and outros) when it is as long as songs are, else a
// station identification. How long songs are comes from the station's own
// song blocks once there are a few, so a short station identification on
// a station of short songs and a long one among long songs both come out right.
// `speech` is the ln odds of speech against music it was judged on.
struct LoneRole {
  ClipRole role = ClipRole::Unreadable;
  double speech = 0.0;
};
LoneRole loneRole(const ClipSummary& c, const ToneCues& tone, const StationTone& station, double songSeconds,
                  const SegmentationWeights& w) {
  if (!c.audible) return {};
  const bool songLength = c.seconds() >= songSeconds;
  const double speech = speechScore(c, tone, station, songLength ? w.amongSongs : w.amongShort);
  if (speech > 0.0) return {ClipRole::Chatter, speech};
  return {songLength ? ClipRole::Song : ClipRole::Identification, speech};
}

// Half the median length of the songs found, or kLoneSongSeconds while
// there are too few to say.
double loneSongSeconds(std::span<const ClipSummary> clips, const std::vector<RoleOfClip>& roles) {
  std::vector<double> songs;
  for (size_t k = 0; k < roles.size(); ++k)
    if (roles[k].role == ClipRole::Song) songs.push_back(clips[k].seconds());
  return songs.size() < 3 ? kLoneSongSeconds : 0.5 * median(std::move(songs));
}

// 0 for a choice that only just won, towards 1 as the best rival falls behind.
double confidenceOf(double margin) { return 1.0 / (1.0 + std::exp(1.0 - margin)); }

// Every way to cover the clips: each clip alone, and every block that can
// start at it, ordered by start.
std::vector<Step> candidateSteps(size_t n, const BlockScores& scores) {
  std::vector<Step> steps;
  for (size_t k = 0; k < n; ++k) {
    steps.push_back({k, false, 0, 0, 0.0});
    for (int i = 0; i <= kMost; ++i)
      for (int o = 0; o <= kMost; ++o) {
        if (i + o == 0) continue;
        const double s = scores.block(k, i, o);
        if (s != kImpossible) steps.push_back({k, true, i, o, s});
      }
  }
  return steps;
}

// For each clip, the best whole segmentation that covers it with another
// step than the chosen one. `chosen[end]` is the step of the best path that
// ends at `end`; `before` and `after` the best scores up to and from each point.
std::vector<double> rivalScores(const std::vector<Step>& steps, const std::vector<const Step*>& chosen,
                                const std::vector<double>& before, const std::vector<double>& after) {
  const size_t n = before.size() - 1;
  std::vector<bool> onPath(steps.size(), false);
  for (size_t end = n; end > 0;) {
    const Step* s = chosen[end];
    onPath[size_t(s - steps.data())] = true;
    end = s->start;
  }
  std::vector<double> rival(n, kImpossible);
  for (size_t t = 0; t < steps.size(); ++t) {
    if (onPath[t]) continue;
    const Step& s = steps[t];
    const double through = before[s.start] + s.score + after[s.start + s.length()];
    for (size_t c = s.start; c < s.start + s.length(); ++c) rival[c] = std::max(rival[c], through);
  }
  return rival;
}

// The segmentation with the highest summed score. Clips it leaves alone
// keep the role Unreadable, with their confidence, for the caller to name.
std::vector<RoleOfClip> bestSegmentation(size_t n, const BlockScores& scores) {
  std::vector<RoleOfClip> roles(n);
  const std::vector<Step> steps = candidateSteps(n, scores);
  // The best score of the clips before each point, and after it.
  std::vector<double> before(n + 1, kImpossible), after(n + 1, kImpossible);
  std::vector<const Step*> chosen(n + 1, nullptr);
  before[0] = 0.0;
  after[n] = 0.0;
  for (const Step& s : steps) {  // steps are ordered by start
    const size_t end = s.start + s.length();
    if (before[s.start] + s.score > before[end]) {
      before[end] = before[s.start] + s.score;
      chosen[end] = &s;
    }
  }
  for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
    const size_t end = s->start + s->length();
    after[s->start] = std::max(after[s->start], s->score + after[end]);
  }
  const double best = before[n];

  // The best whole segmentation that covers each clip with another step
  // than the chosen one: the chosen step's margin is how far it falls behind.
  const std::vector<double> rival = rivalScores(steps, chosen, before, after);

  for (size_t end = n; end > 0;) {
    const Step& s = *chosen[end];
    const double confidence = confidenceOf(best - rival[s.start]);
    if (s.block) {
      roles[s.start] = {ClipRole::Song, s.intros, s.outros, confidence};
      for (size_t c = s.start + 1; c < end; ++c)
        roles[c] = {c <= s.start + size_t(s.intros) ? ClipRole::Intro : ClipRole::Outro, 0, 0, confidence};
    } else {
      roles[s.start].confidence = confidence;
    }
    end = s.start;
  }
  return roles;
}

// Against each clip as a song, from its length: the ln likelihood ratio of
// its length among the songs `roles` found on this station and among the
// station's other clips (the clip itself left out of both), clamped to
// [-floor, 0]. What is long is the station's own: nullopt while too few of
// either are known.
std::optional<std::vector<double>> songLengthEvidence(std::span<const ClipSummary> clips,
                                                      const std::vector<RoleOfClip>& roles, double floor) {
  std::vector<double> songs, others;
  auto lnSeconds = [&](size_t k) { return std::log(std::max(clips[k].seconds(), 0.05)); };
  for (size_t k = 0; k < roles.size(); ++k)
    if (clips[k].audible) (roles[k].role == ClipRole::Song ? songs : others).push_back(lnSeconds(k));
  if (songs.size() < 4 || others.size() < 4) return std::nullopt;
  // A density of the lengths without one of them; a wide normal about
  // their mean keeps a few from ruling any length out.
  auto densityWithout = [](std::vector<double> lengths, std::optional<double> own) {
    if (own) lengths.erase(std::find(lengths.begin(), lengths.end(), *own));
    double mean = 0.0;
    for (double x : lengths) mean += x / double(lengths.size());
    return SampleDensity(std::move(lengths), mean, 1.0);
  };
  std::vector<double> evidence(roles.size(), 0.0);
  for (size_t k = 0; k < roles.size(); ++k) {
    if (!clips[k].audible) continue;
    const double x = lnSeconds(k);
    const bool song = roles[k].role == ClipRole::Song;
    evidence[k] = logLikelihoodRatio(densityWithout(songs, song ? std::optional(x) : std::nullopt),
                                     densityWithout(others, song ? std::nullopt : std::optional(x)), x, floor, 0.0);
  }
  return evidence;
}

}  // namespace

std::vector<RoleOfClip> segmentStation(std::span<const ClipSummary> clips, const SegmentationWeights& weights) {
  const size_t n = clips.size();
  if (n == 0) return {};
  const StationEvidence evidence(clips, weights.evidence);
  std::vector<ToneCues> tones(n);
  std::vector<double> songSpeech(n, 0.0), shortSpeech(n, 0.0);
  for (size_t k = 0; k < n; ++k)
    if (clips[k].audible) tones[k] = toneCuesOf(clips[k]);
  const StationTone station = stationToneOf(tones);
  for (size_t k = 0; k < n; ++k)
    if (clips[k].audible) {
      songSpeech[k] = speechScore(clips[k], tones[k], station, weights.amongSongs);
      shortSpeech[k] = speechScore(clips[k], tones[k], station, weights.amongShort);
    }
  const BlockScores scores(evidence, songSpeech, shortSpeech, weights);

  std::vector<RoleOfClip> roles = bestSegmentation(n, scores);
  // Once the station's songs are known, how long they run says which
  // clips are too short to be one.
  if (const auto lengths = songLengthEvidence(clips, roles, weights.songLengthFloor)) {
    BlockScores withLengths = scores;
    for (size_t k = 0; k < n; ++k) withLengths.addSongEvidence(k, (*lengths)[k]);
    roles = bestSegmentation(n, withLengths);
  }
  std::vector<size_t> lone;
  for (size_t k = 0; k < n; ++k)
    if (roles[k].role == ClipRole::Unreadable) lone.push_back(k);
  const double songSeconds = loneSongSeconds(clips, roles);
  for (size_t k : lone) {
    const LoneRole lr = loneRole(clips[k], tones[k], station, songSeconds, weights);
    roles[k].role = lr.role;
    // A lone clip is as uncertain as its place or as its role, whichever is more.
    if (lr.role != ClipRole::Unreadable)
      roles[k].confidence = std::min(roles[k].confidence, confidenceOf(std::abs(lr.speech)));
  }
  return roles;
}

}  // namespace wc
