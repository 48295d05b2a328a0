#pragma once
// A file system that shows a disc image's tree as a read-only directory at
// the image file's own path: with /home/me/game.iso mounted, the lookup
// table is /home/me/game.iso/AUDIO/CONFIG/TRAKLKUP.DAT;1. Every other path
// goes to the file system underneath, so the cache and the catalogue file
// are read and written as before and the disc's paths work unchanged in the
// disc search, clip loading and the cache copy.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/File.h"
#include "gamedata/DiscImage.h"

namespace wc {

class DiscImageFileSystem final : public FileSystem {
 public:
  // `base` must outlive this object.
  explicit DiscImageFileSystem(FileSystem& base);

  // Shows `image` at image->file() from now on, in place of any earlier one.
  void mount(std::shared_ptr<DiscImage> image);
  const DiscImage* mounted() const { return image_.get(); }

  std::unique_ptr<InputFile> openRead(const Path& path) override;
  std::unique_ptr<OutputFile> openWrite(const Path& path) override;
  std::unique_ptr<OutputFile> openStreamingWrite(const Path& path) override;
  bool rename(const Path& from, const Path& to) override;
  bool remove(const Path& path) override;
  bool createDirectory(const Path& path) override;
  std::vector<std::string> listDirectory(const Path& path) override;
  bool isDirectory(const Path& path) override;
  // Writes never go into the image: temporaries and links are the base's.
  TemporaryFile createTemporary(const Path& target, bool streaming) override;
  Path resolveLinks(const Path& path) override;

 private:
  // The names below the mount point if `path` lies at or below it.
  std::optional<std::vector<std::string>> insideImage(const Path& path) const;

  FileSystem& base_;
  std::shared_ptr<DiscImage> image_;
};

}  // namespace wc
