#pragma once
// The cover picture of exported tracks: the station banner of the first
// track, drawn square.
#include <string>

#include "ui/DrawSurface.h"

namespace wc {

inline constexpr int kCoverSize = 512;

// Paints a `size` x `size` cover: the banner's green field with its darker
// arrow-box colour as a frame and the station's label across the middle.
void paintStationCover(DrawSurface& surface, const std::string& label, int size);

}  // namespace wc
