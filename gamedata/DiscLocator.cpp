#include "gamedata/DiscLocator.h"

#include <cstdlib>

#include "gamedata/CaseInsensitivePath.h"

namespace wc {

ExitFunction processExit() {
  return [](int status) { std::exit(status); };
}

DiscLocator::DiscLocator(FileSystem& fs, MountTableSource& mounts, MessagePrompts& prompts, ExitFunction exit)
    : fs_(fs), mounts_(mounts), prompts_(prompts), exit_(std::move(exit)) {}

bool DiscLocator::locate() {
  while (!root_) {
    root_ = searchOnce();
    if (root_) break;
    const auto answer = prompts_.showMessage(kDiscMissingCaption, kDiscMissingText, MessageButtons::OkCancel);
    if (answer == MessageAnswer::Cancel) {
      exit_(0);
      return false;
    }
  }
  return true;
}

std::optional<Path> DiscLocator::searchOnce() {
  // The disc is recognised by its lookup table alone; no label is looked at.
  for (const Path& mountPoint : candidateRoots(parseMountTable(mounts_.read()))) {
    auto audio = findEntryIgnoringCase(fs_, mountPoint, "AUDIO");
    if (!audio) continue;
    const auto probe = resolveIgnoringCase(fs_, *audio, {"CONFIG", "TRAKLKUP.DAT"});
    if (probe && fs_.openRead(*probe)) return audio;
  }
  return std::nullopt;
}

}  // namespace wc
