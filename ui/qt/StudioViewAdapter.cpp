#include "ui/qt/StudioViewAdapter.h"

namespace wc {

StudioViewAdapter::StudioViewAdapter(GameData& gameData, StudioViewWidget& widget)
    : view_(gameData, widget, widget.dialogs()) {}

}  // namespace wc
