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
  const auto choice = services->chooseTrackExport(proposal);
  if (!choice) return;
  const std::string album = choice->album.empty() ? defaultAlbumName() : choice->album;
  const TrackExportPlan plan = planTrackExport(playlist_, catalogue(), album, choice->format);
  const Path folder = choice->folder;
  if (!fs_.isDirectory(folder)) {
    prompts_.messageBox("The folder " + choice->folder + " does not exist.", "Error");
    return;
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
  const auto window = services->showProgress("Export Tracks");
  WindowProgress observer(*window);
  const TrackExportResult result = exportTracks(fs_, playlist_, plan, folder, options, observer);
  transport_.stop();
  if (result.error != TrackExportError::None && result.error != TrackExportError::Cancelled)
    prompts_.messageBox(trackExportMessage(result), "Error");
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
