#pragma once
// A ClipSource for a worker thread: reads clips through pack handles of its
// own (one per pack), from a snapshot of the clips' offsets and sizes. The
// handles are opened by the thread that owns the game data, where the disc
// may be searched for, and then belong to the source; whatever they read
// from (a cached pack, a mounted disc or a disc image) is read there.
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/DiscAnalysis.h"
#include "base/File.h"

namespace wc {

class GameData;

// `packs[s]` reads the pack of station s (null: its clips cannot be read).
using PackFiles = std::array<std::unique_ptr<InputFile>, kStationCount>;

// The packs of `stations` as GameData finds them: the cache first, else the
// disc or disc image it reads. Call on the game data's thread.
PackFiles openPacks(GameData& gameData, const std::vector<int>& stations);

// The source reads through `packs` alone, one call at a time, on any one
// thread.
ClipSource packClipSource(PackFiles packs, const Catalogue& catalogue);
// The same over pack files named by path (nullopt: not readable), opened
// now through `fs`.
ClipSource packClipSource(FileSystem& fs, const std::array<std::optional<Path>, kStationCount>& packs,
                          const Catalogue& catalogue);

}  // namespace wc
