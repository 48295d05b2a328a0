#pragma once
// Fonts chosen by cell height. The view asks for fonts as Windows does: a
// face, a height that is the character cell (ascent plus descent) and a
// weight. Qt sizes fonts by em, and cell heights do not grow one pixel per
// size step, so the pixel size is found by measuring.
#include <QFont>

#include "ui/DrawSurface.h"

namespace wc {

// Maps the faces the view names to faces installed here ("Lucida Console" has
// no fontconfig alias and would fall back to a proportional face). Idempotent;
// cellFont calls it.
void installFontSubstitutions();

// The font for `request`: the largest pixel size whose ascent + descent fits in
// request.cellHeight (at least 1). Measured once per (face, height, weight) and
// cached; call from the GUI thread only.
QFont cellFont(const FontSpec& request);

}  // namespace wc
