#pragma once
// A growing in-memory file for the codec libraries' write/seek/tell
// callbacks: writes land at the current position, overwriting or extending.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace wc {

class EncodedBytes {
 public:
  void write(const void* src, size_t bytes) {
    if (position_ + bytes > data_.size()) data_.resize(position_ + bytes);
    std::memcpy(data_.data() + position_, src, bytes);
    position_ += bytes;
  }
  void seek(uint64_t position) { position_ = size_t(position); }
  uint64_t tell() const { return position_; }
  std::vector<uint8_t>& data() { return data_; }

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

// Frames handed to a codec per call: small enough that a stop request is
// seen within milliseconds, large enough that the calls cost nothing.
inline constexpr size_t kEncodeBlockFrames = 4096;

}  // namespace wc
