// New, Open, Save and Save As.
#include "base/FileReplacement.h"
#include "playlist/MissingAudio.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileReader.h"
#include "session/StudioSession.h"

namespace wc {
namespace {

constexpr const char* kAppName = "Wavecrate";
constexpr const char* kOpenFailed = "Failed to open file\n";
constexpr const char* kUnreadableClips =
    "These clips could not be read from their stream packs (missing, too short or unreadable); "
    "their tracks play without them:\n";
constexpr const char* kWriteFailed =
    "Failed to write the playlist file completely.\nThe previous file was left unchanged.";
constexpr const char* kSaveChanges = "Save changes to the playlist?";

FileDialogRequest playlistDialog(const char* title) {
  FileDialogRequest r;
  r.title = title;
  r.filterText = "Playlists (*.wcpl)";
  r.filterPattern = "*.wcpl";
  r.defaultExtension = "wcpl";
  return r;
}

}  // namespace

void StudioSession::onFileNew() {
  if (!maySupersedePlaylist()) return;
  PlaylistHistory::Group step(history_, "New");
  clearPlaylist();
}

bool StudioSession::playlistModified() const {
  if (playlistPath_.empty() && playlist_.empty()) return false;
  return playlist_.revision() != savedRevision_;
}

bool StudioSession::maySupersedePlaylist() {
  if (!playlistModified()) return true;
  switch (prompts_.askChoice(kSaveChanges, kAppName, "Save", "Discard")) {
    case SessionPrompts::Answer::Yes:
      onFileSave();  // a failed or cancelled save leaves the changes unsaved
      return !playlistModified();
    case SessionPrompts::Answer::No: return true;
    case SessionPrompts::Answer::Cancel: return false;
  }
  return false;
}

bool StudioSession::openPlaylistAfterQuestion(const std::string& path) {
  return maySupersedePlaylist() && openPlaylistFile(path);
}

void StudioSession::markPlaylistSaved() {
  savedRevision_ = playlist_.revision();
  history_.documentSaved();
  reportPlaylistStatus();
}

void StudioSession::reportPlaylistStatus() {
  PlaylistStatus now{playlistPath_, playlistModified()};
  if (now == reportedStatus_) return;
  reportedStatus_ = std::move(now);
  notify([this](SessionObserver& o) { o.playlistStatusChanged(reportedStatus_.path, reportedStatus_.modified); });
}

void StudioSession::onFileSaveAs() {
  FileDialogRequest request = playlistDialog("Save track list");
  request.initialPath = playlistPath_;
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = prompts_.saveFileName(request);
  if (!path) return;
  if (!writePlaylistFile(*path)) return;
  playlistPath_ = *path;
  markPlaylistSaved();
  notify([this](SessionObserver& o) { o.playlistFileUsed(playlistPath_); });
}

void StudioSession::onFileSave() {
  if (playlistPath_.empty()) {
    onFileSaveAs();
  } else if (writePlaylistFile(playlistPath_)) {
    markPlaylistSaved();
    notify([this](SessionObserver& o) { o.playlistFileUsed(playlistPath_); });
  }
}

bool StudioSession::writePlaylistFile(const std::string& path) {
  const auto bytes = encodePlaylistFile(playlist_.records());
  // Written beside the target and renamed into place, so a full disk or an
  // interrupted save never destroys the previous file.
  const ReplaceResult result = replaceFileContents(fs_, Path(path), bytes);
  if (!result) {
    prompts_.messageBox(result.status == ReplaceStatus::NotCreated ? kOpenFailed : kWriteFailed, kAppName);
    return false;
  }
  return true;
}

void StudioSession::onFileOpen() {
  if (!maySupersedePlaylist()) return;
  FileDialogRequest request = playlistDialog("Open track list");
  request.fileMustExist = true;
  const auto path = prompts_.openFileName(request);
  if (!path) return;
  openPlaylistFile(*path);
}

bool StudioSession::openPlaylistFile(const std::string& path) {
  const PlaylistFileContents contents = readPlaylistFile(fs_, Path(path), catalogue());
  if (contents.problem != PlaylistFileProblem::None) {
    prompts_.messageBox(describePlaylistProblem(contents.problem, path), kAppName);
    return false;
  }
  // Opening over a playlist can be undone like any edit of it.
  PlaylistHistory::Group step(history_, "Open");
  transport_.stop();
  {
    // Busy from the start, so that the old tracks going reports no change
    // mark: the playlist reports once, when it matches the file.
    BusyScope busy(*this, false);
    playlist_.freeAll();  // the scroll position stays as it was
    playlist_.appendRecords(catalogue(), contents.records, [this](Track& track) {
      repaintAll();
      loadTrackAudio(track, true, LoadIndicatorMode::Silent);
    });
  }
  playlistPath_ = path;
  markPlaylistSaved();
  notify([this](SessionObserver& o) { o.playlistFileUsed(playlistPath_); });
  notify([](SessionObserver& o) { o.commandStatesChanged(); });
  if (const auto missing = clipsWithoutAudio(catalogue(), playlist_); !missing.empty())
    prompts_.messageBox(kUnreadableClips + describeMissingClips(catalogue(), missing), kAppName);
  if (contents.lostIntroOrOutro > 0)
    prompts_.messageBox(describeLostIntrosOrOutros(contents.lostIntroOrOutro), kAppName);
  return true;
}

}  // namespace wc
