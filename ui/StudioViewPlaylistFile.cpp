// New, Open, Save and Save As.
#include <vector>

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
  request.initialPath = playlistPath;
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = dialogs.saveFileName(request);
  if (!path) return;
  if (writePlaylistFile(*path)) playlistPath = *path;
}

void StudioView::onFileSave() {
  if (playlistPath.empty())
    onFileSaveAs();
  else
    writePlaylistFile(playlistPath);
}

bool StudioView::writePlaylistFile(const std::string& path) {
  std::vector<PlaylistRecord> records;
  int n = 0;
  for (Track* t = playlist.head.next; n < playlist.trackCount && t->clip; t = t->next, ++n)
    records.push_back({t->station, t->clipIndex, t->intro, t->outro});
  const auto bytes = encodePlaylistFile(records);

  // Written beside the target and renamed into place, so a full disk or an
  // interrupted save never destroys the previous file.
  const ReplaceResult result = replaceFileContents(fs, Path(path), bytes);
  if (!result) {
    dialogs.messageBox(result.status == ReplaceStatus::NotCreated ? kOpenFailed : kWriteFailed, kAppName);
    return false;
  }
  return true;
}

void StudioView::onFileOpen() {
  FileDialogRequest request = playlistDialog("Open track list");
  request.fileMustExist = true;
  const auto path = dialogs.openFileName(request);
  if (!path) return;
  openPlaylistFile(*path);
}

bool StudioView::openPlaylistFile(const std::string& path) {
  const PlaylistFileContents contents = readPlaylistFile(fs, Path(path), catalogue());
  if (contents.problem != PlaylistFileProblem::None) {
    dialogs.messageBox(describePlaylistProblem(contents.problem, path), kAppName);
    return false;
  }
  playTrack(nullptr, 0);
  playlist.freeAll();  // the scroll position stays as it was

  const auto& records = contents.records;
  busy = true;
  for (const auto& record : records) {
    Track* track = createTrack(catalogue(), record.station, record.clipIndex);
    if (!track) continue;  // validated already; kept as a guard
    track->intro = record.intro;
    track->outro = record.outro;
    playlist.append(track);
    ++playlist.trackCount;
    host.repaintAll();
    loadTrackAudio(*track, true, LoadIndicatorMode::Silent);
  }
  busy = false;
  host.invalidate();
  playlistPath = path;
  if (const auto missing = clipsWithoutAudio(catalogue(), playlist); !missing.empty())
    dialogs.messageBox(kUnreadableClips + describeMissingClips(catalogue(), missing), kAppName);
  return true;
}

}  // namespace wc
