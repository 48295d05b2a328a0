#pragma once
// A software DrawSurface for tests: fills, lines and the exclusive-or outline
// land in a pixel array that tests probe at exact coordinates; text is not
// rasterised but recorded with its rectangle, font and colours.
#include <string>
#include <vector>

#include "ui/DrawSurface.h"

namespace wc::test {

struct TextCall {
  std::string text;
  int left, top, right, bottom;
  TextAlign align;
  std::string face;
  int cellHeight;
  int weight;
  Rgb textColour;
  Rgb backColour;
};

class RasterSurface final : public DrawSurface {
 public:
  RasterSurface(int width, int height, Rgb fill = 0xABCDEF);

  void fillRect(int x, int y, int w, int h, Rgb colour) override;
  void selectPen(Pen pen) override { pen_ = pen; }
  void line(int x1, int y1, int x2, int y2) override;
  void selectFont(const FontSpec& font) override { font_ = font; }
  void setTextColour(Rgb colour) override { textColour_ = colour; }
  void setBackColour(Rgb colour) override { backColour_ = colour; }
  void drawText(const std::string& text, int left, int top, int right, int bottom, TextAlign align) override;
  void xorDottedRect(int x, int y, int w, int h) override;

  Rgb pixel(int x, int y) const;
  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<TextCall>& texts() const { return texts_; }
  // The first text call whose text equals `text`, or null.
  const TextCall* findText(const std::string& text) const;
  void clearTexts() { texts_.clear(); }
  const std::vector<Rgb>& pixels() const { return pixels_; }

 private:
  void plot(int x, int y, Rgb colour);

  int width_, height_;
  std::vector<Rgb> pixels_;
  Pen pen_ = Pen::Black;
  FontSpec font_{"", 0, 0};
  Rgb textColour_ = 0, backColour_ = 0xFFFFFF;
  std::vector<TextCall> texts_;
};

}  // namespace wc::test
