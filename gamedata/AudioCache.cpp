#include "gamedata/AudioCache.h"

#include <vector>

#include "base/FileReplacement.h"

namespace wc {
namespace {

// Streams the whole of `in` to `out` in 64 KiB blocks, reporting before each
// block and once more before the last, partial one.
bool copyBlocks(InputFile& in, OutputFile& out, const std::string& name, const CopyProgress& progress) {
  const auto size = in.size();
  if (!size || !in.seek(0)) return false;
  uint64_t remaining = *size;
  // The percentage of one block, as a 32-bit float, added up block by block;
  // the last report before 100 may therefore be a little short of it.
  const float step = remaining ? 6553600.0f / float(remaining) : 0.0f;
  float percent = 0.0f;
  auto report = [&](float value) {
    if (progress) progress(name.c_str(), value);
  };

  std::vector<uint8_t> buffer(kCopyBlockSize);
  while (remaining > kCopyBlockSize) {
    report(percent);
    percent += step;
    if (in.read(buffer.data(), kCopyBlockSize) != kCopyBlockSize) return false;
    if (!out.write(buffer.data(), kCopyBlockSize)) return false;
    remaining -= kCopyBlockSize;
  }
  report(percent);
  if (in.read(buffer.data(), size_t(remaining)) != remaining) return false;
  return out.write(buffer.data(), size_t(remaining));
}

}  // namespace

bool copyIntoCache(FileSystem& fs, const Path& source, const Path& cacheDirectory, const std::string& cacheName,
                   const CopyProgress& progress) {
  auto in = fs.openRead(source);
  if (!in) return false;
  FileReplacement replacement(fs, cacheDirectory / cacheName);
  if (!replacement.created()) return false;
  if (!copyBlocks(*in, *replacement.file(), cacheName, progress) || !replacement.commit()) return false;
  if (progress) progress(cacheName.c_str(), 100.0f);
  return true;
}

}  // namespace wc
