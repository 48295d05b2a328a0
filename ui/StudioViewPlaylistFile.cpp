// New, Open, Save and Save As.
#include "playlist/PlaylistFile.h"
#include "ui/StudioView.h"

namespace wc {
namespace {

constexpr const char* kAppName = "Wavecrate";
constexpr const char* kOpenFailed = "Failed to open file\n";
constexpr const char* kWriteFailed =
    "Failed to write the playlist_ file completely.\nThe previous file was left unchanged.";

FileDialogRequest playlistDialog(const char* title) {
  FileDialogRequest r;
  r.title = title;
  r.filterText = "Playlists (*.wcpl)";
  r.filterPattern = "*.wcpl";
  r.defaultExtension = "wcpl";
  return r;
}

}  // namespace

void StudioView::onFileNew() { clearPlaylist(); }

void StudioView::onFileSaveAs() {
  FileDialogRequest request = playlistDialog("Save track list");
  request.initialPath = playlistPath_;
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = dialogs_.saveFileName(request);
  if (!path) return;
  if (writePlaylistFile(*path)) playlistPath_ = *path;
}

void StudioView::onFileSave() {
  if (playlistPath_.empty())
    onFileSaveAs();
  else
    writePlaylistFile(playlistPath_);
}

bool StudioView::writePlaylistFile(const std::string& path) {
  const auto bytes = encodePlaylistFile(playlist_.records());
  // Written beside the target and renamed into place, so a full disk or an
  // interrupted save never destroys the previous file.
  switch (replaceFile(fs_, Path(path), bytes)) {
    case ReplaceError::None: return true;
    case ReplaceError::NotCreated: dialogs_.messageBox(kOpenFailed, kAppName); return false;
    case ReplaceError::NotWritten: dialogs_.messageBox(kWriteFailed, kAppName); return false;
  }
  return false;
}

void StudioView::onFileOpen() {
  FileDialogRequest request = playlistDialog("Open track list");
  request.fileMustExist = true;
  const auto path = dialogs_.openFileName(request);
  if (!path) return;
  openPlaylistFile(*path);
}

bool StudioView::openPlaylistFile(const std::string& path) {
  const auto bytes = readWholeFile(fs_, Path(path));
  if (!bytes) {
    dialogs_.messageBox(kOpenFailed, kAppName);
    return false;
  }
  transport_.stop();
  playlist_.freeAll();  // the scroll position stays as it was

  const auto records = decodePlaylistFile(*bytes, catalogue());
  {
    BusyScope busy(*this, false);
    playlist_.appendRecords(catalogue(), records, [this](Track& track) {
      host_.repaintAll();
      loadTrackAudio(track, true, LoadIndicatorMode::Silent);
    });
  }
  playlistPath_ = path;
  return true;
}

}  // namespace wc
