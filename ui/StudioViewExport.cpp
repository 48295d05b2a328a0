// Export CD and Export Wave.
#include "audio/AudioEngine.h"
#include "playlist/Voice.h"
#include "playlist/Exporter.h"
#include "ui/StudioView.h"

namespace wc {
namespace {

// Keeps the view's display and the sound output in step with the export.
class ViewExportObserver final : public ExportObserver {
 public:
  explicit ViewExportObserver(StudioView& view) : view_(view) {}

  void filesOpened() override { view_.host.repaintAll(); }
  void renderingStarts() override {
    view_.playTrack(nullptr, 0);
    if (AudioEngine* engine = AudioEngine::current()) engine->pauseOutput();
    view_.rendering = true;
  }
  void trackStarts(int number, Track&) override {
    view_.playlistScroll = number - 1;
    view_.host.repaintAll();
  }
  void renderingEnds() override {
    view_.rendering = false;
    if (AudioEngine* engine = AudioEngine::current()) engine->resumeOutput();
    view_.host.invalidate();
  }

 private:
  StudioView& view_;
};

}  // namespace

void StudioView::exportPlaylist(bool cdImage) {
  FileDialogRequest request;
  request.title = cdImage ? "Export CD Image" : "Export wave file";
  request.filterText = "Wave files (*.wav)";
  request.filterPattern = "*.wav";
  request.defaultExtension = "wav";
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = dialogs.saveFileName(request);
  if (!path) return;
  if (!hasWaveExtension(*path)) {
    dialogs.messageBox("This program can only export wave (*.wav) files", "Error");
    return;
  }
  bool joinShort = false;
  if (cdImage) {
    const auto join = askJoinShortTracks();
    if (!join) return;
    joinShort = *join;
  }
  ViewExportObserver observer(*this);
  const ExportError error = wc::exportPlaylist(fs, playlist, *path, cdImage, ensureVoice(), observer, {}, joinShort);
  if (error != ExportError::None) dialogs.messageBox(exportErrorMessage(error), "Error");
}

}  // namespace wc
