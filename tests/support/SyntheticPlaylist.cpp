#include "support/SyntheticPlaylist.h"

#include <cstring>

#include "testkit/discgen/ClipBuilder.h"
#include "testkit/discgen/Signals.h"

namespace wc::test {

SyntheticPlaylist::SyntheticPlaylist() : catalogue(std::make_unique<Catalogue>()) {
  std::memset(catalogue.get(), 0, sizeof(Catalogue));
  std::strncpy(catalogue->stations[kStation].label, kLabel, sizeof catalogue->stations[kStation].label - 1);
}

Track& SyntheticPlaylist::add(const std::string& title, const std::string& artist, ClipClass clipClass, double seconds,
                              uint32_t seed) {
  Station& station = catalogue->stations[kStation];
  const int index = station.clipCount++;
  Clip& clip = station.clips[index];
  std::strncpy(clip.title, title.c_str(), sizeof clip.title - 1);
  std::strncpy(clip.artist, artist.c_str(), sizeof clip.artist - 1);
  clip.setKind(clipClass);
  auto* track = new Track;
  track->station = kStation;
  track->clip = &clip;
  track->clipIndex = index;
  const size_t samples = samplesFor(seconds);
  const StereoSignal signal = clipClass == ClipClass::Song ? makeMusic(samples, seed) : makeBabble(samples, seed);
  track->songAudio = std::make_unique<ClipAudio>(layOutClip(encodeStereo(signal)));
  return *playlist.append(std::unique_ptr<Track>(track));
}

}  // namespace wc::test
