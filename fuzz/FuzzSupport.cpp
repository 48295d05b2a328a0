#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "support/TestDisc.h"
#include "testkit/discgen/DiscBuilder.h"

namespace wc::fuzz {

HeadlessView::HeadlessView(MemoryFileSystem& fileSystem) : fs(fileSystem) {
  gameData = std::make_unique<GameData>(fs, kWorkDirectory, mounts, prompts, exits.function());
  host.onRepaintAll = [this] {
    if (view) view->paintAll(surface);
  };
  host.onRepaintTransport = [this](bool clear) {
    if (view) view->drawTransport(surface, 0, StudioView::kPlaylistLeft, host.width - StudioView::kPlaylistLeft, clear);
  };
}

HeadlessView::~HeadlessView() { reset(); }

StudioView& HeadlessView::makeView() {
  reset();
  session = std::make_unique<StudioSession>(*gameData, dialogs, random, nullptr, fs);
  view = std::make_unique<StudioView>(*session, host);
  return *view;
}

void HeadlessView::reset() {
  view.reset();
  session.reset();
}

void writeTestDisc(MemoryFileSystem& fs) {
  std::string error;
  const auto written =
      writeDisc(test::defaultTestDiscPlan(), kWorkDirectory, DiscWriteOptions{.layout = DiscLayout::Cache}, &error, fs);
  if (!written) {
    std::fprintf(stderr, "cannot write the test disc: %s\n", error.c_str());
    std::abort();
  }
}

}  // namespace wc::fuzz
