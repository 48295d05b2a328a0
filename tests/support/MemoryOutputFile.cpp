#include "support/MemoryOutputFile.h"

#include <algorithm>
#include <cstring>

namespace wc {

bool MemoryOutputFile::write(const void* src, size_t bytes) {
  if (contents_.closed) return false;
  const uint64_t room = position_ < contents_.capacity ? contents_.capacity - position_ : 0;
  const size_t stored = size_t(std::min<uint64_t>(bytes, room));
  if (position_ + stored > contents_.bytes.size()) contents_.bytes.resize(size_t(position_ + stored));
  if (stored) std::memcpy(contents_.bytes.data() + position_, src, stored);
  position_ += stored;
  if (stored < bytes) ++contents_.failedWrites;
  return stored == bytes;
}

bool MemoryOutputFile::seek(uint64_t offset) {
  if (contents_.failSeek || contents_.closed) return false;
  position_ = offset;
  return true;
}

bool MemoryOutputFile::close() {
  if (contents_.closed) return false;
  contents_.closed = true;
  return !contents_.failClose && contents_.failedWrites == 0;
}

}  // namespace wc
