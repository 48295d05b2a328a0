// Detect Songs: the songs, intros, outros, chatter and identifications of
// every station without songs, worked out from the audio on a worker thread
// and written into the catalogue all at once.
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

#include "analysis/DiscAnalysis.h"
#include "analysis/PackClipSource.h"
#include "gamedata/GameData.h"
#include "session/StudioSession.h"

namespace wc {
namespace {

constexpr const char* kCaption = "Detect Songs";
constexpr const char* kStartQuestion =
    "No clip annotations were found for this disc. Find the songs, intros and outros from the audio now?";

std::string labelOf(const Catalogue& catalogue, int station) {
  return std::string(catalogue.stations[station].labelText());
}

std::string summaryOf(const Catalogue& catalogue, const DiscProposal& proposal) {
  std::string text = "The catalogue now knows:\n";
  for (const StationProposal& p : proposal.stations) {
    const RoleTally t = p.tally();
    text += "\n" + labelOf(catalogue, p.station) + ": " + std::to_string(t.songs) + " songs, " +
            std::to_string(t.intros) + " intros, " + std::to_string(t.outros) + " outros, " +
            std::to_string(t.chatter) + " chatter, " + std::to_string(t.identifications) + " identifications";
    if (t.unreadable > 0) text += ", " + std::to_string(t.unreadable) + " unreadable";
  }
  text += "\n\nCheck them with a right click on a clip (Edit Clip) and type the song titles there.";
  return text;
}

}  // namespace

void StudioSession::offerSongDetection() {
  if (!gameData_.startedBare() || stationsWithoutSongs(catalogue()).empty()) return;
  if (prompts_.askYesNo(kStartQuestion, "Wavecrate")) onDetectSongs();
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
  // The worker reads a snapshot through its own file handles; the packs are
  // found here, where the disc may be asked for.
  const auto snapshot = std::make_unique<Catalogue>(catalogue());
  std::array<std::optional<Path>, kStationCount> packs;
  for (int station : stations) packs[size_t(station)] = gameData_.packPath(station);
  const ClipSource source = packClipSource(fs_, packs, *snapshot);

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
  if (!proposal) return;  // cancelled: nothing changed

  // The songs' intro and outro counts change under any playing track.
  transport_.stop();
  if (applyProposal(gameData_.catalogue(), *proposal) != ApplyResult::Applied) {
    prompts_.messageBox("The catalogue changed while the audio was analysed; nothing was applied.", "Error");
    return;
  }
  const bool saved = gameData_.saveCatalogue();
  catalogueChanged(saved);
  if (!saved) {
    prompts_.messageBox("The songs were found, but the clip annotations could not be saved to " +
                            std::string(kCatalogueFileName) + ". Save them before you quit.",
                        "Error");
    return;
  }
  prompts_.messageBox(summaryOf(catalogue(), *proposal), kCaption);
}

}  // namespace wc
