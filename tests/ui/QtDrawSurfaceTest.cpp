#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>

#include "ui/qt/CellFont.h"
#include "ui/qt/QtDrawSurface.h"

namespace wc {
namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;

// Draws on a white 64 x 48 image and returns it.
QImage drawn(const std::function<void(DrawSurface&)>& draw, QRgb background = kWhite) {
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  QtDrawSurface surface(painter);
  draw(surface);
  painter.end();
  return image;
}

int countPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST(QtDrawSurface, FillCoversExactlyWidthByHeight) {
  const QImage image = drawn([](DrawSurface& s) {
    s.fillRect(3, 4, 5, 6, rgb(64, 128, 192));
    s.fillRect(20, 20, 0, 5, rgb(0, 0, 0));   // empty
    s.fillRect(20, 20, 5, -1, rgb(0, 0, 0));  // empty
  });
  EXPECT_EQ(countPixels(image, qRgb(64, 128, 192)), 30);
  EXPECT_EQ(image.pixel(3, 4), qRgb(64, 128, 192));
  EXPECT_EQ(image.pixel(7, 9), qRgb(64, 128, 192));
  EXPECT_EQ(image.pixel(8, 9), kWhite);
  EXPECT_EQ(image.pixel(7, 10), kWhite);
  EXPECT_EQ(countPixels(image, kBlack), 0);
}

TEST(QtDrawSurface, LinesStopShortOfTheirEndPoint) {
  const QImage image = drawn([](DrawSurface& s) {
    s.selectPen(Pen::Black);
    s.line(2, 1, 10, 1);     // right: x 2..9
    s.line(10, 5, 2, 5);     // left: x 10..3
    s.line(20, 2, 20, 12);   // down: y 2..11
    s.line(30, 12, 30, 2);   // up: y 12..3
    s.line(40, 40, 40, 40);  // nothing
  });
  EXPECT_EQ(image.pixel(2, 1), kBlack);
  EXPECT_EQ(image.pixel(9, 1), kBlack);
  EXPECT_EQ(image.pixel(10, 1), kWhite);
  EXPECT_EQ(image.pixel(10, 5), kBlack);
  EXPECT_EQ(image.pixel(2, 5), kWhite);
  EXPECT_EQ(image.pixel(20, 11), kBlack);
  EXPECT_EQ(image.pixel(20, 12), kWhite);
  EXPECT_EQ(image.pixel(30, 12), kBlack);
  EXPECT_EQ(image.pixel(30, 2), kWhite);
  EXPECT_EQ(countPixels(image, kBlack), 8 + 8 + 10 + 10);
}

TEST(QtDrawSurface, DiagonalLineAndWhitePen) {
  const QImage image = drawn(
      [](DrawSurface& s) {
        s.selectPen(Pen::White);
        s.line(0, 0, 5, 5);
        s.selectPen(Pen::Black);
        s.line(10, 10, 12, 10);
      },
      kBlack);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(image.pixel(i, i), kWhite) << i;
  EXPECT_EQ(image.pixel(5, 5), kBlack);
  EXPECT_EQ(countPixels(image, kWhite), 5);
}

TEST(QtDrawSurface, XorOutlineIsDottedAndTwiceRestoresTheImage) {
  QImage before(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) before.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) & 0xff));
  QImage image = before;
  {
    QPainter painter(&image);
    QtDrawSurface surface(painter);
    surface.xorDottedRect(5, 6, 20, 10);
  }
  // Corners (5,6), (24,6), (24,15), (5,15); the walk alternates on and off.
  EXPECT_EQ(image.pixel(5, 6), before.pixel(5, 6) ^ 0x00ffff00);
  EXPECT_EQ(image.pixel(6, 6), before.pixel(6, 6));
  EXPECT_EQ(image.pixel(7, 6), before.pixel(7, 6) ^ 0x00ffff00);
  int changed = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      if (image.pixel(x, y) == before.pixel(x, y)) continue;
      ++changed;
      EXPECT_TRUE(x == 5 || x == 24 || y == 6 || y == 15) << x << "," << y;
      EXPECT_GE(x, 5);
      EXPECT_LE(x, 24);
      EXPECT_GE(y, 6);
      EXPECT_LE(y, 15);
    }
  EXPECT_EQ(changed, (2 * (19 + 9)) / 2);  // 56 perimeter pixels, every other one
  {
    QPainter painter(&image);
    QtDrawSurface surface(painter);
    surface.xorDottedRect(5, 6, 20, 10);
  }
  EXPECT_EQ(image, before);
}

TEST(QtDrawSurface, OpaqueTextStaysInsideItsRectangle) {
  const QImage image = drawn([](DrawSurface& s) {
    s.selectFont(FontSpec{"Arial", 14, 0});
    s.setTextColour(rgb(0, 0, 0));
    s.setBackColour(rgb(255, 0, 0));
    s.drawText("WWWWWWWWWWWW", 10, 10, 30, 20, TextAlign::Left);
  });
  int red = 0, inked = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const QRgb p = image.pixel(x, y);
      if (p == kWhite) continue;
      EXPECT_TRUE(x >= 10 && x < 30 && y >= 10 && y < 20) << x << "," << y;
      red += p == qRgb(255, 0, 0);
      inked += p != qRgb(255, 0, 0);
    }
  EXPECT_GT(red, 0);
  EXPECT_GT(inked, 0);
  // The clip rectangle is covered wherever the text's cells reach.
  EXPECT_NE(image.pixel(10, 10), kWhite);
  EXPECT_NE(image.pixel(29, 19), kWhite);
}

TEST(QtDrawSurface, CentredTextBackgroundCoversOnlyTheTextCells) {
  const QFontMetrics metrics(cellFont(FontSpec{"Arial", 14, 0}));
  const int textWidth = metrics.horizontalAdvance("ab");
  const QImage image = drawn([](DrawSurface& s) {
    s.selectFont(FontSpec{"Arial", 14, 0});
    s.setTextColour(rgb(0, 0, 255));
    s.setBackColour(rgb(0, 255, 0));
    s.drawText("ab", 0, 0, 60, 40, TextAlign::Centre);
  });
  const int left = (60 - textWidth) / 2;
  EXPECT_EQ(image.pixel(left - 1, 0), kWhite);
  EXPECT_EQ(image.pixel(left, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(left + textWidth - 1, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(left + textWidth, 0), kWhite);
  EXPECT_EQ(image.pixel(left, 13), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(left, 14), kWhite);  // cell height 14
}

struct CellCase {
  const char* face;
  int cellHeight;
  int pixelSize;
};

TEST(CellFont, LargestSizeWhoseCellFits) {
  const CellCase cases[] = {{"Arial", 14, 12}, {"Arial", 16, 14}, {"Arial", 28, 25}, {"Lucida Console", 33, 28}};
  for (const CellCase& c : cases) {
    const QFont font = cellFont(FontSpec{c.face, c.cellHeight, 0});
    const QFontMetrics metrics(font);
    EXPECT_EQ(font.pixelSize(), c.pixelSize) << c.face << " " << c.cellHeight;
    EXPECT_LE(metrics.height(), c.cellHeight) << c.face;
    QFont bigger = font;
    bigger.setPixelSize(font.pixelSize() + 1);
    EXPECT_GT(QFontMetrics(bigger).height(), c.cellHeight) << c.face;
  }
}

TEST(CellFont, FacesResolveToInstalledEquivalents) {
  EXPECT_EQ(QFontInfo(cellFont(FontSpec{"Arial", 28, 0})).family(), "Liberation Sans");
  const QFont console = cellFont(FontSpec{"Lucida Console", 33, 0});
  EXPECT_TRUE(QFontInfo(console).fixedPitch());
  const QFontMetrics metrics(console);
  EXPECT_EQ(metrics.horizontalAdvance("0"), metrics.horizontalAdvance("W"));
  EXPECT_EQ(metrics.horizontalAdvance("0"), 17);
  EXPECT_EQ(cellFont(FontSpec{"Arial", 28, 700}).weight(), QFont::Bold);
  EXPECT_EQ(cellFont(FontSpec{"Arial", 28, 0}).weight(), QFont::Normal);
}

}  // namespace
}  // namespace wc
