#include "playlist/TrackAudio.h"

#include "gamedata/GameData.h"

namespace wc {

void loadTrackAudio(GameData& gameData, Track& track, bool withIntroOutro, LoadIndicatorMode mode,
                    LoadIndicator* indicator) {
  const bool showBusy = mode != LoadIndicatorMode::Silent && indicator;
  if (showBusy) {
    indicator->setBusy(true);
    if (mode == LoadIndicatorMode::Transport)
      indicator->repaintTransport(true);
    else
      indicator->repaintAll();
  }

  const Catalogue& catalogue = gameData.catalogue();
  const int introIndex = withIntroOutro ? introClipIndexOf(catalogue, track) : -1;
  const int outroIndex = withIntroOutro ? outroClipIndexOf(catalogue, track) : -1;
  auto fill = [&](std::unique_ptr<ClipAudio>& slot, int clipIndex) {
    if (clipIndex >= 0 && !slot) slot = gameData.loadClipAudio(track.station, clipIndex);
  };
  fill(track.introAudio, introIndex);
  if (track.clip) fill(track.songAudio, track.clipIndex);
  fill(track.outroAudio, outroIndex);

  if (showBusy) {
    indicator->setBusy(false);
    indicator->repaintTransport(true);
  }
}

}  // namespace wc
