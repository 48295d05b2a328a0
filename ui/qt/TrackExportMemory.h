#pragma once
// The Export Tracks dialog's choices as they last were: the folder, the
// format and each format's own quality, kept in the program's settings so
// the next run offers them again. The album is not kept: it follows the
// playlist.
#include <map>
#include <optional>

#include "session/TrackExportServices.h"

class QSettings;

namespace wc {

struct RememberedTrackExport {
  TrackExportChoice choice;  // album left empty
  std::map<TrackFormat, int> qualities;
};

// What `settings` holds, or nullopt before the first export. Values out of
// range (an edited or older settings file) fall back to the format's own
// default quality; an unknown format gives nullopt.
std::optional<RememberedTrackExport> loadTrackExportChoice(const QSettings& settings);
void saveTrackExportChoice(QSettings& settings, const RememberedTrackExport& remembered);

}  // namespace wc
