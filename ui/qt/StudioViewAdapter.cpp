#include "ui/qt/StudioViewAdapter.h"

namespace wc {

StudioViewAdapter::StudioViewAdapter(GameData& gameData, StudioViewWidget& widget, CRandom& toolRandom,
                                     SoundOutput* output)
    : host_(widget), view_(gameData, widget, widget.dialogs(), toolRandom, output) {}

}  // namespace wc
