#include "app/CentredShow.h"

#include <QEvent>

#include "app/MainFrame.h"

namespace wc {

namespace {

// Watches the shown frame until its decorations are known, places it again
// and goes away. Without a window manager they never appear and it stays,
// idle, until the frame is destroyed.
class DecorationWatcher final : public QObject {
 public:
  DecorationWatcher(CMainFrame& frame, QRect screen) : QObject(&frame), frame_(frame), screen_(screen) {
    frame.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &frame_ && placesWindow(event->type()) && frame_.isVisible() &&
        frame_.frameGeometry() != frame_.geometry()) {
      frame_.removeEventFilter(this);
      frame_.placeOnDesktop(screen_);
      deleteLater();
    }
    return false;
  }

 private:
  // The frame hears of the window manager's reparenting and framing through
  // these; the decorations' extents are read afresh after each.
  static bool placesWindow(QEvent::Type type) {
    return type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Paint ||
           type == QEvent::WindowActivate;
  }

  CMainFrame& frame_;
  QRect screen_;
};

}  // namespace

void showCentred(CMainFrame& frame, QRect screen) {
  frame.placeOnDesktop(screen);
  new DecorationWatcher(frame, screen);
  frame.show();
}

}  // namespace wc
