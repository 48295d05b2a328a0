#pragma once
// The window program's ways to choose a disc image: a file dialog, and the
// image picked for a working directory kept in the program's settings, so
// the next start in that directory finds it without asking.
#include <QString>

#include "gamedata/DiscImageChoice.h"

class QSettings;

namespace wc {

inline constexpr const char* kOpenDiscImageButton = "Open Disc Image...";

class QtDiscImagePicker final : public DiscImagePicker {
 public:
  // A modal file dialog without an owner window for "*.iso" and all files.
  std::optional<Path> pickDiscImage() override;
};

class QtDiscImageMemory final : public DiscImageMemory {
 public:
  // `settings` must outlive this object.
  QtDiscImageMemory(QSettings& settings, const Path& workingDirectory);
  std::optional<Path> recall() override;
  void remember(const Path& image) override;
  void forget() override;

 private:
  QSettings& settings_;
  QString key_;
};

}  // namespace wc
