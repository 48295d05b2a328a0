#include "session/SessionPrompts.h"

#include <thread>

#include "playlist/Exporter.h"

namespace wc {
namespace {

class SilentProgress final : public BackgroundProgress {
 public:
  void report(const std::string&, double) override {}
};

}  // namespace

void SessionPrompts::exportFailed(const ExportResult& result, const std::string& /*wavePath*/) {
  messageBox(exportErrorMessage(result.error), "Error");
}

void SessionPrompts::runInBackground(const std::string& /*title*/, const std::function<void(BackgroundProgress&)>& work,
                                     std::atomic<bool>& /*cancel*/) {
  // The work still gets a thread of its own, so what it may touch is the
  // same with and without a window.
  SilentProgress progress;
  std::thread worker([&] { work(progress); });
  worker.join();
}

}  // namespace wc
