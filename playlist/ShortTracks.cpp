#include "playlist/ShortTracks.h"

#include "audio/WaveWriter.h"

namespace wc {
namespace {

// The wave writers' sectorsSoFar() after `samples` at 24000 Hz.
int64_t sectorsAfter(int64_t samples) { return (samples * WaveWriter::kSectorsPerSecond + 23999) / 24000; }

}  // namespace

TrackSectors cdTrackSectors(const Playlist& playlist) {
  TrackSectors s;
  int64_t samples = 0;
  for (const Track* t = playlist.first(); t; t = Playlist::after(t)) {
    s.starts.push_back(sectorsAfter(samples));
    samples += trackSamples(*t);
  }
  s.end = sectorsAfter(samples);
  return s;
}

std::vector<int> shortTrackNumbers(const TrackSectors& sectors) {
  std::vector<int> numbers;
  for (size_t i = 0; i < sectors.starts.size(); ++i) {
    const int64_t end = i + 1 < sectors.starts.size() ? sectors.starts[i + 1] : sectors.end;
    if (end - sectors.starts[i] < kMinTrackSectors) numbers.push_back(int(i) + 1);
  }
  return numbers;
}

std::vector<bool> marksAfterJoining(const TrackSectors& sectors) {
  const size_t n = sectors.starts.size();
  std::vector<bool> kept(n, true);
  auto nextKept = [&](size_t i) {
    for (size_t j = i + 1; j < n; ++j)
      if (kept[j]) return j;
    return n;
  };
  size_t i = 0;
  while (i < n) {
    const size_t j = nextKept(i);
    const int64_t end = j < n ? sectors.starts[j] : sectors.end;
    if (end - sectors.starts[i] >= kMinTrackSectors) {
      i = j;
    } else if (j < n) {
      kept[j] = false;  // the next track becomes part of this one
    } else {
      if (i > 0) kept[i] = false;  // the last track joins the one before it
      break;
    }
  }
  return kept;
}

std::string shortTracksQuestion(const std::vector<int>& numbers) {
  std::string list;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) list += i + 1 == numbers.size() ? " and " : ", ";
    list += std::to_string(numbers[i]);
  }
  const bool one = numbers.size() == 1;
  return (one ? "Track " : "Tracks ") + list + (one ? " is" : " are") +
         " shorter than 4 seconds, the shortest a CD track may be; burning programs refuse such a CUE sheet. "
         "Join each with the track after it in the CUE sheet? The audio stays the same.";
}

}  // namespace wc
