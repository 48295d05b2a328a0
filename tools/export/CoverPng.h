#pragma once
// The command line's cover picture: the station banner painted by the view's
// own drawing code on a QImage (Qt Gui on the offscreen platform, so no
// display is needed) and saved as PNG. Empty where the program was built
// without Qt.
#include <cstdint>
#include <string>
#include <vector>

namespace wc {

std::vector<uint8_t> stationCoverPng(const std::string& label);

}  // namespace wc
