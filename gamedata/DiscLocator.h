#pragma once
// Finds the game disc: the first candidate mount that holds
// AUDIO/CONFIG/TRAKLKUP.DAT. Once found, the root is kept for the rest of the
// process and never searched for again, even if the disc is taken out.
#include <functional>
#include <optional>

#include "base/File.h"
#include "gamedata/MessagePrompts.h"
#include "gamedata/MountTable.h"

namespace wc {

// Ends the process with the given status; the real one never returns.
using ExitFunction = std::function<void(int status)>;
ExitFunction processExit();

inline constexpr std::string_view kDiscMissingCaption = "Error";
inline constexpr std::string_view kDiscMissingText =
    "Unable to locate GTA: San Andreas (PlayStation 2) disc in any of your drives.  "
    "Please insert the disc and press OK, or cancel to exit";

class DiscLocator {
 public:
  DiscLocator(FileSystem& fs, MountTableSource& mounts, MessagePrompts& prompts, ExitFunction exit);

  // Makes sure the disc root is known. Searches every candidate root; when
  // none holds the disc, asks the user: OK searches again from the start,
  // Cancel ends the process with status 0. Returns false only if the exit
  // function returned (as test doubles do).
  bool locate();

  // The disc's AUDIO directory (with the case the disc uses), once found.
  const std::optional<Path>& root() const { return root_; }

 private:
  std::optional<Path> searchOnce();

  FileSystem& fs_;
  MountTableSource& mounts_;
  MessagePrompts& prompts_;
  ExitFunction exit_;
  std::optional<Path> root_;
};

}  // namespace wc
