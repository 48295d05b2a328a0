#include "gamedata/ClipLoader.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <vector>

namespace wc {
namespace {

// A playlist's clips come to a hundred megabytes and more. Where the kernel
// hands out huge pages only on request, asking for them spares most of the
// page faults of a fresh buffer, which cost microseconds each on some
// machines. Only the whole 2 MiB stretches inside the buffer can use them.
void preferHugePages(void* data, size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHuge = uintptr_t(2) << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the page-aligned address inside the buffer, for madvise
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace

std::unique_ptr<ClipAudio> readClipAudio(InputFile& pack, uint32_t offset, uint32_t size) {
  // 64-bit: size 0xFFFFFFFF plus the header must not wrap around.
  const uint64_t length = uint64_t(size) + ClipAudio::kHeaderSize;
  const auto packSize = pack.size();
  if (!packSize || uint64_t(offset) > *packSize || length > *packSize - offset) return nullptr;
  if (length > SIZE_MAX) return nullptr;

  std::vector<uint8_t> bytes;
  try {
    bytes.reserve(size_t(length));
    preferHugePages(bytes.data(), bytes.capacity());
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
