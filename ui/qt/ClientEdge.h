#pragma once
// The sunken two-pixel edge around the view, drawn the way Windows draws a
// client edge: dark grey and black above and to the left, white and light
// grey below and to the right. The edge belongs to a frame around the view,
// not to the view, so the view's client area and coordinates start inside it.
#include <QFrame>

namespace wc {

inline constexpr int kClientEdgeWidth = 2;

// A new frame, to be parented by the caller, that holds `content` flush
// inside the edge; `content` is reparented to it.
QFrame* wrapInClientEdge(QWidget* content);

}  // namespace wc
