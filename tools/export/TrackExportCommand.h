#pragma once
// wavecrate-export --tracks: its options.
#include <optional>
#include <string>

#include "session/TrackExportServices.h"

namespace wc {

struct TrackExportArguments {
  std::optional<std::string> folder;
  std::string format = "flac";
  std::optional<int> quality;
  std::optional<std::string> album;
  bool removeStale = false;  // --remove-stale: tracks of an earlier export of the album that this one does not write
  bool given = false;        // any of --format, --quality, --album, --remove-stale

  // Takes argv[i] (and its value, advancing i) if it is one of these
  // options: nullopt if not, false (the message printed) for a bad value.
  std::optional<bool> take(int argc, char** argv, int& i);
  // What is wrong with the options taken together (a quality out of the
  // format's range, or one for a format without any); empty when nothing.
  std::string usageProblem() const;
  // The Export Tracks dialog's answer these options give for the playlist
  // file `playlistPath` (after usageProblem() found nothing).
  TrackExportChoice choice(const std::string& playlistPath) const;
};

}  // namespace wc
