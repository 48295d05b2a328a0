#include "playlist/Track.h"

namespace wc {
namespace {

const Station* stationOf(const Catalogue& catalogue, int station) {
  return (station >= 0 && station < kStationCount) ? &catalogue.stations[station] : nullptr;
}

// Index of follow-on clip `k + 1 + skip + choice`, or -1 if it is not a clip
// of the station.
int followOnIndex(const Station& s, int k, int32_t skip, int32_t choice) {
  if (choice < 0) return -1;
  const int64_t index = int64_t(k) + 1 + clampCount(skip) + choice;
  return index < validClipCount(s) ? int(index) : -1;
}

}  // namespace

std::unique_ptr<Track> createTrack(const Catalogue& catalogue, int station, int clipIndex) {
  const Station* s = stationOf(catalogue, station);
  if (!s || clipIndex < 0 || clipIndex >= validClipCount(*s)) return nullptr;
  auto track = std::make_unique<Track>();
  track->station = station;
  track->clipIndex = clipIndex;
  track->clip = &s->clips[clipIndex];

  const int32_t n = clampCount(track->clip->intros);
  for (int32_t j = 0; j < n; ++j) {
    const int index = followOnIndex(*s, clipIndex, 0, j);
    if (index < 0) break;
    if (s->clips[index].title[0] == '\0') {
      track->intro = j;
      break;
    }
  }
  const int32_t m = clampCount(track->clip->outros);
  for (int32_t j = 0; j < m; ++j) {
    const int index = followOnIndex(*s, clipIndex, n, j);
    if (index < 0) break;
    if (s->clips[index].title[0] == '\0') {
      track->outro = j;
      break;
    }
  }
  return track;
}

int introClipIndexOf(const Catalogue& catalogue, const Track& track) {
  const Station* s = stationOf(catalogue, track.station);
  if (!s || !track.clip || track.intro >= clampCount(track.clip->intros)) return -1;
  return followOnIndex(*s, track.clipIndex, 0, track.intro);
}

int outroClipIndexOf(const Catalogue& catalogue, const Track& track) {
  const Station* s = stationOf(catalogue, track.station);
  if (!s || !track.clip || track.outro >= clampCount(track.clip->outros)) return -1;
  return followOnIndex(*s, track.clipIndex, track.clip->intros, track.outro);
}

const Clip* introClipOf(const Catalogue& catalogue, const Track& track) {
  const int index = introClipIndexOf(catalogue, track);
  return index < 0 ? nullptr : &catalogue.stations[track.station].clips[index];
}

const Clip* outroClipOf(const Catalogue& catalogue, const Track& track) {
  const int index = outroClipIndexOf(catalogue, track);
  return index < 0 ? nullptr : &catalogue.stations[track.station].clips[index];
}

int64_t trackSamples(const Track& track) {
  int64_t total = 0;
  for (const auto* audio : {track.introAudio.get(), track.songAudio.get(), track.outroAudio.get()})
    if (audio) total += audio->samples();
  return total;
}

}  // namespace wc
