#include "gamedata/DiscLocator.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <variant>

#include "gamedata/CaseInsensitivePath.h"
#include "gamedata/DiscImage.h"
#include "gamedata/DiscImageFileSystem.h"

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
    const bool offerImage = images_ && images_->picker;
    const auto answer = prompts_.showMessage(kDiscMissingCaption, kDiscMissingText,
                                             offerImage ? MessageButtons::OkCancelOpenImage : MessageButtons::OkCancel);
    if (answer == MessageAnswer::Cancel) {
      exit_(0);
      return false;
    }
    // A cancelled file dialog counts as OK: the search runs again.
    if (answer == MessageAnswer::OpenImage && offerImage) picked_ = images_->picker->pickDiscImage();
  }
  return true;
}

std::optional<Path> DiscLocator::tryImage(const Path& file) {
  auto opened = DiscImage::open(file);
  if (auto* image = std::get_if<std::unique_ptr<DiscImage>>(&opened)) {
    std::shared_ptr<DiscImage> shared = std::move(*image);
    auto checked = checkGameDiscImage(*shared);
    if (const auto* audio = std::get_if<std::string>(&checked)) {
      images_->files->mount(shared);
      return shared->file() / *audio;
    }
    opened = std::get<DiscImageError>(checked);
  }
  const auto& error = std::get<DiscImageError>(opened);
  prompts_.showMessage(kDiscMissingCaption, discImageErrorMessage(file, error), MessageButtons::Ok);
  return std::nullopt;
}

std::optional<Path> DiscLocator::searchImages() {
  if (!images_ || !images_->files) return std::nullopt;
  if (picked_) {
    const Path file = *picked_;
    picked_.reset();
    if (auto root = tryImage(file)) {
      if (images_->memory) images_->memory->remember(file);
      return root;
    }
  }
  if (images_->given) {
    const Path file = *images_->given;
    if (auto root = tryImage(file)) return root;
    images_->given.reset();
  }
  if (images_->memory) {
    if (const auto remembered = images_->memory->recall()) {
      std::error_code ec;
      // A remembered image that has gone is forgotten without a word.
      if (std::filesystem::exists(*remembered, ec)) {
        if (auto root = tryImage(*remembered)) return root;
      }
      images_->memory->forget();
    }
  }
  return std::nullopt;
}

std::optional<Path> DiscLocator::searchOnce() {
  if (auto image = searchImages()) return image;
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
