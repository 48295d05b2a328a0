#include "analysis/Segmentation.h"

#include <algorithm>
#include <limits>

#include "analysis/Junction.h"

namespace wc {
namespace {

// Music as opposed to speech: sound without the pauses between words.
bool isMusic(const ClipSummary& c) { return c.audible && c.pauseShare < kSpeechPauseShare; }

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

}  // namespace

double joinScore(const ClipSummary& earlier, const ClipSummary& later) {
  if (!earlier.audible || !later.audible) return std::numeric_limits<double>::infinity();
  // A clip that fades out (an outro, a stinger) leads into nothing.
  if (endPower(earlier) < kFadedShareOfMedian * earlier.medianPower) return std::numeric_limits<double>::infinity();
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
    while (next < n && isMusic(clips[next]) && runsInto(clips[next], song)) ++next;
    const size_t intros = next - k - 1;
    // A clip that joins the clip after it better than it joins this song
    // is the next song with an intro or an outro of its own.
    auto startsBlock = [&](size_t j, double asOutro) {
      if (j + 1 >= n || !isMusic(clips[j + 1])) return false;
      return std::min(joinScore(clips[j + 1], clips[j]), joinScore(clips[j], clips[j + 1])) < asOutro;
    };
    while (next < n && isMusic(clips[next])) {
      const double asOutro = joinScore(song, clips[next]);
      if (asOutro >= kJoinThreshold || startsBlock(next, asOutro)) break;
      ++next;
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
