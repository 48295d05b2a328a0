// Export CD and Export Wave.
#include "audio/SoundOutput.h"
#include "playlist/Exporter.h"
#include "playlist/MissingAudio.h"
#include "playlist/OfflineRenderer.h"
#include "ui/StudioView.h"

namespace wc {

// Keeps the view's display and the sound output in step with the export.
class StudioView::ExportDisplay final : public ExportObserver {
 public:
  explicit ExportDisplay(StudioView& view) : view_(view) {}

  void filesOpened() override { view_.host_.repaintAll(); }
  void renderingStarts() override {
    view_.transport_.stop();
    if (view_.output_) view_.output_->pauseOutput();
    view_.marks_.rendering = true;
  }
  void trackStarts(int number, Track&) override {
    view_.playlistScroll_ = number - 1;
    view_.host_.repaintAll();
  }
  void renderingEnds() override {
    view_.marks_.rendering = false;
    if (view_.output_) view_.output_->resumeOutput();
    view_.host_.invalidate();
  }

 private:
  StudioView& view_;
};

void StudioView::exportPlaylist(bool cdImage) {
  if (const auto missing = clipsWithoutAudio(catalogue(), playlist_); !missing.empty()) {
    dialogs_.messageBox(exportRefusalForMissingAudio(catalogue(), missing), "Error");
    return;
  }
  FileDialogRequest request;
  request.title = cdImage ? "Export CD Image" : "Export wave file";
  request.filterText = "Wave files (*.wav)";
  request.filterPattern = "*.wav";
  request.defaultExtension = "wav";
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = dialogs_.saveFileName(request);
  if (!path) return;
  if (!hasWaveExtension(*path)) {
    dialogs_.messageBox("This program can only export wave (*.wav) files", "Error");
    return;
  }
  if (cdImage && !cueCanNamePath(*path)) {
    dialogs_.messageBox(exportErrorMessage(ExportError::UnsafeCuePath), "Error");
    return;
  }
  // The dialog asked about the wave file only; its CUE sheet is replaced too.
  const std::string cuePath = cuePathFor(*path);
  if (cdImage && (fs_.openRead(cuePath) || fs_.isDirectory(cuePath)) &&
      dialogs_.askYesNoCancel(cuePath + " already exists.\nDo you want to replace it?", "Export CD Image") !=
          ViewDialogs::Answer::Yes)
    return;
  bool joinShort = false;
  if (cdImage) {
    const auto join = askJoinShortTracks();
    if (!join) return;
    joinShort = *join;
  }
  ExportDisplay display(*this);
  const OfflineRenderer renderer(transport_.reporter());
  const ExportError error = wc::exportPlaylist(fs_, playlist_, *path, cdImage, renderer, display, {}, joinShort);
  if (error != ExportError::None) dialogs_.messageBox(exportErrorMessage(error), "Error");
}

}  // namespace wc
