#pragma once
// A ClipSource for a worker thread: reads clips from pack files through its
// own file handles (one per pack, opened on first use and kept), from a
// snapshot of the clips' offsets and sizes. It never asks for the disc, so
// the owning thread resolves the pack paths first (the cached pack, else the
// disc's) and hands them over.
#include <array>
#include <optional>

#include "analysis/DiscAnalysis.h"
#include "base/File.h"

namespace wc {

// `packs[s]` is the pack of station s (nullopt: its clips cannot be read).
// The file system must outlive the source and be safe to use from the
// analysing thread; the source itself is for one thread at a time.
ClipSource packClipSource(FileSystem& fs, const std::array<std::optional<Path>, kStationCount>& packs,
                          const Catalogue& catalogue);

}  // namespace wc
