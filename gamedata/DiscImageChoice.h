#pragma once
// How a disc image comes to be used instead of a mounted disc. An image is
// never guessed: it is named on the command line, picked by the user from
// the disc box, or remembered from such a pick for the working directory.
#include <optional>

#include "base/File.h"

namespace wc {

class DiscImageFileSystem;

// The user's way to pick an image file (a file dialog in the window program).
class DiscImagePicker {
 public:
  virtual ~DiscImagePicker() = default;
  // Blocks until the user picks a file or gives up (nullopt).
  virtual std::optional<Path> pickDiscImage() = 0;
};

// The image last picked for one working directory, kept between runs.
class DiscImageMemory {
 public:
  virtual ~DiscImageMemory() = default;
  virtual std::optional<Path> recall() = 0;
  virtual void remember(const Path& image) = 0;
  virtual void forget() = 0;
};

struct DiscImageSources {
  DiscImageFileSystem* files = nullptr;  // the file system the disc is read through; required
  std::optional<Path> given;             // from the command line; tried first, not remembered
  DiscImagePicker* picker = nullptr;     // offers "Open Disc Image..." in the disc box when set
  DiscImageMemory* memory = nullptr;     // where a picked image is remembered
};

}  // namespace wc
