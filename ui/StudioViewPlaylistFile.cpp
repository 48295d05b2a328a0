// New, Open, Save and Save As.
#include "base/FileReplacement.h"
#include "playlist/MissingAudio.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileReader.h"
#include "ui/StudioView.h"

namespace wc {
namespace {

constexpr const char* kAppName = "Wavecrate";
constexpr const char* kOpenFailed = "Failed to open file\n";
constexpr const char* kUnreadableClips =
    "These clips could not be read from their stream packs (missing, too short or unreadable); "
    "their tracks play without them:\n";
constexpr const char* kWriteFailed =
    "Failed to write the playlist file completely.\nThe previous file was left unchanged.";

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
  const ReplaceResult result = replaceFileContents(fs_, Path(path), bytes);
  if (!result) {
    dialogs_.messageBox(result.status == ReplaceStatus::NotCreated ? kOpenFailed : kWriteFailed, kAppName);
    return false;
  }
  return true;
}

void StudioView::onFileOpen() {
  FileDialogRequest request = playlistDialog("Open track list");
  request.fileMustExist = true;
  const auto path = dialogs_.openFileName(request);
  if (!path) return;
  openPlaylistFile(*path);
}

bool StudioView::openPlaylistFile(const std::string& path) {
  const PlaylistFileContents contents = readPlaylistFile(fs_, Path(path), catalogue());
  if (contents.problem != PlaylistFileProblem::None) {
    dialogs_.messageBox(describePlaylistProblem(contents.problem, path), kAppName);
    return false;
  }
  transport_.stop();
  playlist_.freeAll();  // the scroll position stays as it was

  {
    BusyScope busy(*this, false);
    playlist_.appendRecords(catalogue(), contents.records, [this](Track& track) {
      host_.repaintAll();
      loadTrackAudio(track, true, LoadIndicatorMode::Silent);
    });
  }
  playlistPath_ = path;
  host_.commandStatesChanged();
  if (const auto missing = clipsWithoutAudio(catalogue(), playlist_); !missing.empty())
    dialogs_.messageBox(kUnreadableClips + describeMissingClips(catalogue(), missing), kAppName);
  return true;
}

}  // namespace wc
