#pragma once
// Shows the main window with its whole frame centred on a screen. A window
// manager reports the size of its decorations only once the window is
// mapped, so the first placement counts the client area alone; the window is
// placed again, once, as soon as the decorations are known. After that the
// user may move it freely.
#include <QRect>

namespace wc {

class CMainFrame;

void showCentred(CMainFrame& frame, QRect screen);

}  // namespace wc
