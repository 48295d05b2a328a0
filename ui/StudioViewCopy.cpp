// Copy Audio Files: the disc's lookup table and the listed stations' packs
// into the local cache, with the progress in the transport display.
#include "gamedata/GameData.h"
#include "ui/StudioView.h"

namespace wc {

void StudioView::onCopyAudioFiles() {
  if (transport_.somethingPlays()) return;
  marks_.copying = true;
  marks_.copyPercent = 0;
  host_.repaintTransport(true);
  const auto outcome = gameData_.copyAudioFilesChecked(
      [this](const char* fileName, float percent) { onCopyProgress(fileName, percent); });
  if (outcome == GameData::CopyOutcome::Failed)
    dialogs_.messageBox("Copying audio files failed.  You have probably run out of disc space.", "ERROR");
  marks_.copying = false;
  host_.invalidate();
}

}  // namespace wc
