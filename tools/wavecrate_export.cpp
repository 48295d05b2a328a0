// wavecrate-export: writes a playlist's CD image (44100 Hz wave file and CUE
// sheet) or its 24 kHz wave file from the command line, through the same
// code as the window program's Export commands.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "playlist/Voice.h"
#include "gamedata/GameData.h"
#include "playlist/TrackAudio.h"
#include "playlist/Exporter.h"
#include "playlist/PlaylistFile.h"
#include "tools/export/TrackExportCommand.h"

namespace {

using namespace wc;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 64;
constexpr int kExitNoDisc = 2;

void printHelp() {
  std::puts(
      "Usage: wavecrate-export [--wave24] [--join-short] PLAYLIST.wcpl OUT.wav\n"
      "       wavecrate-export --tracks FOLDER [--format flac|opus|mp3|wav] [--quality Q]\n"
      "                        [--album NAME] PLAYLIST.wcpl\n"
      "\n"
      "Writes the playlist as one wave file, exactly as Wavecrate's Export commands do.\n"
      "By default it writes a 44100 Hz CD image and a CUE sheet beside it (OUT.cue);\n"
      "with --wave24 it writes a 24000 Hz wave file and no CUE sheet. With --join-short\n"
      "the CUE sheet joins every track shorter than 4 seconds (which burning programs\n"
      "refuse) with the track after it; the audio stays the same.\n"
      "\n"
      "With --tracks it writes one tagged file per track and ALBUM.m3u8 into FOLDER\n"
      "(made if missing), replacing files of the same names: FLAC by default; Opus\n"
      "with --quality the bitrate in kb/s (default 160); MP3 with --quality the VBR\n"
      "level 0-9 (default 2); FLAC with --quality the compression level 0-8 (default\n"
      "5). The album name defaults to the playlist file's name.\n"
      "\n"
      "Run it in the directory where Wavecrate keeps its catalogue file\n"
      "(WavecrateInfo.dat) and its CACHE directory. Clips missing from the cache are\n"
      "read from the game disc if it is mounted; without it the export fails.\n"
      "\n"
      "Progress goes to standard error. Exit status: 0 on success, 1 when the export\n"
      "fails, 2 when the game disc is needed but not found, 64 for a usage error.");
}

// Message boxes of the game data layer, answered on the terminal: the disc
// search gives up at once, warnings are printed.
class TerminalPrompts final : public MessagePrompts {
 public:
  MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) override {
    if (buttons == MessageButtons::OkCancel) {
      std::fprintf(stderr,
                   "wavecrate-export: the game disc is needed but was not found: mount it, or copy its audio "
                   "files into CACHE with Wavecrate first.\n");
      return MessageAnswer::Cancel;
    }
    std::fprintf(stderr, "wavecrate-export: %.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
                 text.data());
    return MessageAnswer::Ok;
  }
};

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
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - progress.start).count();
  constexpr int kWidth = 30;
  char bar[kWidth + 1];
  const int filled = permille * kWidth / 1000;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "%s[%s] track %2d of %d  %5.1f%%  %6.1f s%s", progress.tty ? "\r" : "", bar,
               progress.trackNumber, progress.trackTotal, permille / 10.0, elapsed, progress.tty ? "" : "\n");
}

void onRenderProgress(Track* track, int32_t position) {
  if (track != progress.current) return;
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
  void renderingEnds() override {
    if (progress.current) progress.samplesBefore += trackSamples(*progress.current);
    progress.current = nullptr;
    progress.lastPermille = -1;
    drawProgress(progress.samplesTotal);
    if (progress.tty) std::fputc('\n', stderr);
  }
};

}  // namespace

int main(int argc, char** argv) {
  bool wave24 = false;
  bool joinShort = false;
  TrackExportArguments tracks;
  std::string playlistPath, wavePath;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printHelp();
      return 0;
    }
    if (arg == "--wave24") {
      wave24 = true;
    } else if (arg == "--join-short") {
      joinShort = true;
    } else if (const auto taken = tracks.take(argc, argv, i)) {
      if (!*taken) return kExitUsage;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "wavecrate-export: unknown option %s (see --help)\n", argv[i]);
      return kExitUsage;
    } else if (playlistPath.empty()) {
      playlistPath = arg;
    } else if (wavePath.empty()) {
      wavePath = arg;
    } else {
      std::fprintf(stderr, "wavecrate-export: too many arguments (see --help)\n");
      return kExitUsage;
    }
  }
  if (tracks.folder) {
    if (playlistPath.empty() || !wavePath.empty() || wave24 || joinShort) {
      std::fprintf(stderr, "wavecrate-export: --tracks takes a folder and one playlist file (see --help)\n");
      return kExitUsage;
    }
  } else if (tracks.given) {
    std::fprintf(stderr, "wavecrate-export: --format, --quality and --album need --tracks (see --help)\n");
    return kExitUsage;
  } else if (playlistPath.empty() || wavePath.empty()) {
    std::fprintf(stderr, "wavecrate-export: a playlist file and an output wave file are needed (see --help)\n");
    return kExitUsage;
  }
  if (!tracks.folder && !hasWaveExtension(wavePath)) {
    std::fprintf(stderr, "wavecrate-export: This program can only export wave (*.wav) files\n");
    return kExitFailure;
  }
  // The CUE sheet names the wave file by its full path.
  if (!tracks.folder) wavePath = std::filesystem::absolute(wavePath).lexically_normal().string();

  FileSystem& fs = realFileSystem();
  ProcMountTable mounts(fs);
  TerminalPrompts prompts;
  GameData gameData(fs, std::filesystem::current_path(), mounts, prompts,
                    [](int) { std::exit(kExitNoDisc); });
  gameData.loadCatalogue();

  const auto bytes = readWholeFile(fs, playlistPath);
  if (!bytes) {
    std::fprintf(stderr, "wavecrate-export: cannot read the playlist file %s\n", playlistPath.c_str());
    return kExitFailure;
  }
  Playlist playlist;
  for (const auto& record : decodePlaylistFile(*bytes, gameData.catalogue())) {
    Track* track = createTrack(gameData.catalogue(), record.station, record.clipIndex);
    if (!track) continue;
    track->intro = record.intro;
    track->outro = record.outro;
    playlist.append(track);
    ++playlist.trackCount;
    loadTrackAudio(gameData, *track, true, LoadIndicatorMode::Silent, nullptr);
  }
  if (playlist.trackCount == 0) {
    std::fprintf(stderr, "wavecrate-export: the playlist %s holds no track of this catalogue\n",
                 playlistPath.c_str());
    return kExitFailure;
  }

  if (tracks.folder) return runTrackExport(fs, playlist, gameData.catalogue(), playlistPath, tracks);

  progress.trackTotal = playlist.trackCount;
  progress.samplesTotal = playlist.playlistSamples();
  progress.tty = isatty(fileno(stderr));
  Voice renderer;
  renderer.callback = &onRenderProgress;
  TerminalExportObserver observer;
  const ExportError error = exportPlaylist(fs, playlist, wavePath, !wave24, renderer, observer, {}, joinShort);
  if (error != ExportError::None) {
    std::fprintf(stderr, "wavecrate-export: %s\n", exportErrorMessage(error).c_str());
    return kExitFailure;
  }
  return 0;
}
