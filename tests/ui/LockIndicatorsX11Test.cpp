// The CAP, NUM and SCRL panes against a real X server's keyboard locks. Runs
// only on X11 (e.g. under Xvfb with QT_QPA_PLATFORM=xcb); offscreen the
// panes stay blank, which MainFrameTest covers.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "app/MainFrame.h"

#if defined(WAVECRATE_HAVE_X11) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>

namespace wc {
namespace {

TEST(LockIndicatorsX11, PanesFollowTheServersLockedModifiers) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) GTEST_SKIP() << "not running on X11";
  CMainFrame frame;
  // Caps Lock follows the Lock modifier; Num Lock is Mod2 on the usual keymaps.
  const struct {
    unsigned locked;
    const char* caps;
    const char* num;
  } cases[] = {{LockMask, "CAP", ""}, {Mod2Mask, "", "NUM"}, {LockMask | Mod2Mask, "CAP", "NUM"}, {0, "", ""}};
  for (const auto& c : cases) {
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask | Mod2Mask, c.locked);
    XSync(display, False);
    frame.updateLockIndicators();
    EXPECT_EQ(frame.indicatorText(0).toStdString(), c.caps) << c.locked;
    EXPECT_EQ(frame.indicatorText(1).toStdString(), c.num) << c.locked;
  }
}

}  // namespace
}  // namespace wc
#endif
