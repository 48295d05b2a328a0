#include "analysis/Segmentation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/Junction.h"

namespace wc {
namespace {

// Music as opposed to speech: sound without the pauses between words.
bool isMusic(const ClipSummary& c) {
  return c.audible && c.pauseShare < kSpeechPauseShare && c.silenceShare < kSpeechSilenceShare;
}

ClipRole loneRole(const ClipSummary& c) {
  if (!c.audible) return ClipRole::Unreadable;
  if (!isMusic(c)) return ClipRole::Chatter;
  return c.seconds() >= kLoneSongSeconds ? ClipRole::Song : ClipRole::Identification;
}

// The power of a clip's last 40 ms.
double endPower(const ClipSummary& c) {
  const size_t n = std::min<size_t>(c.tail.size(), 1024);
  double sum = 0.0;
  for (size_t i = c.tail.size() - n; i < c.tail.size(); ++i) sum += double(c.tail[i]) * c.tail[i];
  return n ? sum / double(n) : 0.0;
}

// An end below this share of the clip's median power (-13 dB) has faded.
constexpr double kFadedShareOfMedian = 0.05;

// Normalised correlation of two stretches of equal length (0 for silence).
double correlation(std::span<const float> a, std::span<const float> b) {
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    ab += double(a[i]) * b[i];
    aa += double(a[i]) * a[i];
    bb += double(b[i]) * b[i];
  }
  return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// Stretches compared between siblings: the last 21 ms of intros, and of
// outros the 24 ms after their first 16 frames (a head decoded from a zeroed
// history is off until then, when the stream was encoded in one go).
constexpr size_t kSiblingSamples = 512;
constexpr size_t kSettledHead = 16 * 28;

// Intros of one song end on the same music; outros of one song begin on it.
double endingSimilarity(const ClipSummary& a, const ClipSummary& b) {
  if (a.tail.size() < kSiblingSamples || b.tail.size() < kSiblingSamples) return 0.0;
  return correlation(std::span(a.tail).last(kSiblingSamples), std::span(b.tail).last(kSiblingSamples));
}
double openingSimilarity(const ClipSummary& a, const ClipSummary& b) {
  if (a.head.size() < kSettledHead + kSiblingSamples || b.head.size() < kSettledHead + kSiblingSamples) return 0.0;
  return correlation(std::span(a.head).subspan(kSettledHead, kSiblingSamples),
                     std::span(b.head).subspan(kSettledHead, kSiblingSamples));
}

bool fadesOut(const ClipSummary& c) { return endPower(c) < kFadedShareOfMedian * c.medianPower; }
// How much weaker a junction may be for a clip that fades out, as outros do.
constexpr double kFadingOutroLeeway = 1.75;

// How many times smaller a rival junction's score must be to outweigh a
// song's own.
constexpr double kClearlyBetter = 2.0;

// A sibling this alike is one, whatever the junction test says; one this
// unlike is not. In between the junction decides.
constexpr double kSiblingAlike = 0.95;
constexpr double kSiblingUnlike = 0.5;

// Whether `candidate` belongs with the sibling before it, given the junction
// test's verdict on it alone.
bool withSibling(double similarity, bool joins) {
  if (similarity >= kSiblingAlike) return true;
  if (similarity < kSiblingUnlike) return false;
  return joins;
}

}  // namespace

double joinScore(const ClipSummary& earlier, const ClipSummary& later) {
  if (!earlier.audible || !later.audible) return std::numeric_limits<double>::infinity();
  // A clip that fades out (an outro, a stinger) leads into nothing.
  if (fadesOut(earlier)) return std::numeric_limits<double>::infinity();
  // The later clip's head as decoded alone and as decoded after the earlier
  // one: a disc encoded as one stream needs the carried history, one whose
  // clips were encoded apart needs none. Either way a true junction is smooth.
  std::vector<float> carried = headAfter(earlier, later);
  if (carried.size() < later.head.size())
    carried.insert(carried.end(), later.head.begin() + ptrdiff_t(carried.size()), later.head.end());
  return std::min(junctionScore(earlier.tail, later.head), junctionScore(earlier.tail, carried));
}

bool runsInto(const ClipSummary& earlier, const ClipSummary& later) {
  return joinScore(earlier, later) < kJoinThreshold;
}

std::vector<RoleOfClip> segmentStation(std::span<const ClipSummary> clips) {
  const size_t n = clips.size();
  std::vector<RoleOfClip> roles(n);
  size_t k = 0;
  while (k < n) {
    const ClipSummary& song = clips[k];
    // Songs, intros and outros are music (a voice over music leaves no
    // pauses); chatter is never part of a song block.
    if (!isMusic(song)) {
      roles[k].role = loneRole(song);
      ++k;
      continue;
    }
    // The song's intros lead into its first sample; its outros continue
    // from its last.
    size_t next = k + 1;
    while (next < n && isMusic(clips[next])) {
      bool joins = runsInto(clips[next], song);
      if (next > k + 1) joins = withSibling(endingSimilarity(clips[next - 1], clips[next]), joins);
      if (!joins) break;
      ++next;
    }
    if (next == k + 1) {
      // Two or more clips that end alike and do not fade are intros, and
      // the clip before them is their song, even where the junction test
      // was unsure of each.
      size_t alike = k + 1;
      while (alike < n && isMusic(clips[alike]) && !fadesOut(clips[alike]) &&
             (alike == k + 1 || endingSimilarity(clips[alike - 1], clips[alike]) >= kSiblingAlike))
        ++alike;
      if (alike >= k + 3) next = alike;
    }
    {
      // Intros stand between a song and its outros. Music that does not
      // fade, followed by a clip that plainly continues from the song's
      // end, is intros even where the junction into the song was misread
      // (a drum hit on the song's first sample defeats any predictor).
      size_t sandwiched = next;
      while (sandwiched < n && isMusic(clips[sandwiched]) && !fadesOut(clips[sandwiched])) ++sandwiched;
      // The outro must continue this song better than any clip between:
      // else it is the outro of a song among them.
      auto outroOfThisSong = [&](size_t outro) {
        const double own = joinScore(song, clips[outro]);
        if (!(own < kJoinThreshold)) return false;
        for (size_t m = next; m < outro; ++m)
          if (joinScore(clips[m], clips[outro]) <= own) return false;
        return true;
      };
      if (sandwiched > next && sandwiched < n && isMusic(clips[sandwiched]) && fadesOut(clips[sandwiched]) &&
          outroOfThisSong(sandwiched))
        next = sandwiched;
    }
    const size_t intros = next - k - 1;
    // A clip that joins the clip after it better than it joins this song
    // is the next song with an intro or an outro of its own. One that fades
    // out as outros do must be joined clearly better: two smooth junctions
    // a few tenths apart say nothing about which is true, and the block
    // already under way is the likelier.
    auto startsBlock = [&](size_t j, double asOutro) {
      if (j + 1 >= n || !isMusic(clips[j + 1])) return false;
      const double margin = fadesOut(clips[j]) ? kClearlyBetter : 1.0;
      if (std::min(joinScore(clips[j + 1], clips[j]), joinScore(clips[j], clips[j + 1])) * margin < asOutro)
        return true;
      // A clip that does not fade, followed by music that does not fade
      // (its intros) and then a clip that continues from its end (its
      // outro), is a song of its own however its start happens to join.
      if (fadesOut(clips[j])) return false;
      size_t outro = j + 1;
      while (outro < n && isMusic(clips[outro]) && !fadesOut(clips[outro])) ++outro;
      return outro < n && isMusic(clips[outro]) && joinScore(clips[j], clips[outro]) < asOutro;
    };
    while (next < n && isMusic(clips[next])) {
      const double asOutro = joinScore(song, clips[next]);
      // An outro fades out: a clip that does may follow on a weaker junction.
      const double threshold = fadesOut(clips[next]) ? kFadingOutroLeeway * kJoinThreshold : kJoinThreshold;
      bool joins = asOutro < threshold && !startsBlock(next, asOutro);
      if (next > k + 1 + intros) joins = withSibling(openingSimilarity(clips[next - 1], clips[next]), joins);
      if (!joins) break;
      ++next;
    }
    if (next == k + 1 + intros) {
      // Two or more clips that begin alike and fade out are outros of this
      // song, even where the junction from its end was misread: the mirror
      // of the rule for intros above.
      size_t alike = next;
      while (alike < n && isMusic(clips[alike]) && fadesOut(clips[alike]) &&
             (alike == next || openingSimilarity(clips[alike - 1], clips[alike]) >= kSiblingAlike))
        ++alike;
      if (alike >= next + 2) next = alike;
    }
    const size_t outros = next - k - 1 - intros;
    if (intros + outros == 0) {
      roles[k].role = loneRole(song);
      ++k;
      continue;
    }
    roles[k] = {ClipRole::Song, int32_t(intros), int32_t(outros)};
    for (size_t i = k + 1; i < next; ++i) roles[i].role = i <= k + intros ? ClipRole::Intro : ClipRole::Outro;
    k = next;
  }
  return roles;
}

}  // namespace wc
