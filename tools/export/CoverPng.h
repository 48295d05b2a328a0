#pragma once
// The command line's cover picture, painted by the view's own drawing code
// on a QImage (Qt Gui on the offscreen platform, so no display is needed)
// and saved as PNG: the same picture the window's export embeds. Names are
// UTF-8; an empty station leaves only the album.
#include <cstdint>
#include <string>
#include <vector>

namespace wc {

std::vector<uint8_t> coverPng(const std::string& station, const std::string& album);

}  // namespace wc
