#include "gamedata/ClipLoader.h"

#include <cstdint>
#include <new>
#include <vector>

namespace wc {

std::unique_ptr<ClipAudio> readClipAudio(InputFile& pack, uint32_t offset, uint32_t size) {
  // 64-bit: size 0xFFFFFFFF plus the header must not wrap around.
  const uint64_t length = uint64_t(size) + ClipAudio::kHeaderSize;
  const auto packSize = pack.size();
  if (!packSize || uint64_t(offset) > *packSize || length > *packSize - offset) return nullptr;
  if (length > SIZE_MAX) return nullptr;

  std::vector<uint8_t> bytes;
  try {
    bytes.resize(size_t(length));
  } catch (const std::bad_alloc&) {
    // A pack may be larger than free memory; such a clip is treated as
    // missing, like one whose pack cannot be opened.
    return nullptr;
  }
  if (!pack.seek(offset) || pack.read(bytes.data(), bytes.size()) != bytes.size()) return nullptr;
  return std::make_unique<ClipAudio>(std::move(bytes));
}

}  // namespace wc
