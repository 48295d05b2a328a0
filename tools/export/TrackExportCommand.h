#pragma once
// wavecrate-export --tracks: the options and the run.
#include <optional>
#include <string>

#include "base/File.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"

namespace wc {

struct TrackExportArguments {
  std::optional<std::string> folder;
  std::string format = "flac";
  std::optional<int> quality;
  std::optional<std::string> album;
  bool given = false;  // any of --format, --quality, --album

  // Takes argv[i] (and its value, advancing i) if it is one of these
  // options: nullopt if not, false (the message printed) for a bad value.
  std::optional<bool> take(int argc, char** argv, int& i);
};

// Exports; returns the exit status (0, or 1 with the message printed).
int runTrackExport(FileSystem& fs, Playlist& playlist, const Catalogue& catalogue, const std::string& playlistPath,
                   const TrackExportArguments& arguments);

}  // namespace wc
