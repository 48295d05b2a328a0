#include "gamedata/DiscImageFileSystem.h"

namespace wc {
namespace {

// One file of the image. Keeps the image alive, so a pack opened before
// another image is mounted stays readable.
class ImageInputFile final : public InputFile {
 public:
  ImageInputFile(std::shared_ptr<DiscImage> image, ImageEntry entry)
      : image_(std::move(image)), entry_(std::move(entry)) {}

  std::optional<uint64_t> size() override { return entry_.size; }
  bool seek(uint64_t offset) override {
    if (offset > entry_.size) return false;
    position_ = offset;
    return true;
  }
  size_t read(void* dst, size_t bytes) override {
    const size_t n = image_->read(entry_, position_, dst, bytes);
    position_ += n;
    return n;
  }

 private:
  std::shared_ptr<DiscImage> image_;
  ImageEntry entry_;
  uint64_t position_ = 0;
};

}  // namespace

DiscImageFileSystem::DiscImageFileSystem(FileSystem& base) : base_(base) {}

void DiscImageFileSystem::mount(std::shared_ptr<DiscImage> image) { image_ = std::move(image); }

std::optional<std::vector<std::string>> DiscImageFileSystem::insideImage(const Path& path) const {
  if (!image_) return std::nullopt;
  const Path normal = path.lexically_normal();
  const Path& mountPoint = image_->file();
  auto it = normal.begin();
  for (const Path& part : mountPoint) {
    if (it == normal.end() || *it != part) return std::nullopt;
    ++it;
  }
  std::vector<std::string> components;
  for (; it != normal.end(); ++it)
    if (!it->empty() && *it != ".") components.push_back(it->string());
  return components;
}

std::unique_ptr<InputFile> DiscImageFileSystem::openRead(const Path& path) {
  const auto inside = insideImage(path);
  if (!inside) return base_.openRead(path);
  auto entry = image_->find(*inside);
  // A split file cannot be read whole, and one that ends past the image
  // would read short; neither opens.
  if (!entry || entry->directory || entry->split || !image_->fitsInImage(*entry)) return nullptr;
  return std::make_unique<ImageInputFile>(image_, std::move(*entry));
}

std::unique_ptr<OutputFile> DiscImageFileSystem::openWrite(const Path& path) {
  return insideImage(path) ? nullptr : base_.openWrite(path);
}

TemporaryFile DiscImageFileSystem::createTemporary(const Path& target, bool streaming) {
  if (insideImage(target)) return {nullptr, {}, "the disc image is read-only"};
  return base_.createTemporary(target, streaming);
}

Path DiscImageFileSystem::resolveLinks(const Path& path) { return insideImage(path) ? path : base_.resolveLinks(path); }

std::unique_ptr<OutputFile> DiscImageFileSystem::openStreamingWrite(const Path& path) {
  return insideImage(path) ? nullptr : base_.openStreamingWrite(path);
}

bool DiscImageFileSystem::rename(const Path& from, const Path& to) {
  return !insideImage(from) && !insideImage(to) && base_.rename(from, to);
}

bool DiscImageFileSystem::remove(const Path& path) { return !insideImage(path) && base_.remove(path); }

bool DiscImageFileSystem::createDirectory(const Path& path) {
  if (insideImage(path)) return isDirectory(path);
  return base_.createDirectory(path);
}

std::vector<std::string> DiscImageFileSystem::listDirectory(const Path& path) {
  const auto inside = insideImage(path);
  if (!inside) return base_.listDirectory(path);
  std::vector<std::string> names;
  if (const auto entries = image_->listDirectory(*inside))
    for (const ImageEntry& e : *entries) names.push_back(e.name);
  return names;
}

bool DiscImageFileSystem::isDirectory(const Path& path) {
  const auto inside = insideImage(path);
  if (!inside) return base_.isDirectory(path);
  const auto entry = image_->find(*inside);
  return entry && entry->directory;
}

}  // namespace wc
