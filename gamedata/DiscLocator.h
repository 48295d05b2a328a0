#pragma once
// Finds the game disc: the first candidate mount that holds
// AUDIO/CONFIG/TRAKLKUP.DAT. Once found, the root is kept for the rest of the
// process and never searched for again, even if the disc is taken out.
#include <functional>
#include <optional>

#include "base/File.h"
#include "gamedata/DiscImageChoice.h"
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

  // Lets every search try disc images before the mounts: one picked from
  // the disc box (which then offers "Open Disc Image..."), the one given,
  // the remembered one, each mounted on `sources.files` when it holds the
  // game. `sources.files` must be the file system given to the constructor.
  // An image that cannot be used is named with its reason in a box and not
  // tried again.
  void useDiscImages(DiscImageSources sources) { images_ = std::move(sources); }

 private:
  std::optional<Path> searchOnce();
  std::optional<Path> searchImages();
  // The image's AUDIO directory once it is mounted; nullopt after telling why not.
  std::optional<Path> tryImage(const Path& file);

  FileSystem& fs_;
  MountTableSource& mounts_;
  MessagePrompts& prompts_;
  ExitFunction exit_;
  std::optional<Path> root_;
  std::optional<DiscImageSources> images_;
  std::optional<Path> picked_;  // from the disc box, tried by the next search
};

}  // namespace wc
