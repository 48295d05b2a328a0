// Export CD and Export Wave.
#include "audio/SoundOutput.h"
#include "playlist/Exporter.h"
#include "playlist/MissingAudio.h"
#include "playlist/OfflineRenderer.h"
#include "session/ExportQuestions.h"
#include "session/StudioSession.h"

namespace wc {

// Keeps what is shown and the sound output in step with the export.
class StudioSession::ExportDisplay final : public ExportObserver {
 public:
  explicit ExportDisplay(StudioSession& session) : session_(session) {}

  void filesOpened() override { session_.repaintAll(); }
  void renderingStarts() override {
    session_.transport_.stop();
    if (session_.output_) session_.output_->pauseOutput();
    session_.marks_.rendering = true;
  }
  void trackStarts(int number, Track&) override {
    session_.notify([number](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Place, number - 1); });
    session_.repaintAll();
  }
  void renderingEnds() override {
    session_.marks_.rendering = false;
    if (session_.output_) session_.output_->resumeOutput();
    session_.notify([](SessionObserver& o) { o.showChanges(); });
  }

 private:
  StudioSession& session_;
};

void StudioSession::exportPlaylist(bool cdImage) {
  if (const auto missing = clipsWithoutAudio(catalogue(), playlist_); !missing.empty()) {
    prompts_.messageBox(exportRefusalForMissingAudio(catalogue(), missing), "Error");
    return;
  }
  FileDialogRequest request;
  request.title = cdImage ? "Export CD Image" : "Export wave file";
  request.filterText = "Wave files (*.wav)";
  request.filterPattern = "*.wav";
  request.defaultExtension = "wav";
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = prompts_.saveFileName(request);
  if (!path) return;
  if (!hasWaveExtension(*path)) {
    prompts_.messageBox("This program can only export wave (*.wav) files", "Error");
    return;
  }
  if (cdImage && !cueCanNamePath(*path)) {
    prompts_.messageBox(exportErrorMessage(ExportError::UnsafeCuePath), "Error");
    return;
  }
  // The dialog asked about the wave file only; its CUE sheet is replaced too.
  const std::string cuePath = cuePathFor(*path);
  if (cdImage && (fs_.openRead(cuePath) || fs_.isDirectory(cuePath)) &&
      prompts_.askYesNoCancel(cuePath + " already exists.\nDo you want to replace it?", kReplaceCueCaption) !=
          SessionPrompts::Answer::Yes)
    return;
  bool joinShort = false;
  if (cdImage) {
    const auto join = askJoinShortTracks();
    if (!join) return;
    joinShort = *join;
  }
  const auto started = clock_();
  ExportDisplay display(*this);
  const OfflineRenderer renderer(transport_.reporter());
  const ExportResult exported = exportPlaylistFiles(fs_, playlist_, *path, cdImage, renderer, display, {}, joinShort);
  // The render reported its tracks as playback does; nothing plays now.
  transport_.stop();
  if (!exported) prompts_.exportFailed(exported, *path);
  const std::string name = Path(*path).filename().string();
  JobResult result;
  result.kind = cdImage ? JobKind::ExportCd : JobKind::ExportWave;
  result.outcome = exported ? JobOutcome::Done : JobOutcome::Failed;
  result.target = cdImage ? name + " and " + Path(cuePath).filename().string() : name;
  result.count = playlist_.trackCount();
  result.audioSeconds = roundedSeconds(playlist_.playlistSamples());
  finishJob(std::move(result), started);
}

}  // namespace wc
