// Detect Songs: the songs, intros, outros, chatter and identifications of
// every station without songs, worked out from the audio on a worker thread
// and written into the catalogue all at once.
#include <atomic>
#include <cstring>

#include "analysis/DetectionReport.h"
#include "analysis/DiscAnalysis.h"
#include "analysis/PackClipSource.h"
#include "gamedata/DiscFingerprint.h"
#include "gamedata/GameData.h"
#include "session/StudioSession.h"

namespace wc {
namespace {

constexpr const char* kCaption = "Detect Songs";
constexpr const char* kStartQuestion =
    "No songs are known for this disc yet. Find the songs, intros and outros from the audio now?";
constexpr const char* kDontAskAgain = "Don't ask again for this disc";

std::string labelOf(const Catalogue& catalogue, int station) {
  return std::string(catalogue.stations[station].labelText());
}

}  // namespace

void StudioSession::offerSongDetection() {
  DetectionOfferMemory* memory = prompts_.detectionOfferMemory();
  const std::string disc = discFingerprint(catalogue());
  if (!shouldOfferSongDetection(catalogue(), memory && memory->declined(disc))) return;
  const SessionPrompts::CheckedAnswer answer =
      prompts_.askYesNoWithCheckBox(kStartQuestion, "Wavecrate", kDontAskAgain);
  if (answer.checked && memory) memory->decline(disc);
  if (answer.yes) onDetectSongs();
}

void StudioSession::onDetectSongs() {
  const std::vector<int> stations = stationsWithoutSongs(catalogue());
  if (stations.empty()) {
    prompts_.messageBox(
        "Every radio station already has songs. To analyse one again, use wavecrate-annotate "
        "--force.",
        kCaption);
    return;
  }
  // The worker reads a snapshot through pack handles of its own, opened
  // here, where the disc may be asked for.
  const auto snapshot = std::make_unique<Catalogue>(catalogue());
  const ClipSource source = packClipSource(openPacks(gameData_, stations), *snapshot);

  const auto started = clock_();
  JobResult result;
  result.kind = JobKind::DetectSongs;
  result.outcome = JobOutcome::Failed;  // until it is known otherwise
  // Told however the flow ends from here on.
  struct Report {
    StudioSession& session;
    JobResult& result;
    std::chrono::steady_clock::time_point started;
    ~Report() { session.finishJob(std::move(result), started); }
  } report{*this, result, started};

  std::atomic<bool> cancel{false};
  std::optional<DiscProposal> proposal;
  prompts_.runInBackground(
      kCaption,
      [&](BackgroundProgress& progress) {
        proposal = analyseStations(
            *snapshot, stations, source,
            [&](int station, double fraction) {
              progress.report("Analysing " + labelOf(*snapshot, station) + "...", fraction);
            },
            &cancel);
      },
      cancel);
  if (!proposal) {
    result.outcome = JobOutcome::Cancelled;
    return;  // nothing changed
  }
  if (!proposalFindsSongs(*proposal)) {
    result.outcome = JobOutcome::Done;
    prompts_.messageBox(noSongsFoundText(*proposal), kCaption);
    return;
  }

  // The songs' intro and outro counts change under any playing track.
  transport_.stop();
  if (applyProposal(gameData_.catalogue(), *proposal) != ApplyResult::Applied) {
    prompts_.messageBox("The catalogue changed while the audio was analysed; nothing was applied.", "Error");
    return;
  }
  result.outcome = JobOutcome::Done;
  result.count = int(stations.size() - stationsWithoutSongs(catalogue()).size());
  const bool saved = gameData_.saveCatalogue();
  catalogueChanged(saved);
  if (!saved) {
    prompts_.messageBox("The songs were found, but the clip annotations could not be saved to " +
                            std::string(kCatalogueFileName) + ". Save them before you quit.",
                        "Error");
    return;
  }
  prompts_.messageBox(detectionSummary(catalogue(), *proposal), kCaption);
}

}  // namespace wc
