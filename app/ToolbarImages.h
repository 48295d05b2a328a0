#pragma once
// The toolbar's 16 x 15 button images, painted once at start-up: a question
// mark (Help), |<< (Previous), >>| (Next), a square (Stop), a triangle (Play).
#include <QPixmap>

namespace wc {

inline constexpr int kToolbarImageWidth = 16;
inline constexpr int kToolbarImageHeight = 15;
inline constexpr int kToolbarImageCount = 5;

// Image `index` (0 Help, 1 Previous, 2 Next, 3 Stop, 4 Play) on a
// transparent background; a null pixmap for any other index.
QPixmap toolbarImage(int index);

}  // namespace wc
