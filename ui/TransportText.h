#pragma once
// The transport display's text, composed from the session's marks, the
// playlist and the transport.
#include <string>

#include "playlist/Playlist.h"
#include "playlist/Transport.h"
#include "session/TransportMarks.h"
#include "ui/DrawSurface.h"

namespace wc {

// The text of the transport display and, through `colour`, its colour
// (green, or red for a playlist longer than a CD holds).
std::string transportText(const TransportMarks& marks, const Playlist& playlist, const Transport& transport,
                          Rgb* colour = nullptr);

}  // namespace wc
