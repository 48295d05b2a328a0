// Export Tracks: the playlist as one tagged file per track, and the question
// about short tracks that Export CD asks.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "gamedata/ClipAnnotation.h"
#include "gamedata/GameData.h"
#include "playlist/ShortTracks.h"
#include "playlist/TrackExporter.h"
#include "session/ExportQuestions.h"
#include "session/StudioSession.h"
#include "session/TrackExportServices.h"

namespace wc {
namespace {

// Feeds the progress window; its Cancel button stops the export.
class WindowProgress final : public TrackExportObserver {
 public:
  explicit WindowProgress(ProgressWindow& window) : window_(window) {}
  bool progress(const TrackExportProgress& p) override { return window_.trackProgress(p); }

 private:
  ProgressWindow& window_;
};

// Makes `folder` and whatever of its parents is missing; true when it exists
// afterwards.
bool createFolders(FileSystem& fs, const Path& folder) {
  std::vector<Path> missing;
  for (Path p = folder; !p.empty() && !fs.isDirectory(p); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    if (!fs.createDirectory(*it)) return false;
  return fs.isDirectory(folder);
}

// How long it took goes to the status bar with every job's result.
std::string resultText(const TrackExportPlan& plan, const std::string& folder) {
  const size_t n = plan.tracks.size();
  return std::to_string(n) + (n == 1 ? " track" : " tracks") + " and the playlist " + plan.playlistName +
         " were written to " + folder + ".";
}

std::string joinNames(const std::vector<std::string>& names) {
  std::string list;
  constexpr size_t kShown = 12;
  for (size_t i = 0; i < names.size() && i < kShown; ++i) list += "\n" + names[i];
  if (names.size() > kShown) list += "\n... and " + std::to_string(names.size() - kShown) + " more";
  return list;
}

}  // namespace

bool ProgressWindow::trackProgress(const TrackExportProgress& p) {
  char text[160];
  if (p.secondsLeft >= 0) {
    const int s = int(p.secondsLeft + 0.5);
    std::snprintf(text, sizeof text, "%d of %d tracks done, encoding track %d\nAbout %d:%02d left", p.tracksDone,
                  p.trackTotal, p.currentTrack, s / 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%d of %d tracks done, encoding track %d\nEstimating the time left...",
                  p.tracksDone, p.trackTotal, p.currentTrack);
  }
  return update(text, p.fraction);
}

std::string StudioSession::defaultAlbumName() const {
  const std::string stem = std::filesystem::path(playlistPath_).stem().string();
  return stem.empty() ? kDefaultAlbumName : stem;
}

void StudioSession::onExportTracks() {
  TrackExportServices* services = prompts_.trackExport();
  if (!services || playlist_.trackCount() == 0) return;
  TrackExportChoice proposal;
  proposal.album = defaultAlbumName();
  const std::string music = services->musicFolder();
  if (!music.empty()) proposal.folder = (Path(music) / safeFileName(proposal.album)).string();
  const auto choice = services->chooseTrackExport(proposal);
  if (!choice) return;
  const std::string album = choice->album.empty() ? defaultAlbumName() : choice->album;
  const TrackExportPlan plan = planTrackExport(playlist_, catalogue(), album, choice->format);
  const Path folder = choice->folder;
  if (!fs_.isDirectory(folder)) {
    const std::string text = "The folder " + choice->folder + " does not exist.\n\nCreate it?";
    if (prompts_.askChoice(text, "Export Tracks", "Create", "") != SessionPrompts::Answer::Yes) return;
    if (!createFolders(fs_, folder)) {
      prompts_.messageBox("The folder " + choice->folder + " could not be created.", "Error");
      return;
    }
  }
  const auto existing = existingExportFiles(fs_, folder, plan);
  if (!existing.empty()) {
    const std::string text = std::to_string(existing.size()) + (existing.size() == 1 ? " file" : " files") +
                             " of this export already exist in " + choice->folder + ":" + joinNames(existing) +
                             "\n\nReplace them?";
    if (prompts_.askChoice(text, "Export Tracks", kReplaceFilesButton, "") != SessionPrompts::Answer::Yes) return;
  }
  const auto stale = staleAlbumFiles(fs_, folder, plan);
  std::vector<std::string> removeAfterwards;
  if (!stale.empty()) {
    const std::string text = std::to_string(stale.size()) + (stale.size() == 1 ? " file" : " files") +
                             " of an earlier export of this album in " + choice->folder +
                             " will not be written again:" + joinNames(stale) + "\n\nRemove them after the export?";
    switch (prompts_.askChoice(text, "Export Tracks", kRemoveStaleButton, "Keep")) {
      case SessionPrompts::Answer::Yes: removeAfterwards = stale; break;
      case SessionPrompts::Answer::No: break;
      case SessionPrompts::Answer::Cancel: return;
    }
  }

  const auto encoder = services->makeEncoder(choice->format, choice->quality);
  if (!encoder) return;
  TrackExportOptions options;
  options.encoder = encoder.get();
  options.removeAfterwards = removeAfterwards;
  const Track* first = playlist_.first();
  const std::string label = first && first->station >= 0 && first->station < kStationCount
                                ? latin1ToUtf8(catalogue().stations[first->station].labelText())
                                : "";
  options.coverPng = services->coverPng(label, album);

  transport_.stop();
  const auto started = clock_();
  auto window = services->showProgress("Export Tracks");
  WindowProgress observer(*window);
  const TrackExportResult result = exportTracks(fs_, playlist_, plan, folder, options, observer);
  window.reset();  // the result box comes after the progress window is gone
  transport_.stop();
  if (result.error == TrackExportError::None) {
    if (services->showResult(resultText(plan, choice->folder))) services->openFolder(choice->folder);
  } else if (result.error != TrackExportError::Cancelled) {
    prompts_.messageBox(trackExportMessage(result), "Error");
  }
  JobResult job;
  job.kind = JobKind::ExportTracks;
  job.outcome = result.error == TrackExportError::None        ? JobOutcome::Done
                : result.error == TrackExportError::Cancelled ? JobOutcome::Cancelled
                                                              : JobOutcome::Failed;
  job.target = choice->folder;
  job.count = playlist_.trackCount();
  job.audioSeconds = roundedSeconds(playlist_.playlistSamples());
  finishJob(std::move(job), started);
}

std::optional<bool> StudioSession::askJoinShortTracks() {
  const auto shortOnes = shortTrackNumbers(cdTrackSectors(playlist_));
  if (shortOnes.empty()) return false;
  switch (prompts_.askChoice(shortTracksQuestion(shortOnes), "Export CD", kJoinShortButton, "Keep Tracks")) {
    case SessionPrompts::Answer::Yes: return true;
    case SessionPrompts::Answer::No: return false;
    case SessionPrompts::Answer::Cancel: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace wc
