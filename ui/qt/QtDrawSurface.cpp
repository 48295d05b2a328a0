#include "ui/qt/QtDrawSurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <cstdlib>

#include "ui/qt/CellFont.h"

namespace wc {

QtDrawSurface::QtDrawSurface(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  font_ = cellFont(FontSpec{"Arial", 16, 0});
}

void QtDrawSurface::fillRect(int x, int y, int w, int h, Rgb colour) {
  if (w <= 0 || h <= 0) return;
  painter_.fillRect(QRect(x, y, w, h), toQColor(colour));
}

void QtDrawSurface::selectPen(Pen pen) { penColour_ = pen == Pen::White ? QColor(Qt::white) : QColor(Qt::black); }

void QtDrawSurface::line(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;
  // Axis-parallel lines (nearly all the view draws) become exact fills.
  if (y1 == y2) {
    const int left = x2 > x1 ? x1 : x2 + 1;
    painter_.fillRect(QRect(left, y1, std::abs(x2 - x1), 1), penColour_);
    return;
  }
  if (x1 == x2) {
    const int top = y2 > y1 ? y1 : y2 + 1;
    painter_.fillRect(QRect(x1, top, 1, std::abs(y2 - y1)), penColour_);
    return;
  }
  // Bresenham along the major axis, leaving out the end point.
  QPolygon points;
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (int x = x1, y = y1; !(x == x2 && y == y2);) {
    points << QPoint(x, y);
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
  painter_.save();
  painter_.setPen(QPen(penColour_, 0));
  painter_.drawPoints(points);
  painter_.restore();
}

void QtDrawSurface::selectFont(const FontSpec& font) { font_ = cellFont(font); }

void QtDrawSurface::setTextColour(Rgb colour) { textColour_ = toQColor(colour); }

void QtDrawSurface::setBackColour(Rgb colour) { backColour_ = toQColor(colour); }

void QtDrawSurface::drawText(const std::string& text, int left, int top, int right, int bottom, TextAlign align) {
  const QRect clip(left, top, right - left, bottom - top);
  if (text.empty() || clip.isEmpty()) return;
  const QString qtext = QString::fromLatin1(text.data(), qsizetype(text.size()));
  const QFontMetrics metrics(font_);
  const int textWidth = metrics.horizontalAdvance(qtext);
  // Centring truncates like GDI's DT_CENTER: the spare width is halved.
  const int x = align == TextAlign::Centre ? left + (clip.width() - textWidth) / 2 : left;
  painter_.save();
  painter_.setClipRect(clip, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  // Opaque background: the text's cells, not the whole rectangle.
  painter_.fillRect(QRect(x, top, textWidth, metrics.height()), backColour_);
  painter_.setFont(font_);
  painter_.setPen(textColour_);
  painter_.drawText(QPoint(x, top + metrics.ascent()), qtext);
  painter_.restore();
}

int QtDrawSurface::textWidth(const std::string& text, const FontSpec& font) const {
  return QFontMetrics(cellFont(font)).horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void QtDrawSurface::xorDottedRect(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  // Walk the outline as four lines that each stop short of their end point,
  // so every pixel is visited once and a second pass restores the image;
  // every other pixel is set, giving the one-on one-off dots.
  const QPoint corners[5] = {{x, y}, {x + w - 1, y}, {x + w - 1, y + h - 1}, {x, y + h - 1}, {x, y}};
  QPolygon dots;
  int step = 0;
  for (int side = 0; side < 4; ++side) {
    const QPoint from = corners[side], to = corners[side + 1];
    const int dx = (to.x() > from.x()) - (to.x() < from.x());
    const int dy = (to.y() > from.y()) - (to.y() < from.y());
    for (QPoint p = from; p != to; p += QPoint(dx, dy), ++step)
      if (step % 2 == 0) dots << p;
  }
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_.setPen(QPen(QColor(255, 255, 0), 0));
  painter_.drawPoints(dots);
  painter_.restore();
}

}  // namespace wc
