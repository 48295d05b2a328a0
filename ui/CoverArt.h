#pragma once
// The cover picture of exported tracks: the station's and the album's names
// above a waveform, in colours picked by the station's name, so that albums
// from one station belong together and every export of an album carries the
// same picture, bit for bit.
#include <string>

#include "ui/DrawSurface.h"

namespace wc {

inline constexpr int kCoverSize = 600;

// Paints a `size` x `size` cover. Both names are UTF-8; what the drawing
// cannot show becomes '?'. Without a station only the album is written.
void paintCover(DrawSurface& surface, const std::string& station, const std::string& album, int size);

}  // namespace wc
