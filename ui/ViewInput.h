#pragma once
// Wheel and keyboard input of the view as plain values: the window layer
// turns its events into these, and the view decides what they scroll or run.
#include <string>

namespace wc {

// One wheel event's vertical movement. Positive amounts turn the wheel away
// from the user, which scrolls a list towards its top.
enum class WheelUnit {
  Eighths,  // eighths of a degree: a mouse wheel's notch is 120 of them
  Pixels,   // a touchpad's finger movement in screen pixels
};

struct WheelDelta {
  int amount = 0;
  WheelUnit unit = WheelUnit::Eighths;
};

// Turns wheel movement into whole notches. High-resolution wheels and
// touchpads send small amounts; what does not yet make a notch is kept for
// the next event, and dropped when the direction reverses so that turning
// back scrolls back at once.
class WheelNotches {
 public:
  static constexpr int kEighthsPerNotch = 120;

  // `pixelsPerNotch`: how far a finger moves on a touchpad for one notch.
  explicit WheelNotches(int pixelsPerNotch) : pixelsPerNotch_(pixelsPerNotch > 0 ? pixelsPerNotch : 1) {}

  // The whole notches `delta` completes (negative: towards the user).
  int add(WheelDelta delta);

 private:
  int pixelsPerNotch_;
  int restEighths_ = 0;
  int restPixels_ = 0;
};

// The keys the view itself handles; the menu commands' shortcuts belong to
// the menus.
enum class ViewKey {
  Space,   // plays from the first track, or stops
  PageUp,  // scrolls the playlist a page
  PageDown,
  Home,  // scrolls the playlist to its first or last page
  End,
  Up,  // move the focus row (shown from the first Up or Down on)
  Down,
  Delete,  // removes the track under the focus row
  Enter,   // plays from the track under the focus row
  Escape,  // hides the focus row
};

// The main window's title for the playlist file at `path` (empty while it has
// none): the file's name with "*" while it has unsaved changes, then the
// program's name; the program's name alone while there is no playlist to name.
std::string windowTitleFor(const std::string& path, bool modified);

}  // namespace wc
