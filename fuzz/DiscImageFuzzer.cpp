// A disc image as the disc search opens it: the volume descriptor, the check
// for the game's files, then every directory and file of the tree read
// through the file system view the clip loader and the cache copy use.
//
// Input: the image file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "gamedata/DiscImage.h"
#include "gamedata/DiscImageFileSystem.h"

namespace wc::fuzz {
namespace {

// libcdio reads images from files only: one scratch file per process,
// removed when the process ends.
struct ScratchFile {
  ScratchFile() {
    char name[] = "/tmp/wavecrate-fuzz-image-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    path = name;
  }
  ~ScratchFile() { std::remove(path.c_str()); }
  Path path;
};

const Path& scratchImage() {
  static const ScratchFile file;
  return file.path;
}

void writeScratch(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(scratchImage().c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
}

// Bounds on the walk, so a tree of nested or huge entries stays quick.
constexpr int kMaxDepth = 6;
constexpr size_t kMaxEntriesPerDirectory = 64;
constexpr size_t kMaxBytesPerFile = 1 << 20;

void walk(DiscImageFileSystem& fs, DiscImage& image, const Path& dir, int depth, uint64_t& sink) {
  if (depth > kMaxDepth) return;
  const std::vector<std::string> names = fs.listDirectory(dir);
  for (size_t i = 0; i < names.size() && i < kMaxEntriesPerDirectory; ++i) {
    const Path path = dir / names[i];
    if (fs.isDirectory(path)) {
      walk(fs, image, path, depth + 1, sink);
      continue;
    }
    auto file = fs.openRead(path);
    if (!file) continue;
    const auto size = file->size();
    if (!size) std::abort();  // an image file always knows its size
    std::vector<uint8_t> bytes(size_t(std::min<uint64_t>(*size, kMaxBytesPerFile)));
    // A file that opened lies inside the image: it reads whole.
    if (file->read(bytes.data(), bytes.size()) != bytes.size()) std::abort();
    // Reads from odd places must agree with the whole read.
    if (bytes.size() > 3) {
      const uint64_t at = bytes.size() / 2 + 1;
      uint8_t two[2];
      if (!file->seek(at) || file->read(two, 2) != std::min<size_t>(2, bytes.size() - at)) std::abort();
      if (two[0] != bytes[at] || (bytes.size() - at >= 2 && two[1] != bytes[at + 1])) std::abort();
    }
    for (uint8_t b : bytes) sink += b;
  }
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc;
  using namespace wc::fuzz;
  writeScratch(data, size);
  auto opened = DiscImage::open(scratchImage());
  if (std::holds_alternative<DiscImageError>(opened)) return 0;
  std::shared_ptr<DiscImage> image = std::move(std::get<std::unique_ptr<DiscImage>>(opened));
  // The check either names the AUDIO directory or gives a reason; both are fine.
  const auto checked = checkGameDiscImage(*image);
  if (const auto* audio = std::get_if<std::string>(&checked); audio && audio->empty()) std::abort();

  DiscImageFileSystem fs(realFileSystem());
  fs.mount(image);
  uint64_t sink = 0;
  walk(fs, *image, image->file(), 0, sink);
  if (sink == 0x5eed5eed5eedULL) std::abort();  // keeps the reads from being optimised away
  return 0;
}
