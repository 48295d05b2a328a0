#include "playlist/MissingAudio.h"

namespace wc {

bool trackLacksAudio(const Catalogue& catalogue, const Track& track) {
  if (!track.clip) return false;
  return !track.songAudio || (introClipIndexOf(catalogue, track) >= 0 && !track.introAudio) ||
         (outroClipIndexOf(catalogue, track) >= 0 && !track.outroAudio);
}

std::vector<MissingClip> clipsWithoutAudio(const Catalogue& catalogue, const Playlist& playlist) {
  std::vector<MissingClip> missing;
  int number = 1;
  for (const Track* t = playlist.first(); t; t = Playlist::after(t), ++number) {
    auto check = [&](const std::unique_ptr<ClipAudio>& slot, int clipIndex) {
      if (clipIndex >= 0 && !slot) missing.push_back({number, t->station, clipIndex});
    };
    check(t->introAudio, introClipIndexOf(catalogue, *t));
    check(t->songAudio, t->clipIndex);
    check(t->outroAudio, outroClipIndexOf(catalogue, *t));
  }
  return missing;
}

std::string describeMissingClips(const Catalogue& catalogue, const std::vector<MissingClip>& clips) {
  std::string text;
  for (const MissingClip& m : clips) {
    const Station& s = catalogue.stations[m.station];
    const Clip& c = s.clips[m.clipIndex];
    text += "track " + std::to_string(m.trackNumber) + ": " + std::string(s.nameText()) + " clip " +
            std::to_string(m.clipIndex) + " (" + std::string(c.titleText()) + ")\n";
  }
  return text;
}

std::string exportRefusalForMissingAudio(const Catalogue& catalogue, const std::vector<MissingClip>& clips) {
  std::string tracks;
  for (const int n : trackNumbersOf(clips)) tracks += (tracks.empty() ? "" : ", ") + std::to_string(n);
  return "The playlist was not exported: tracks " + tracks +
         " lost audio that could not be read from the stream packs:\n" + describeMissingClips(catalogue, clips);
}

std::vector<int> trackNumbersOf(const std::vector<MissingClip>& clips) {
  std::vector<int> numbers;
  for (const MissingClip& m : clips)
    if (numbers.empty() || numbers.back() != m.trackNumber) numbers.push_back(m.trackNumber);
  return numbers;
}

int removeTracksWithoutAudio(const Catalogue& catalogue, Playlist& playlist) {
  int removed = 0;
  for (Track* t = playlist.first(); t;) {
    Track* next = Playlist::after(t);
    if (trackLacksAudio(catalogue, *t)) {
      playlist.removeTrack(t);
      ++removed;
    }
    t = next;
  }
  return removed;
}

}  // namespace wc
