#pragma once
// Where the main window goes: a fixed 896 x 640 window centred on the
// desktop. The division truncates toward zero, so a desktop smaller than
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

}  // namespace wc
