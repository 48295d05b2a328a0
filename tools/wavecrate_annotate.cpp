// wavecrate-annotate: finds the songs, intros, outros, chatter and station
// identifications of the radio stations from their audio and writes them
// into the catalogue file, through the same code as the window program.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/DetectionReport.h"
#include "analysis/DiscAnalysis.h"
#include "analysis/PackClipSource.h"
#include "base/FileReplacement.h"
#include "gamedata/AnnotationFile.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "tools/ExitStatus.h"
#include "tools/TerminalPrompts.h"

namespace {

using namespace wc;

void printHelp() {
  std::puts(
      "Usage: wavecrate-annotate [--station NAME]... [--force] [--dry-run] [--csv FILE]\n"
      "                          [--disc-image FILE.iso]\n"
      "\n"
      "Works out from the audio which clips of each radio station are songs, their\n"
      "intros and outros, DJ chatter and station identifications, and writes the\n"
      "result into the catalogue file (WavecrateInfo.dat). Songs are titled\n"
      "\"Song 3 02:47\" until you type real titles. When no song is found (nothing\n"
      "could be read, or no music holds together) nothing is written.\n"
      "\n"
      "  --station NAME  analyse this station (pack name such as CH, or its label);\n"
      "                  repeatable. Default: every station that has no song yet\n"
      "  --force         also redo stations that already have songs: their classes\n"
      "                  and counts are replaced, typed titles and artists stay on\n"
      "                  clips whose role did not change\n"
      "  --dry-run       print what would change, write nothing\n"
      "  --csv FILE      also write the result as an annotation CSV: the format of\n"
      "                  Export Annotations with a last column, confidence (0 to 1,\n"
      "                  empty for clips not analysed); Import Annotations reads it\n"
      "  --disc-image FILE.iso\n"
      "                  read the game disc from this ISO image\n"
      "\n"
      "The blocks the analysis is least sure of (a song with its intros and outros,\n"
      "or a lone clip) are listed under \"Check these\".\n"
      "\n"
      "Run it in the directory where Wavecrate keeps its catalogue file and its CACHE\n"
      "directory. Clips missing from the cache are read from the game disc: from the\n"
      "ISO image given with --disc-image, else from the disc if it is mounted.\n"
      "Exit status: 0 done, 1 failure, 2 no disc or cache, 64 usage error.");
}

// The station a name means: its pack name or its label, ignoring case.
int stationNamed(const Catalogue& catalogue, const GameData& gameData, std::string_view name) {
  auto same = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  };
  for (int i = 0; i < kStationCount; ++i) {
    const Station& s = catalogue.stations[i];
    const std::string label(s.label, strnlen(s.label, sizeof s.label));
    if (same(name, gameData.packName(i)) || same(name, label)) return i;
  }
  return -1;
}

std::span<const uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

struct CommandLine {
  std::vector<std::string> stationNames;
  bool force = false;
  bool dryRun = false;
  std::string csvPath;
  std::optional<Path> discImage;
};

// The command line into `line`: nullopt to go on, or the program's exit
// status (after --help, or a usage error said).
std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printHelp();
      return 0;
    }
    if (arg == "--station" && i + 1 < argc) {
      line.stationNames.emplace_back(argv[++i]);
    } else if (arg == "--force") {
      line.force = true;
    } else if (arg == "--dry-run") {
      line.dryRun = true;
    } else if (arg == "--csv" && i + 1 < argc) {
      line.csvPath = argv[++i];
    } else if (arg == "--disc-image") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "wavecrate-annotate: --disc-image needs the image file (see --help)\n");
        return kExitUsage;
      }
      line.discImage = Path(argv[++i]);
    } else {
      std::fprintf(stderr, "wavecrate-annotate: unexpected argument %s (see --help)\n", argv[i]);
      return kExitUsage;
    }
  }
  return std::nullopt;
}

// The stations to analyse: those named (a usage error for a name that is no
// radio station; one with songs is left alone without --force), else every
// analysable one without songs (with --force, every one).
std::optional<int> chooseStations(const GameData& gameData, const CommandLine& line, std::vector<int>& stations) {
  const Catalogue& catalogue = gameData.catalogue();
  if (line.stationNames.empty()) {
    for (int i = 0; i < kStationCount; ++i)
      if (isAnalysableStation(catalogue, i) && (line.force || !stationHasSongs(catalogue.stations[i])))
        stations.push_back(i);
    return std::nullopt;
  }
  for (const std::string& name : line.stationNames) {
    const int station = stationNamed(catalogue, gameData, name);
    if (station < 0 || !isAnalysableStation(catalogue, station)) {
      std::fprintf(stderr, "wavecrate-annotate: %s is not a radio station of this disc\n", name.c_str());
      return kExitUsage;
    }
    if (!line.force && stationHasSongs(catalogue.stations[station])) {
      std::fprintf(stderr, "wavecrate-annotate: %s already has songs; left alone (use --force to redo it)\n",
                   name.c_str());
      continue;
    }
    stations.push_back(station);
  }
  return std::nullopt;
}

void printTally(const GameData& gameData, const DiscProposal& proposal) {
  std::printf("%-8s %6s %7s %7s %8s %16s %11s\n", "station", "songs", "intros", "outros", "chatter", "identifications",
              "unreadable");
  for (const StationProposal& p : proposal.stations) {
    const RoleTally t = p.tally();
    std::printf("%-8s %6d %7d %7d %8d %16d %11d\n", gameData.packName(p.station).c_str(), t.songs, t.intros, t.outros,
                t.chatter, t.identifications, t.unreadable);
  }
}

// The annotation CSV with its confidence column; false (the reason said)
// when it cannot be written.
bool writeCsv(FileSystem& fs, const std::string& csvPath, const Catalogue& result, const DiscProposal& proposal) {
  const std::vector<AnnotationColumn> confidence{confidenceColumn(proposal)};
  const ReplaceResult written = replaceFileContents(fs, csvPath, asBytes(exportAnnotations(result, confidence)));
  if (written) return true;
  // errno is long stale here; the replacement says why it could not start.
  const std::string reason = written.status == ReplaceStatus::NotCreated && !written.reason.empty()
                                 ? written.reason
                                 : "writing it failed (is the disk full?)";
  std::fprintf(stderr, "wavecrate-annotate: cannot write %s: %s\n", csvPath.c_str(), reason.c_str());
  return false;
}

// The proposal applied to a copy of the catalogue, which becomes the
// catalogue file unless --dry-run; the exit status.
int applyAndSave(FileSystem& fs, GameData& gameData, const DiscProposal& proposal, const CommandLine& line) {
  auto result = std::make_unique<Catalogue>(gameData.catalogue());
  if (applyProposal(*result, proposal) != ApplyResult::Applied) {
    std::fprintf(stderr, "wavecrate-annotate: the catalogue changed during the analysis\n");
    return kExitFailure;
  }
  const std::vector<UncertainBlock> uncertain = uncertainBlocks(proposal);
  if (!uncertain.empty()) std::printf("\n%s\n", checkTheseText(*result, uncertain, uncertain.size()).c_str());
  if (line.dryRun) return 0;
  if (!line.csvPath.empty() && !writeCsv(fs, line.csvPath, *result, proposal)) return kExitFailure;
  gameData.catalogue() = *result;
  if (!gameData.saveCatalogue()) {
    std::fprintf(stderr, "wavecrate-annotate: cannot write %s; the previous file was left unchanged\n",
                 (gameData.workingDirectory() / kCatalogueFileName).string().c_str());
    return kExitFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  if (const auto status = readCommandLine(argc, argv, line)) return *status;

  // The disc is read through a view that can show the image's tree.
  DiscImageFileSystem fs(realFileSystem());
  ProcMountTable mounts(realFileSystem());
  TerminalPrompts prompts(
      "wavecrate-annotate",
      "give its image with --disc-image, mount it, or copy its audio files into CACHE with Wavecrate first.");
  // The catalogue and the cache are found through the working directory,
  // which may have been removed under the shell.
  std::error_code cwdError;
  const Path workingDirectory = std::filesystem::current_path(cwdError);
  if (cwdError) {
    std::fprintf(stderr, "wavecrate-annotate: the working directory cannot be used: %s\n", cwdError.message().c_str());
    return kExitFailure;
  }
  GameData gameData(fs, workingDirectory, mounts, prompts, [](int) { std::exit(kExitNoDisc); });
  gameData.discLocator().useDiscImages({&fs, line.discImage, nullptr, nullptr});
  if (!gameData.readConfigFile(kLookupTableName)) {
    std::fprintf(stderr, "wavecrate-annotate: %s: neither CACHE nor the game disc (mounted or --disc-image) holds it\n",
                 std::string(kLookupTableName).c_str());
    return kExitNoDisc;
  }
  gameData.loadCatalogue();
  const Catalogue& catalogue = gameData.catalogue();

  std::vector<int> stations;
  if (const auto status = chooseStations(gameData, line, stations)) return *status;
  const auto proposal = analyseStations(catalogue, stations, packClipSource(openPacks(gameData, stations), catalogue));
  if (!proposal) return kExitFailure;
  printTally(gameData, *proposal);
  if (proposal->stations.empty()) {
    std::printf("No station to analyse.\n");
    return 0;
  }
  if (!proposalFindsSongs(*proposal)) {
    std::fprintf(stderr, "wavecrate-annotate: %s\n", noSongsFoundText(*proposal).c_str());
    return kExitFailure;
  }
  return applyAndSave(fs, gameData, *proposal, line);
}
