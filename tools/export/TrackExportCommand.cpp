#include "tools/export/TrackExportCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "audio/encode/TrackEncoders.h"

namespace wc {

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

TrackExportChoice TrackExportArguments::choice(const std::string& playlistPath) const {
  TrackExportChoice choice;
  choice.folder = folder.value_or("");
  choice.format = *parseTrackFormat(format);
  const auto range = trackFormatQuality(choice.format);
  choice.quality = quality.value_or(range ? range->standard : 0);
  // Empty (also when given empty): the session's default name.
  choice.album = album.value_or(std::filesystem::path(playlistPath).stem().string());
  return choice;
}

}  // namespace wc
