#pragma once
// Where the main window goes: a fixed 896 x 640 window centred on the
// desktop (the primary screen). The division truncates toward zero, so a desktop smaller than
// the window gives negative offsets (800 x 600 -> (-48, -20)).
namespace wc {

struct FrameGeometry {
  int x, y, width, height;
  bool operator==(const FrameGeometry&) const = default;
};

inline constexpr int kFrameWidth = 896;
inline constexpr int kFrameHeight = 640;

constexpr FrameGeometry frameGeometryFor(int desktopWidth, int desktopHeight) {
  return {(desktopWidth - kFrameWidth) / 2, (desktopHeight - kFrameHeight) / 2, kFrameWidth, kFrameHeight};
}

// A screen's rectangle on the virtual desktop (its origin need not be 0, 0)
// and the window manager's decorations around the client area.
struct ScreenRect {
  int x, y, width, height;
};
struct FrameMargins {
  int left, top, right, bottom;
};

// What to ask of the toolkit so that the whole window, decorations included,
// is 896 x 640 and centred on the screen: the frame's top-left corner, and
// the client size that is left inside the decorations (at least 1 x 1).
struct WindowRequest {
  int frameX, frameY, clientWidth, clientHeight;
  bool operator==(const WindowRequest&) const = default;
};

constexpr WindowRequest windowRequestFor(ScreenRect screen, FrameMargins margins) {
  const FrameGeometry g = frameGeometryFor(screen.width, screen.height);
  const int clientWidth = g.width - margins.left - margins.right;
  const int clientHeight = g.height - margins.top - margins.bottom;
  return {screen.x + g.x, screen.y + g.y, clientWidth > 1 ? clientWidth : 1, clientHeight > 1 ? clientHeight : 1};
}

}  // namespace wc
