#include "ui/CoverArt.h"

namespace wc {
namespace {

// The banner's colours (StudioViewPaint.cpp).
constexpr Rgb kBannerMiddle = rgb(128, 192, 128);
constexpr Rgb kArrowBox = rgb(96, 144, 96);
constexpr Rgb kBlack = rgb(0, 0, 0);

}  // namespace

void paintStationCover(DrawSurface& surface, const std::string& label, int size) {
  // The banner's proportions scaled up: the 28-pixel arrow boxes and text of
  // the 256-pixel banner become an eighth of the square each.
  const int box = size / 8;
  const int bandTop = (size - box) / 2;
  surface.fillRect(0, 0, size, size, kBannerMiddle);
  surface.fillRect(0, 0, size, box / 2, kArrowBox);
  surface.fillRect(0, size - box / 2, size, box / 2, kArrowBox);
  surface.fillRect(0, bandTop, box, box, kArrowBox);
  surface.fillRect(size - box, bandTop, box, box, kArrowBox);
  surface.fillRect(0, bandTop - 1, size, 1, kBlack);
  surface.fillRect(0, bandTop + box, size, 1, kBlack);

  const FontSpec font{"Arial", box * 3 / 4, 700};
  const int textTop = bandTop + (box - font.cellHeight) / 2;
  surface.selectFont(font);
  surface.setTextColour(kBlack);
  surface.setBackColour(kBannerMiddle);
  surface.drawText(label, box, textTop, size - box, textTop + font.cellHeight, TextAlign::Centre);
  surface.setBackColour(kArrowBox);
  surface.drawText("<", 0, textTop, box, textTop + font.cellHeight, TextAlign::Centre);
  surface.drawText(">", size - box, textTop, size, textTop + font.cellHeight, TextAlign::Centre);
}

}  // namespace wc
