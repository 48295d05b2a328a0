#include "playlist/Track.h"

namespace wc {
namespace {

const Station* stationOf(const Catalogue& catalogue, int station) {
  return (station >= 0 && station < kStationCount) ? &catalogue.stations[station] : nullptr;
}

// Index of follow-on clip `k + 1 + skip + choice`; -1 unless choice is one
// of the `count` follow-ons that exist.
int followOnIndex(int k, int32_t skip, int32_t count, int32_t choice) {
  return (choice < 0 || choice >= count) ? -1 : k + 1 + skip + choice;
}

}  // namespace

std::unique_ptr<Track> createTrack(const Catalogue& catalogue, int station, int clipIndex) {
  const Station* s = stationOf(catalogue, station);
  if (!s || !s->hasClip(clipIndex)) return nullptr;
  auto track = std::make_unique<Track>();
  track->station = station;
  track->clipIndex = clipIndex;
  track->clip = &s->clips[clipIndex];

  const FollowOns f = s->followOns(clipIndex);
  for (int32_t j = 0; j < f.intros; ++j) {
    if (s->clips[followOnIndex(clipIndex, 0, f.intros, j)].titleText().empty()) {
      track->intro = j;
      break;
    }
  }
  for (int32_t j = 0; j < f.outros; ++j) {
    if (s->clips[followOnIndex(clipIndex, f.intros, f.outros, j)].titleText().empty()) {
      track->outro = j;
      break;
    }
  }
  return track;
}

int introClipIndexOf(const Catalogue& catalogue, const Track& track) {
  const Station* s = stationOf(catalogue, track.station);
  if (!s || !track.clip) return -1;
  const FollowOns f = s->followOns(track.clipIndex);
  return followOnIndex(track.clipIndex, 0, f.intros, track.intro);
}

int outroClipIndexOf(const Catalogue& catalogue, const Track& track) {
  const Station* s = stationOf(catalogue, track.station);
  if (!s || !track.clip) return -1;
  const FollowOns f = s->followOns(track.clipIndex);
  return followOnIndex(track.clipIndex, f.intros, f.outros, track.outro);
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
