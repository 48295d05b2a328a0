#include "ui/qt/StudioViewAdapter.h"

namespace wc {

StudioViewAdapter::StudioViewAdapter(StudioSession& session, StudioViewWidget& widget)
    : session_(session), host_(widget), view_(session, widget) {
  session_.addObserver(*this);
}

StudioViewAdapter::~StudioViewAdapter() { session_.removeObserver(*this); }

}  // namespace wc
