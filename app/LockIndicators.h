#pragma once
// The keyboard lock states for the CAP, NUM and SCRL status-bar panes.
// Read from the X server's keyboard extension when the program runs on X11;
// other platforms (Wayland, offscreen) do not tell, and the panes stay blank.
#include <optional>

namespace wc {

struct LockState {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// Nullopt when the platform cannot report the locks.
std::optional<LockState> queryLockState();

}  // namespace wc
