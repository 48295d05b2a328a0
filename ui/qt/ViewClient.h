#pragma once
// What StudioViewWidget drives: the view's painting, its four mouse handlers
// and its commands. StudioViewAdapter forwards these to a StudioView; tests
// use fakes, so the widget and the frame are exercised without the view core.
#include <string>

#include "ui/DrawSurface.h"
#include "ui/ViewInput.h"
#include "ui/qt/CommandTarget.h"

namespace wc {

class ViewClient : public CommandTarget {
 public:
  // Paints every pixel of a width x height client area.
  virtual void paintAll(DrawSurface& surface) = 0;
  // Paints only the transport display at (262, 0), width x 32 pixels.
  virtual void paintTransport(DrawSurface& surface, int width, bool clear) = 0;
  virtual void lButtonDown(int x, int y) = 0;
  virtual void lButtonDblClk(int x, int y) = 0;
  virtual void mouseMove(int x, int y) = 0;
  virtual void lButtonUp(int x, int y) = 0;
  // Right button released: the clip editor or a track's menu. Nothing by
  // default.
  virtual void rButtonUp(int /*x*/, int /*y*/) {}
  // The main window has been shown for the first time.
  virtual void windowShown() {}
  // Asked before the main window closes; false keeps it open.
  virtual bool queryClose() { return true; }
  // The wheel turned over client x. Nothing by default.
  virtual void wheel(int /*x*/, WheelDelta /*delta*/) {}
  // A key the view may handle; false leaves it to the window.
  virtual bool keyPressed(ViewKey /*key*/) { return false; }
  // Opens a playlist file, first asking about unsaved changes if `ask`;
  // false when it was not opened.
  virtual bool openPlaylist(const std::string& /*path*/, bool /*ask*/) { return false; }
};

}  // namespace wc
