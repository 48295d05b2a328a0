// The build without Qt D-Bus: no media player on the session bus.
#include "app/MediaKeys.h"

namespace wc {

std::unique_ptr<QObject> startMediaKeys(CMainFrame&, const GameData&, const StudioView&) { return nullptr; }

}  // namespace wc
