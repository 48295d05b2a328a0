#include "app/ToolbarImages.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace wc {

namespace {

void drawTriangle(QPainter& p, int tipX, int baseX, int top, int bottom) {
  const int mid = (top + bottom) / 2;
  p.drawPolygon(QPolygon({QPoint(baseX, top), QPoint(tipX, mid), QPoint(baseX, bottom)}));
}

void paintImage(QPainter& p, int index) {
  p.setPen(Qt::black);
  p.setBrush(Qt::black);
  switch (index) {
    case 0: {  // ?
      QFont font("Liberation Sans");
      font.setPixelSize(14);
      font.setBold(true);
      p.setFont(font);
      p.setPen(QColor(0, 0, 128));
      p.drawText(QRect(0, 0, kToolbarImageWidth, kToolbarImageHeight), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case 1:  // |<<
      p.drawRect(2, 3, 1, 8);
      drawTriangle(p, 4, 9, 3, 11);
      drawTriangle(p, 9, 14, 3, 11);
      break;
    case 2:  // >>|
      drawTriangle(p, 6, 1, 3, 11);
      drawTriangle(p, 11, 6, 3, 11);
      p.drawRect(12, 3, 1, 8);
      break;
    case 3:  // square
      p.drawRect(4, 3, 7, 8);
      break;
    case 4:  // triangle
      drawTriangle(p, 12, 4, 2, 12);
      break;
  }
}

}  // namespace

QPixmap toolbarImage(int index) {
  if (index < 0 || index >= kToolbarImageCount) return {};
  QPixmap pixmap(kToolbarImageWidth, kToolbarImageHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  paintImage(painter, index);
  return pixmap;
}

}  // namespace wc
