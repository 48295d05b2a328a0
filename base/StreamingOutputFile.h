#pragma once
// A file written once, front to back, in large pieces: an exported CD image.
// Copying 800 MB into the page cache costs a second of processor time on
// some machines (more when the memory behind fresh pages must first be
// found), so such a file is written past the cache (O_DIRECT) in aligned
// 4 MiB pieces for as long as the disk keeps up. When the disk is what the
// writer waits for most of the time, or the file system refuses direct
// writes, the rest goes through the page cache as usual.
#include <memory>

#include "base/File.h"

namespace wc {

// Null if the file cannot be created.
std::unique_ptr<OutputFile> openStreamingOutputFile(const Path& path);
// The same for a file that must not exist yet: never follows a symbolic link
// nor opens an existing file. Null (and errno set) if it cannot be created.
std::unique_ptr<OutputFile> createStreamingOutputFile(const Path& path);

}  // namespace wc
