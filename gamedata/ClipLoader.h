#pragma once
// Reading one clip out of an open stream pack.
#include <cstdint>
#include <memory>

#include "base/File.h"
#include "gamedata/ClipAudio.h"

namespace wc {

// The `size` + 8068 bytes at `offset` of `pack`, read with one seek and one
// read. Null when the pack does not hold all of them (so an absurd size never
// allocates more than the pack could fill) or the read falls short; a loaded
// buffer never holds bytes that did not come from the pack.
std::unique_ptr<ClipAudio> readClipAudio(InputFile& pack, uint32_t offset, uint32_t size);

}  // namespace wc
