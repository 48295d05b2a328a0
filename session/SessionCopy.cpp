// Copy Audio Files: the disc's lookup table and the listed stations' packs
// into the local cache, with the progress in the transport display.
#include <cmath>

#include "gamedata/GameData.h"
#include "session/StudioSession.h"

namespace wc {

void StudioSession::onCopyAudioFiles() {
  if (transport_.somethingPlays()) return;
  const auto started = clock_();
  marks_.copying = true;
  marks_.copyPercent = 0;
  repaintTransport(true);
  const auto outcome = gameData_.copyAudioFilesChecked(
      [this](const char* fileName, float percent) { onCopyProgress(fileName, percent); });
  if (outcome == GameData::CopyOutcome::Failed)
    prompts_.messageBox("Copying audio files failed.  You have probably run out of disc space.", "ERROR");
  marks_.copying = false;
  notify([](SessionObserver& o) { o.showChanges(); });
  JobResult result;
  result.kind = JobKind::CopyAudioFiles;
  result.outcome = outcome == GameData::CopyOutcome::Copied   ? JobOutcome::Done
                   : outcome == GameData::CopyOutcome::Failed ? JobOutcome::Failed
                                                              : JobOutcome::Cancelled;
  finishJob(std::move(result), started);
}

void StudioSession::onCopyProgress(const char* fileName, float percent) {
  const double rounded = std::trunc(double(percent) + 0.5);
  if (!(rounded >= -1000.0 && rounded <= 1000.0)) return;  // NaN or nonsense: nothing to show
  const int p = int(rounded);
  if (p == marks_.copyPercent) return;
  marks_.copyPercent = p;
  marks_.copyFileName = fileName ? fileName : "";
  // Cleared when a file starts; later reports overwrite the same width.
  repaintTransport(p == 0);
}

}  // namespace wc
