#include "tools/export/TrackExportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "audio/encode/TrackEncoders.h"
#include "gamedata/ClipAnnotation.h"
#include "playlist/TrackExporter.h"
#if WAVECRATE_CLI_COVER
#include "tools/export/CoverPng.h"
#endif

namespace wc {
namespace {

// One line on standard error, redrawn in place on a terminal.
class TerminalTrackProgress final : public TrackExportObserver {
 public:
  bool progress(const TrackExportProgress& p) override {
    const int permille = int(p.fraction * 1000);
    if (permille == lastPermille_) return true;
    lastPermille_ = permille;
    std::fprintf(stderr, "%s%d of %d tracks encoded, track %d  %5.1f%%", tty_ ? "\r" : "", p.tracksDone, p.trackTotal,
                 p.currentTrack, permille / 10.0);
    if (p.secondsLeft >= 0) std::fprintf(stderr, "  about %.0f s left   ", p.secondsLeft);
    if (!tty_) std::fputc('\n', stderr);
    return true;
  }
  void done() {
    if (tty_ && lastPermille_ >= 0) std::fputc('\n', stderr);
  }

 private:
  int lastPermille_ = -1;
  bool tty_ = isatty(fileno(stderr));
};

}  // namespace

std::optional<bool> TrackExportArguments::take(int argc, char** argv, int& i) {
  const std::string_view arg = argv[i];
  if (arg == "--remove-stale") {
    removeStale = given = true;
    return true;
  }
  const bool takesValue = arg == "--tracks" || arg == "--format" || arg == "--quality" || arg == "--album";
  if (!takesValue) return std::nullopt;
  if (i + 1 >= argc) {
    std::fprintf(stderr, "wavecrate-export: %s needs a value (see --help)\n", argv[i]);
    return false;
  }
  const std::string value = argv[++i];
  if (arg == "--tracks") {
    folder = value;
    return true;
  }
  given = true;
  if (arg == "--format") {
    if (!parseTrackFormat(value)) {
      std::fprintf(stderr, "wavecrate-export: unknown format %s (flac, opus, mp3 or wav)\n", value.c_str());
      return false;
    }
    format = value;
  } else if (arg == "--quality") {
    char* end = nullptr;
    const long q = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0') {
      std::fprintf(stderr, "wavecrate-export: --quality takes a whole number\n");
      return false;
    }
    quality = int(q);
  } else {
    album = value;
  }
  return true;
}

std::string TrackExportArguments::usageProblem() const {
  if (!quality) return "";
  const auto range = trackFormatQuality(*parseTrackFormat(format));
  if (!range) return format + " has no quality to choose; leave out --quality";
  if (*quality < range->lowest || *quality > range->highest)
    return "--quality for " + format + " lies between " + std::to_string(range->lowest) + " and " +
           std::to_string(range->highest);
  return "";
}

int runTrackExport(FileSystem& fs, Playlist& playlist, const Catalogue& catalogue, const std::string& playlistPath,
                   const TrackExportArguments& arguments) {
  const TrackFormat format = *parseTrackFormat(arguments.format);
  const auto range = trackFormatQuality(format);
  const Path folder = *arguments.folder;
  // Like an output file, a missing folder is made (its parent must exist).
  if (!fs.isDirectory(folder) && !fs.createDirectory(folder)) {
    std::fprintf(stderr, "wavecrate-export: cannot create the folder %s\n", folder.c_str());
    return 1;
  }
  std::string album = arguments.album.value_or(Path(playlistPath).stem().string());
  if (album.empty()) album = kDefaultAlbumName;
  const TrackExportPlan plan = planTrackExport(playlist, catalogue, album, format);
  const auto replaced = existingExportFiles(fs, folder, plan);
  if (!replaced.empty()) std::fprintf(stderr, "wavecrate-export: replacing %zu existing files\n", replaced.size());
  const auto stale = staleAlbumFiles(fs, folder, plan);
  if (!stale.empty() && !arguments.removeStale)
    std::fprintf(stderr,
                 "wavecrate-export: %zu file(s) of an earlier export of this album stay in the folder "
                 "(--remove-stale removes them)\n",
                 stale.size());

  const auto encoder = makeTrackEncoder(format, arguments.quality.value_or(range ? range->standard : 0));
  TrackExportOptions options;
  options.encoder = encoder.get();
  if (arguments.removeStale) options.removeAfterwards = stale;
#if WAVECRATE_CLI_COVER
  // The cover the window's export embeds: the first track's station and the album.
  const Track* first = playlist.first();
  const bool knownStation = first && first->station >= 0 && first->station < kStationCount;
  options.coverPng =
      coverPng(knownStation ? latin1ToUtf8(catalogue.stations[first->station].labelText()) : std::string(), album);
#endif
  TerminalTrackProgress observer;
  const TrackExportResult result = exportTracks(fs, playlist, plan, folder, options, observer);
  observer.done();
  if (result.error != TrackExportError::None) {
    std::fprintf(stderr, "wavecrate-export: %s\n", trackExportMessage(result).c_str());
    return 1;
  }
  return 0;
}

}  // namespace wc
