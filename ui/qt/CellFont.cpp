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

QFont baseFont(const FontSpec& spec) {
  QFont font(QString::fromLatin1(spec.face));
  if (std::string(spec.face) == "Lucida Console") font.setStyleHint(QFont::TypeWriter);
  // Windows weights and Qt 6 weights share the 1..1000 OpenType scale; 0 is
  // "the face's normal weight".
  const int weight = spec.weight <= 0 ? int(QFont::Normal) : spec.weight;
  font.setWeight(QFont::Weight(std::min(weight, 1000)));
  return font;
}

int measuredPixelSize(const FontSpec& spec) {
  QFont font = baseFont(spec);
  for (int size = std::max(spec.cellHeight, 1); size > 1; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= spec.cellHeight) return size;
  }
  return 1;
}

}  // namespace

QFont cellFont(const FontSpec& spec) {
  installFontSubstitutions();
  using Key = std::tuple<std::string, int, int>;
  static std::map<Key, int> pixelSizes;
  const Key key{spec.face, spec.cellHeight, spec.weight};
  auto it = pixelSizes.find(key);
  if (it == pixelSizes.end()) it = pixelSizes.emplace(key, measuredPixelSize(spec)).first;
  QFont font = baseFont(spec);
  font.setPixelSize(it->second);
  return font;
}

}  // namespace wc
