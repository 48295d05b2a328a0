#pragma once
// What the transport display shows besides playback: the marks that long
// operations set, and the text composed from them, the playlist and the
// transport.
#include <string>

#include "playlist/Playlist.h"
#include "playlist/Transport.h"
#include "ui/DrawSurface.h"

namespace wc {

struct TransportMarks {
  bool busy = false;       // "PLEASE WAIT" while a load or a tool blocks
  bool rendering = false;  // an export runs: the text between ">> " and " <<"
  bool copying = false;    // Copy Audio Files runs: its file and percentage
  int copyPercent = 0;
  std::string copyFileName;
};

// The text of the transport display and, through `colour`, its colour
// (green, or red for a playlist longer than a CD holds).
std::string transportText(const TransportMarks& marks, const Playlist& playlist, const Transport& transport,
                          Rgb* colour = nullptr);

}  // namespace wc
