// wavecrate-export: writes a playlist's CD image (44100 Hz wave file and CUE
// sheet) or its 24 kHz wave file from the command line, through the same
// code as the window program's Export commands.
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/TemporaryCleanup.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "playlist/Exporter.h"
#include "playlist/MissingAudio.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileReader.h"
#include "playlist/TrackAudio.h"
#include "tools/ExitStatus.h"
#include "tools/TerminalPrompts.h"
#include "tools/export/TrackExportCommand.h"

namespace {

using namespace wc;

void printHelp() {
  std::puts(
      "Usage: wavecrate-export [--wave24] [--join-short] [--skip-missing] [--strict] [--disc-image FILE.iso]\n"
      "                        [--] PLAYLIST.wcpl OUT.wav\n"
      "       wavecrate-export --tracks FOLDER [--format flac|opus|mp3|wav] [--quality Q]\n"
      "                        [--album NAME] [--remove-stale] [--skip-missing] [--strict]\n"
      "                        [--disc-image FILE.iso] PLAYLIST.wcpl\n"
      "\n"
      "Writes the playlist as one wave file, exactly as Wavecrate's Export commands do.\n"
      "By default it writes a 44100 Hz CD image and a CUE sheet beside it (OUT.cue);\n"
      "with --wave24 it writes a 24000 Hz wave file and no CUE sheet. Existing files\n"
      "are replaced only once the new ones are complete. With --join-short the CUE\n"
      "sheet joins every track shorter than 4 seconds (which burning programs refuse)\n"
      "with the track after it; the audio stays the same.\n"
      "\n"
      "With --tracks it writes one tagged file per track and ALBUM.m3u8 into FOLDER\n"
      "(made if missing), replacing files of the same names: FLAC by default; Opus\n"
      "with --quality the bitrate in kb/s (default 160); MP3 with --quality the VBR\n"
      "level 0-9 (default 2); FLAC with --quality the compression level 0-8 (default\n"
      "5). The album name defaults to the playlist file's name. Tracks of an earlier\n"
      "export of the album (listed by its ALBUM.m3u8) that this one does not write\n"
      "again stay, unless --remove-stale is given.\n"
      "\n"
      "Run it in the directory where Wavecrate keeps its catalogue file\n"
      "(WavecrateInfo.dat) and its CACHE directory. Clips missing from the cache are\n"
      "read from the game disc: from the ISO image given with --disc-image, else\n"
      "from the disc if it is mounted; without either the export fails.\n"
      "A clip that cannot be read (pack missing, too short or unreadable) fails the\n"
      "export; with --skip-missing the tracks of such clips are left out.\n"
      "A track whose intro or outro the catalogue does not know (another folder's\n"
      "catalogue, or none) plays without it, with a warning; --strict refuses.\n"
      "\n"
      "Progress goes to standard error (on a terminal; otherwise one line per track).\n"
      "Exit status: 0 on success, 1 when the export fails, 2 when the game disc is\n"
      "needed but not found, 64 for a usage error.");
}

// The renderer's position reports drive a one-line progress bar.
struct Progress {
  Track* current = nullptr;
  int trackNumber = 0;
  int trackTotal = 0;
  int64_t samplesBefore = 0;  // of the tracks already rendered
  int64_t samplesTotal = 0;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  int lastPermille = -1;
  bool tty = false;
} progress;

void drawProgress(int64_t done) {
  const int permille = progress.samplesTotal > 0 ? int(done * 1000 / progress.samplesTotal) : 1000;
  if (permille == progress.lastPermille) return;
  progress.lastPermille = permille;
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - progress.start).count();
  constexpr int kWidth = 30;
  char bar[kWidth + 1];
  const int filled = permille * kWidth / 1000;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "%s[%s] track %2d of %d  %5.1f%%  %6.1f s%s", progress.tty ? "\r" : "", bar,
               progress.trackNumber, progress.trackTotal, permille / 10.0, elapsed, progress.tty ? "" : "\n");
}

// Within a track the bar moves only on a terminal; a log gets one line per track.
void onRenderProgress(Track* track, int32_t position) {
  if (track != progress.current || !progress.tty) return;
  drawProgress(progress.samplesBefore + position);
}

class TerminalExportObserver final : public ExportObserver {
 public:
  void trackStarts(int number, Track& track) override {
    if (progress.current) progress.samplesBefore += trackSamples(*progress.current);
    progress.current = &track;
    progress.trackNumber = number;
    drawProgress(progress.samplesBefore);
  }
};

// The line after the bar: the bar's own line is left unless it is complete.
void endProgressLine() {
  if (progress.tty && progress.lastPermille >= 0) std::fputc('\n', stderr);
}

int usageError(const char* message) {
  std::fprintf(stderr, "wavecrate-export: %s (see --help)\n", message);
  return kExitUsage;
}

// Two names for the same file, after links and relative parts are resolved.
bool sameFile(const Path& a, const Path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec) && !ec) return true;
  const Path ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return false;
  const Path cb = std::filesystem::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

bool insideDirectory(const Path& file, const Path& directory) {
  std::error_code ec;
  const Path parent = std::filesystem::weakly_canonical(file, ec).parent_path();
  if (ec) return false;
  return sameFile(parent, directory);
}

// Why writing the export to `wavePath` (and its CUE twin) would destroy a
// file the export reads or the program keeps; empty when it would not.
std::string outputConflict(const Path& wavePath, const Path& playlistPath, const Path& cacheDirectory, bool withCue) {
  const Path cuePath = cuePathFor(wavePath.string());
  if (sameFile(wavePath, playlistPath) || (withCue && sameFile(cuePath, playlistPath)))
    return "the output would overwrite the playlist " + playlistPath.string();
  if (insideDirectory(wavePath, cacheDirectory) || (withCue && insideDirectory(cuePath, cacheDirectory)))
    return "the output would be written into the audio cache " + cacheDirectory.string();
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, a closed terminal or a polite kill leave no hidden temporaries.
  removeTemporariesOnSignals();
  bool wave24 = false;
  std::optional<Path> discImage;
  bool skipMissing = false;
  bool optionsEnded = false;
  bool joinShort = false;
  bool strict = false;
  TrackExportArguments tracks;
  std::string playlistPath, wavePath;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      printHelp();
      return 0;
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--wave24") {
      wave24 = true;
    } else if (!optionsEnded && arg == "--disc-image") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "wavecrate-export: --disc-image needs the image file (see --help)\n");
        return kExitUsage;
      }
      discImage = Path(argv[++i]);
    } else if (!optionsEnded && arg == "--skip-missing") {
      skipMissing = true;
    } else if (!optionsEnded && arg == "--join-short") {
      joinShort = true;
    } else if (!optionsEnded && arg == "--strict") {
      strict = true;
    } else if (const auto taken = optionsEnded ? std::nullopt : tracks.take(argc, argv, i)) {
      if (!*taken) return kExitUsage;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "wavecrate-export: unknown option %s (see --help)\n", argv[i]);
      return kExitUsage;
    } else if (playlistPath.empty()) {
      playlistPath = arg;
    } else if (wavePath.empty()) {
      wavePath = arg;
    } else {
      return usageError("too many arguments");
    }
  }
  if (tracks.folder) {
    if (playlistPath.empty() || !wavePath.empty() || wave24 || joinShort)
      return usageError("--tracks takes a folder and one playlist file");
    if (const std::string problem = tracks.usageProblem(); !problem.empty()) return usageError(problem.c_str());
  } else if (tracks.given) {
    return usageError("--format, --quality, --album and --remove-stale need --tracks");
  } else if (playlistPath.empty() || wavePath.empty()) {
    return usageError("a playlist file and an output wave file are needed");
  }
  if (!tracks.folder && !hasWaveExtension(wavePath)) {
    std::fprintf(stderr, "wavecrate-export: This program can only export wave (*.wav) files\n");
    return kExitUsage;
  }
  // The catalogue and the cache are found through the working directory,
  // which may have been removed under the shell.
  std::error_code cwdError;
  const Path workingDirectory = std::filesystem::current_path(cwdError);
  if (cwdError) {
    std::fprintf(stderr, "wavecrate-export: the working directory cannot be used: %s\n", cwdError.message().c_str());
    return kExitFailure;
  }
  // The CUE sheet names the wave file by its full path.
  if (!tracks.folder) {
    wavePath = (workingDirectory / wavePath).lexically_normal().string();
    if (!wave24 && !cueCanNamePath(wavePath))
      return usageError("a CUE sheet cannot name a wave file whose path holds a double quote or a line break");
    if (const std::string conflict =
            outputConflict(wavePath, workingDirectory / playlistPath, workingDirectory / kCacheDirectoryName, !wave24);
        !conflict.empty())
      return usageError(conflict.c_str());
  }

  // The disc is read through a view that can show the image's tree.
  DiscImageFileSystem fs(realFileSystem());
  ProcMountTable mounts(realFileSystem());
  TerminalPrompts prompts(
      "wavecrate-export",
      "give its image with --disc-image, mount it, or copy its audio files into CACHE with Wavecrate first.");
  GameData gameData(fs, workingDirectory, mounts, prompts, [](int) { std::exit(kExitNoDisc); });
  gameData.discLocator().useDiscImages({&fs, discImage, nullptr, nullptr});
  gameData.loadCatalogue();
  const Catalogue& catalogue = gameData.catalogue();

  const PlaylistFileContents contents = readPlaylistFile(fs, playlistPath, catalogue);
  if (contents.problem == PlaylistFileProblem::CannotOpen) {
    std::fprintf(stderr, "wavecrate-export: cannot read the playlist file %s\n", playlistPath.c_str());
    return kExitFailure;
  }
  if (contents.problem != PlaylistFileProblem::None) {
    std::fprintf(stderr, "wavecrate-export: %s is not a playlist of this catalogue\n", playlistPath.c_str());
    return kExitFailure;
  }
  if (contents.skipped > 0)
    std::fprintf(stderr,
                 "wavecrate-export: %lld record(s) of the playlist were skipped (past the 99th or not valid "
                 "for this catalogue)\n",
                 static_cast<long long>(contents.skipped));
  // The bare catalogue knows no intro or outro at all, so even records
  // that chose the first ones lose them; their number cannot be told.
  const bool bare = gameData.startedBare() && !contents.records.empty();
  if (bare)
    std::fprintf(stderr,
                 "wavecrate-export: no annotated catalogue file (%s) fits the disc here: tracks play without "
                 "intros and outros\n",
                 std::string(kCatalogueFileName).c_str());
  else if (contents.lostIntroOrOutro > 0)
    std::fprintf(stderr, "wavecrate-export: %s\n", describeLostIntrosOrOutros(contents.lostIntroOrOutro).c_str());
  if (bare || contents.lostIntroOrOutro > 0) {
    if (strict) {
      std::fprintf(stderr, "wavecrate-export: nothing was exported (--strict)\n");
      return kExitFailure;
    }
  }
  Playlist playlist;
  playlist.appendRecords(catalogue, contents.records, [&](Track& track) {
    loadTrackAudio(gameData, track, true, LoadIndicatorMode::Silent, nullptr);
  });
  if (const auto missing = clipsWithoutAudio(catalogue, playlist); !missing.empty()) {
    if (!skipMissing) {
      std::fprintf(stderr, "wavecrate-export: %s(use --skip-missing to export without these tracks)\n",
                   exportRefusalForMissingAudio(catalogue, missing).c_str());
      return kExitFailure;
    }
    std::fprintf(stderr, "wavecrate-export: these clips could not be read; their tracks are left out:\n%s",
                 describeMissingClips(catalogue, missing).c_str());
    removeTracksWithoutAudio(catalogue, playlist);
  }
  if (playlist.trackCount() == 0) {
    std::fprintf(stderr, "wavecrate-export: the playlist %s holds no track to export\n", playlistPath.c_str());
    return kExitFailure;
  }

  if (tracks.folder) return runTrackExport(fs, playlist, gameData.catalogue(), playlistPath, tracks);

  progress.trackTotal = playlist.trackCount();
  progress.samplesTotal = playlist.playlistSamples();
  progress.tty = isatty(fileno(stderr));
  const OfflineRenderer renderer(&onRenderProgress);
  TerminalExportObserver observer;
  const ExportResult result = exportPlaylistFiles(fs, playlist, wavePath, !wave24, renderer, observer, {}, joinShort);
  if (!result) {
    endProgressLine();
    std::fprintf(stderr, "wavecrate-export: %s\n", exportFailureMessage(result, wavePath).c_str());
    return kExitFailure;
  }
  if (progress.tty) {
    progress.lastPermille = -1;
    drawProgress(progress.samplesTotal);
    std::fputc('\n', stderr);
  }
  return 0;
}
