#include "ui/qt/CellFont.h"

#include <QFontMetrics>
#include <algorithm>
#include <map>
#include <string>
#include <tuple>

namespace wc {

void installFontSubstitutions() {
  static const bool installed = [] {
    QFont::insertSubstitution("Lucida Console", "DejaVu Sans Mono");
    return true;
  }();
  (void)installed;
}

namespace {

QFont baseFont(const FontSpec& request) {
  QFont font(QString::fromLatin1(request.face));
  if (std::string(request.face) == "Lucida Console") font.setStyleHint(QFont::TypeWriter);
  // Windows weights and Qt 6 weights share the 1..1000 OpenType scale; 0 is
  // "the face's normal weight".
  const int weight = request.weight <= 0 ? int(QFont::Normal) : request.weight;
  font.setWeight(QFont::Weight(std::min(weight, 1000)));
  return font;
}

int measuredPixelSize(const FontSpec& request) {
  QFont font = baseFont(request);
  for (int size = std::max(request.cellHeight, 1); size > 1; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= request.cellHeight) return size;
  }
  return 1;
}

}  // namespace

QFont cellFont(const FontSpec& request) {
  installFontSubstitutions();
  using Key = std::tuple<std::string, int, int>;
  static std::map<Key, int> pixelSizes;
  const Key key{request.face, request.cellHeight, request.weight};
  auto it = pixelSizes.find(key);
  if (it == pixelSizes.end()) it = pixelSizes.emplace(key, measuredPixelSize(request)).first;
  QFont font = baseFont(request);
  font.setPixelSize(it->second);
  return font;
}

}  // namespace wc
