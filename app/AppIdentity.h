#pragma once
// How the desktop knows the program: its name, the desktop entry it belongs
// to (Wayland compositors match windows to entries by it) and its icon.
#include <QIcon>
#include <QString>

namespace wc {

inline constexpr const char* kDesktopEntryId = "org.wavecrate.Wavecrate";

// The icon drawn at build time from the packaging SVG, in every size the
// build made; the installed theme icon when the build made none.
QIcon applicationIcon();

// Sets the application's name, desktop file name and window icon. A
// QGuiApplication must exist.
void setApplicationIdentity();

}  // namespace wc
