#include "app/LockIndicators.h"

#include <QGuiApplication>

#if defined(WAVECRATE_HAVE_X11) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#define WAVECRATE_LOCKS_FROM_X11 1
#endif

namespace wc {

#ifdef WAVECRATE_LOCKS_FROM_X11

namespace {
bool indicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return false;
  int on = 0;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on != 0;
}
}  // namespace

std::optional<LockState> queryLockState() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  return LockState{indicatorOn(display, "Caps Lock"), indicatorOn(display, "Num Lock"),
                   indicatorOn(display, "Scroll Lock")};
}

#else

std::optional<LockState> queryLockState() { return std::nullopt; }

#endif

}  // namespace wc
