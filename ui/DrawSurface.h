#pragma once
// The drawing operations the view paints with: solid fills, two one-pixel
// pens, fonts by face / cell height / weight, one-line clipped text with an
// opaque background, its width, and the dotted exclusive-or drag outline. The Qt widget
// provides them on screen; tests provide recording or image-backed surfaces.
#include <cstdint>
#include <string>

namespace wc {

// 0xRRGGBB
using Rgb = uint32_t;
constexpr Rgb rgb(int r, int g, int b) { return Rgb(r) << 16 | Rgb(g) << 8 | Rgb(b); }

enum class Pen { Black, White };
enum class TextAlign { Left, Centre };

struct FontSpec {
  const char* face;  // "Arial" or "Lucida Console"
  int cellHeight;    // pixels: ascent plus descent
  int weight;        // 0 normal, 700 bold
};

class DrawSurface {
 public:
  virtual ~DrawSurface() = default;
  // Fills x..x+w-1, y..y+h-1; nothing when w or h is zero or less.
  virtual void fillRect(int x, int y, int w, int h, Rgb colour) = 0;
  virtual void selectPen(Pen pen) = 0;
  // A one-pixel line with the selected pen from (x1, y1) up to but not
  // including (x2, y2).
  virtual void line(int x1, int y1, int x2, int y2) = 0;
  virtual void selectFont(const FontSpec& font) = 0;
  virtual void setTextColour(Rgb colour) = 0;
  virtual void setBackColour(Rgb colour) = 0;
  // One line of text in the selected font and colours, top-aligned, clipped
  // to left..right-1, top..bottom-1, on an opaque background.
  virtual void drawText(const std::string& text, int left, int top, int right, int bottom, TextAlign align) = 0;
  // The width `text` takes in `font`. Surfaces that do not rasterise text
  // estimate it from the cell height, a little wider than proportional
  // faces are, so that whatever is laid out by it fits the real glyphs too.
  virtual int textWidth(const std::string& text, const FontSpec& font) const {
    return int(text.size()) * font.cellHeight * 3 / 5;
  }
  // The yellow dotted outline through (x, y) and (x + w - 1, y + h - 1),
  // combined by exclusive-or so drawing it twice restores the pixels.
  virtual void xorDottedRect(int x, int y, int w, int h) = 0;
};

}  // namespace wc
