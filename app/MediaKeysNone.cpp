// The build without Qt D-Bus: no media player on the session bus.
#include "app/MediaKeys.h"

namespace wc {

std::unique_ptr<QObject> startMediaKeys(CMainFrame&, StudioSession&) { return nullptr; }

}  // namespace wc
