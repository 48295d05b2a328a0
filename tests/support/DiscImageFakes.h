#pragma once
// Test doubles for choosing disc images: a file dialog that answers from a
// queue and a memory that records what it was told.
#include <deque>
#include <optional>

#include "gamedata/DiscImageChoice.h"

namespace wc::test {

class ScriptedImagePicker final : public DiscImagePicker {
 public:
  std::deque<std::optional<Path>> picks;  // empty: the dialog is cancelled
  int shown = 0;
  std::optional<Path> pickDiscImage() override {
    ++shown;
    if (picks.empty()) return std::nullopt;
    auto pick = picks.front();
    picks.pop_front();
    return pick;
  }
};

class RecordingImageMemory final : public DiscImageMemory {
 public:
  std::optional<Path> image;
  int forgotten = 0;
  std::optional<Path> recall() override { return image; }
  void remember(const Path& file) override { image = file; }
  void forget() override {
    image.reset();
    ++forgotten;
  }
};

}  // namespace wc::test
