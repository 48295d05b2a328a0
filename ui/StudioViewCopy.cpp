// Copy Audio Files: the disc's lookup table and the listed stations' packs
// into the local cache, with the progress in the transport display.
#include "gamedata/GameData.h"
#include "ui/StudioView.h"

namespace wc {

void StudioView::onCopyAudioFiles() {
  if (somethingPlays()) return;
  copying = true;
  copyPercent = 0;
  host.repaintTransport(true);
  const auto outcome = gameData.copyAudioFilesChecked(&StudioView::copyProgress);
  if (outcome == GameData::CopyOutcome::Failed) dialogs.messageBox("Copying audio files failed.  You have probably run out of disc space.", "ERROR");
  copying = false;
  host.invalidate();
}

}  // namespace wc
