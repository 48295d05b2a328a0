#include "tools/export/CoverPng.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "ui/CoverArt.h"
#include "ui/qt/QtDrawSurface.h"

namespace wc {

std::vector<uint8_t> coverPng(const std::string& station, const std::string& album) {
  // Fonts need an application object. A terminal program shows no window and
  // may run without a display, whatever platform the environment names.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "wavecrate-export";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  QImage image(kCoverSize, kCoverSize, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    QtDrawSurface surface(painter);
    paintCover(surface, station, album, kCoverSize);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace wc
