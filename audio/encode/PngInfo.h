#pragma once
// What a FLAC picture block states about its image, read from a PNG's
// header: players size and list covers by it without decoding the picture.
#include <cstdint>
#include <optional>
#include <vector>

namespace wc {

struct PngInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;    // all channels together, as the picture block counts colour depth
  int paletteColours = 0;  // 0 unless the image is indexed
};

// Nullopt for anything that is not a PNG with a sound header.
std::optional<PngInfo> readPngInfo(const std::vector<uint8_t>& png);

}  // namespace wc
