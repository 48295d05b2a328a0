#pragma once
// What the view core needs of its window. The Qt widget implements it;
// tests implement it with a fake that records calls.
#include <string>

namespace wc {

// The view's own window.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual int clientWidth() const = 0;
  virtual int clientHeight() const = 0;
  // Marks the whole client area for repainting by the next paint pass.
  virtual void invalidate() = 0;
  // Repaints the whole view now (long operations keep the event loop from
  // running, so they cannot wait for a paint pass).
  virtual void repaintAll() = 0;
  // Repaints the transport display now: the host calls
  // StudioView::drawTransport on an immediate surface.
  virtual void repaintTransport(bool clear) = 0;
  // Repaints the given rectangle now (used for the drag outline).
  virtual void repaintRect(int x, int y, int w, int h) = 0;
  virtual void captureMouse() = 0;
  virtual void releaseMouse() = 0;
  // Something a command's enable state depends on may have changed: playback
  // started, stopped or moved to another track, the playlist was replaced or
  // emptied, the station or the catalogue changed, a busy spell ended, or the
  // mouse edited the playlist. The window re-reads the states; it does not
  // poll them. Nothing by default.
  virtual void commandStatesChanged() {}
  // The playlist's file (empty: none) or its mark of unsaved changes is not
  // what it was; the window title shows both.
  virtual void playlistStatusChanged(const std::string& /*path*/, bool /*modified*/) {}
  // The playlist was opened from or saved to `path`.
  virtual void playlistFileUsed(const std::string& /*path*/) {}
  // A line for the window's status bar, such as how a long job ended.
  virtual void showStatusMessage(const std::string& /*text*/) {}
};

}  // namespace wc
