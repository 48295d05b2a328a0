#include "support/RasterSurface.h"

#include <cstdlib>

namespace wc::test {

RasterSurface::RasterSurface(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height), fill) {}

void RasterSurface::plot(int x, int y, Rgb colour) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[size_t(y) * size_t(width_) + size_t(x)] = colour;
}

Rgb RasterSurface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xDEAD00;
  return pixels_[size_t(y) * size_t(width_) + size_t(x)];
}

void RasterSurface::fillRect(int x, int y, int w, int h, Rgb colour) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) plot(xx, yy, colour);
}

void RasterSurface::line(int x1, int y1, int x2, int y2) {
  const Rgb colour = pen_ == Pen::Black ? 0x000000 : 0xFFFFFF;
  // Bresenham, stopping before the end point as GDI does.
  const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (!(x == x2 && y == y2)) {
    plot(x, y, colour);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void RasterSurface::drawText(const std::string& text, int left, int top, int right, int bottom, TextAlign align) {
  texts_.push_back({text, left, top, right, bottom, align, font_.face ? font_.face : "", font_.cellHeight, font_.weight,
                    textColour_, backColour_});
}

const TextCall* RasterSurface::findText(const std::string& text) const {
  for (const auto& call : texts_)
    if (call.text == text) return &call;
  return nullptr;
}

void RasterSurface::xorDottedRect(int x, int y, int w, int h) {
  // Every other pixel along the closed path, starting at the first corner.
  const int x2 = x + w - 1, y2 = y + h - 1;
  int step = 0;
  auto dot = [&](int px, int py) {
    if (step++ % 2 == 0 && px >= 0 && py >= 0 && px < width_ && py < height_)
      pixels_[size_t(py) * size_t(width_) + size_t(px)] ^= 0xFFFF00;
  };
  for (int px = x; px < x2; ++px) dot(px, y);
  for (int py = y; py < y2; ++py) dot(x2, py);
  for (int px = x2; px > x; --px) dot(px, y2);
  for (int py = y2; py > y; --py) dot(x, py);
}

}  // namespace wc::test
