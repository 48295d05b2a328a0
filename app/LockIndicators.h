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

// Reads the lock states with one request to the X server (the frame polls
// it while playback keeps the event loop busy); where the three indicators
// sit in the server's indicator mask is looked up once per display.
class LockStateReader {
 public:
  // Nullopt when the platform cannot report the locks.
  std::optional<LockState> read();

 private:
  const void* display_ = nullptr;  // whose masks these are
  unsigned masks_[3] = {};         // Caps, Num, Scroll; 0 where the server has none
};

}  // namespace wc
