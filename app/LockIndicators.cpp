#include "app/LockIndicators.h"

#include <QGuiApplication>

#if defined(WAVECRATE_HAVE_X11) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#define WAVECRATE_LOCKS_FROM_X11 1
#endif

namespace wc {

#ifdef WAVECRATE_LOCKS_FROM_X11

namespace {
// The bit of the named indicator in the server's indicator state, 0 if the
// server has no such indicator.
unsigned indicatorMask(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return 0;
  int index = -1;
  if (!XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr)) return 0;
  return index >= 0 && index < 32 ? 1u << index : 0;
}
}  // namespace

std::optional<LockState> LockStateReader::read() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  if (display != display_) {
    display_ = display;
    masks_[0] = indicatorMask(display, "Caps Lock");
    masks_[1] = indicatorMask(display, "Num Lock");
    masks_[2] = indicatorMask(display, "Scroll Lock");
  }
  unsigned state = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) return std::nullopt;
  return LockState{(state & masks_[0]) != 0, (state & masks_[1]) != 0, (state & masks_[2]) != 0};
}

#else

std::optional<LockState> LockStateReader::read() { return std::nullopt; }

#endif

}  // namespace wc
