#pragma once
// Copying the disc's audio files into the local cache directory.
#include <cstdint>
#include <functional>
#include <string>

#include "base/File.h"

namespace wc {

inline constexpr uint64_t kCopyBlockSize = 65536;

// Called with the file's display name ("TRAKLKUP.DAT", "CH.PAK") and the
// percentage copied: 0 first, then one step per 64 KiB block, then exactly
// 100 once the file is complete.
using CopyProgress = std::function<void(const char* fileName, float percent)>;

// Copies `source` to `cacheDirectory`/`cacheName`. The copy is written under
// a temporary name and renamed into place only when every byte reached the
// disk, so a failed copy (disk full, source cut short) leaves no truncated
// file that later loads would trust; the temporary is removed and any earlier
// complete copy stays as it was.
bool copyIntoCache(FileSystem& fs, const Path& source, const Path& cacheDirectory, const std::string& cacheName,
                   const CopyProgress& progress);

}  // namespace wc
