// wavecrate-export: writes a playlist's CD image (44100 Hz wave file and CUE
// sheet) or its 24 kHz wave file from the command line, through the same
// code as the window program's Export commands.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/CRandom.h"
#include "base/TemporaryCleanup.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "playlist/Exporter.h"
#include "playlist/MissingAudio.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileReader.h"
#include "session/StudioSession.h"
#include "tools/ExitStatus.h"
#include "tools/TerminalPrompts.h"
#include "tools/export/TerminalExport.h"
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

struct CommandLine {
  bool wave24 = false;
  bool skipMissing = false;
  bool joinShort = false;
  bool strict = false;
  std::optional<Path> discImage;
  TrackExportArguments tracks;
  std::string playlistPath, wavePath;
};

// An option, argv[i] (with its value, advancing i): nullopt to go on, or the
// program's exit status.
std::optional<int> takeOption(int argc, char** argv, int& i, CommandLine& line) {
  const std::string_view arg = argv[i];
  if (arg == "--help" || arg == "-h") {
    printHelp();
    return 0;
  }
  if (arg == "--wave24") {
    line.wave24 = true;
  } else if (arg == "--disc-image") {
    if (i + 1 >= argc) {
      std::fprintf(stderr, "wavecrate-export: --disc-image needs the image file (see --help)\n");
      return kExitUsage;
    }
    line.discImage = Path(argv[++i]);
  } else if (arg == "--skip-missing") {
    line.skipMissing = true;
  } else if (arg == "--join-short") {
    line.joinShort = true;
  } else if (arg == "--strict") {
    line.strict = true;
  } else if (const auto taken = line.tracks.take(argc, argv, i)) {
    if (!*taken) return kExitUsage;
  } else {
    std::fprintf(stderr, "wavecrate-export: unknown option %s (see --help)\n", argv[i]);
    return kExitUsage;
  }
  return std::nullopt;
}

std::optional<int> takeFileName(std::string_view arg, CommandLine& line) {
  if (line.playlistPath.empty()) {
    line.playlistPath = arg;
  } else if (line.wavePath.empty()) {
    line.wavePath = arg;
  } else {
    return usageError("too many arguments");
  }
  return std::nullopt;
}

// Whether the options and file names make one export.
std::optional<int> checkCombination(const CommandLine& line) {
  if (line.tracks.folder) {
    if (line.playlistPath.empty() || !line.wavePath.empty() || line.wave24 || line.joinShort)
      return usageError("--tracks takes a folder and one playlist file");
    if (const std::string problem = line.tracks.usageProblem(); !problem.empty()) return usageError(problem.c_str());
    return std::nullopt;
  }
  if (line.tracks.given) return usageError("--format, --quality, --album and --remove-stale need --tracks");
  if (line.playlistPath.empty() || line.wavePath.empty())
    return usageError("a playlist file and an output wave file are needed");
  if (!hasWaveExtension(line.wavePath)) {
    std::fprintf(stderr, "wavecrate-export: This program can only export wave (*.wav) files\n");
    return kExitUsage;
  }
  return std::nullopt;
}

// The command line into `line`: nullopt to export, or the program's exit
// status (after --help, or a usage error said).
std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::optional<int> status;
    if (optionsEnded || arg.size() < 2 || arg[0] != '-')
      status = takeFileName(arg, line);
    else if (arg == "--")
      optionsEnded = true;
    else
      status = takeOption(argc, argv, i, line);
    if (status) return status;
  }
  return checkCombination(line);
}

// The wave file's full path, which the CUE sheet names; a usage error when
// the CUE sheet could not name it or writing it would destroy an input.
std::optional<int> placeWaveFile(CommandLine& line, const Path& workingDirectory) {
  line.wavePath = (workingDirectory / line.wavePath).lexically_normal().string();
  if (!line.wave24 && !cueCanNamePath(line.wavePath))
    return usageError("a CUE sheet cannot name a wave file whose path holds a double quote or a line break");
  if (const std::string conflict = outputConflict(line.wavePath, workingDirectory / line.playlistPath,
                                                  workingDirectory / kCacheDirectoryName, !line.wave24);
      !conflict.empty())
    return usageError(conflict.c_str());
  return std::nullopt;
}

TerminalAnswers answersFor(const CommandLine& line) {
  TerminalAnswers answers;
  answers.cdImage = !line.wave24;
  answers.wavePath = line.wavePath;
  answers.joinShortTracks = line.joinShort;
  if (line.tracks.folder) answers.tracks = line.tracks.choice(line.playlistPath);
  answers.removeStale = line.tracks.removeStale;
  return answers;
}

// The playlist file's records, with what this catalogue makes of them said on
// standard error; nullopt (the reason said) when nothing is to be exported.
std::optional<PlaylistFileContents> readRecords(FileSystem& fs, const GameData& gameData, const CommandLine& line) {
  PlaylistFileContents contents = readPlaylistFile(fs, line.playlistPath, gameData.catalogue());
  if (contents.problem == PlaylistFileProblem::CannotOpen) {
    std::fprintf(stderr, "wavecrate-export: cannot read the playlist file %s\n", line.playlistPath.c_str());
    return std::nullopt;
  }
  if (contents.problem != PlaylistFileProblem::None) {
    std::fprintf(stderr, "wavecrate-export: %s is not a playlist of this catalogue\n", line.playlistPath.c_str());
    return std::nullopt;
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
  if ((bare || contents.lostIntroOrOutro > 0) && line.strict) {
    std::fprintf(stderr, "wavecrate-export: nothing was exported (--strict)\n");
    return std::nullopt;
  }
  return contents;
}

// The session's playlist from the records, their audio loaded; the tracks of
// clips that cannot be read left out with --skip-missing. False (the reason
// said) when nothing is to be exported.
bool fillPlaylist(StudioSession& session, const PlaylistFileContents& contents, const CommandLine& line) {
  const Catalogue& catalogue = session.catalogue();
  Playlist& playlist = session.playlist();
  playlist.appendRecords(catalogue, contents.records,
                         [&](Track& track) { session.loadTrackAudio(track, true, LoadIndicatorMode::Silent); });
  if (const auto missing = clipsWithoutAudio(catalogue, playlist); !missing.empty()) {
    if (!line.skipMissing) {
      std::fprintf(stderr, "wavecrate-export: %s(use --skip-missing to export without these tracks)\n",
                   exportRefusalForMissingAudio(catalogue, missing).c_str());
      return false;
    }
    std::fprintf(stderr, "wavecrate-export: these clips could not be read; their tracks are left out:\n%s",
                 describeMissingClips(catalogue, missing).c_str());
    removeTracksWithoutAudio(catalogue, playlist);
  }
  if (playlist.trackCount() == 0) {
    std::fprintf(stderr, "wavecrate-export: the playlist %s holds no track to export\n", line.playlistPath.c_str());
    return false;
  }
  return true;
}

// Like an output file, a missing folder is made (its parent must exist).
bool makeFolder(FileSystem& fs, const Path& folder) {
  if (fs.isDirectory(folder) || fs.createDirectory(folder)) return true;
  std::fprintf(stderr, "wavecrate-export: cannot create the folder %s\n", folder.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, a closed terminal or a polite kill leave no hidden temporaries.
  removeTemporariesOnSignals();
  CommandLine line;
  if (const auto status = readCommandLine(argc, argv, line)) return *status;
  // The catalogue and the cache are found through the working directory,
  // which may have been removed under the shell.
  std::error_code cwdError;
  const Path workingDirectory = std::filesystem::current_path(cwdError);
  if (cwdError) {
    std::fprintf(stderr, "wavecrate-export: the working directory cannot be used: %s\n", cwdError.message().c_str());
    return kExitFailure;
  }
  if (!line.tracks.folder)
    if (const auto status = placeWaveFile(line, workingDirectory)) return *status;

  // The disc is read through a view that can show the image's tree.
  DiscImageFileSystem fs(realFileSystem());
  TerminalExport terminal(fs, answersFor(line));
  ProcMountTable mounts(realFileSystem());
  TerminalPrompts prompts(
      "wavecrate-export",
      "give its image with --disc-image, mount it, or copy its audio files into CACHE with Wavecrate first.");
  GameData gameData(fs, workingDirectory, mounts, prompts, [](int) { std::exit(kExitNoDisc); });
  gameData.discLocator().useDiscImages({&fs, line.discImage, nullptr, nullptr});
  gameData.loadCatalogue();

  // The export runs the window's own command flow, the terminal answering
  // its dialogs; no tool runs, so the generator is never drawn from.
  CRandom toolRandom;
  StudioSession session(gameData, terminal, toolRandom, nullptr, fs);
  const auto contents = readRecords(fs, gameData, line);
  if (!contents || !fillPlaylist(session, *contents, line)) return kExitFailure;
  if (line.tracks.folder && !makeFolder(fs, *line.tracks.folder)) return kExitFailure;
  return terminal.run(session) ? 0 : kExitFailure;
}
