#include "audio/encode/PngInfo.h"

#include <cstring>

namespace wc {
namespace {

uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Channels per pixel of each PNG colour type; 0 for types the format lacks.
int channels(uint8_t colourType) {
  switch (colourType) {
    case 0: return 1;  // grey
    case 2: return 3;  // RGB
    case 3: return 1;  // palette index
    case 4: return 2;  // grey and alpha
    case 6: return 4;  // RGBA
    default: return 0;
  }
}

}  // namespace

std::optional<PngInfo> readPngInfo(const std::vector<uint8_t>& png) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  // The signature, then IHDR's length, name and 13 bytes of data.
  constexpr size_t kHeaderEnd = 8 + 8 + 13;
  if (png.size() < kHeaderEnd || std::memcmp(png.data(), kSignature, 8) != 0 || bigEndian32(png.data() + 8) != 13 ||
      std::memcmp(png.data() + 12, "IHDR", 4) != 0)
    return std::nullopt;
  const uint8_t* header = png.data() + 16;
  const uint32_t width = bigEndian32(header), height = bigEndian32(header + 4);
  const int bitDepth = header[8];
  const int perPixel = channels(header[9]);
  if (width == 0 || height == 0 || width > 0x7fffffff || height > 0x7fffffff || perPixel == 0 || bitDepth == 0 ||
      bitDepth > 16)
    return std::nullopt;
  PngInfo info;
  info.width = int(width);
  info.height = int(height);
  info.bitsPerPixel = bitDepth * perPixel;
  if (header[9] == 3) {
    // The palette comes after the header and before the image data; each
    // entry is three bytes.
    for (size_t at = kHeaderEnd + 4; at + 8 <= png.size();) {
      const uint32_t length = bigEndian32(png.data() + at);
      if (std::memcmp(png.data() + at + 4, "PLTE", 4) == 0) {
        info.paletteColours = int(length / 3);
        break;
      }
      if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0 || length > png.size()) break;
      at += 12 + size_t(length);
    }
  }
  return info;
}

}  // namespace wc
