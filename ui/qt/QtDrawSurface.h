#pragma once
// DrawSurface on an active QPainter (a widget in its paint pass, or an image
// in tests). Everything is drawn pixel-exact with the GDI conventions the view
// was laid out for: lines stop one pixel short of their end point, fills cover
// exactly w x h, text cells are measured as ascent + descent.
#include <QColor>
#include <QFont>

#include "ui/DrawSurface.h"

class QPainter;

namespace wc {

class QtDrawSurface final : public DrawSurface {
 public:
  // The painter must stay active, untransformed and without antialiasing for
  // the life of the surface.
  explicit QtDrawSurface(QPainter& painter);

  void fillRect(int x, int y, int w, int h, Rgb colour) override;
  void selectPen(Pen pen) override;
  void line(int x1, int y1, int x2, int y2) override;
  void selectFont(const FontSpec& font) override;
  void setTextColour(Rgb colour) override;
  void setBackColour(Rgb colour) override;
  void drawText(const std::string& text, int left, int top, int right, int bottom, TextAlign align) override;
  int textWidth(const std::string& text, const FontSpec& font) const override;
  void xorDottedRect(int x, int y, int w, int h) override;

  static QColor toQColor(Rgb colour) {
    return QColor(int(colour >> 16 & 0xff), int(colour >> 8 & 0xff), int(colour & 0xff));
  }

 private:
  QPainter& painter_;
  QColor penColour_{Qt::black};
  QColor textColour_{Qt::black};
  QColor backColour_{Qt::white};
  QFont font_;
};

}  // namespace wc
