#pragma once
// The classic C library generator (state * 214013 + 2531011, 15-bit results).
// glibc's rand() is a different generator, so we carry our own: the playlist
// tools must draw the same sequence on every platform for a given seed.
#include <cstdint>

namespace wc {

class CRandom {
 public:
  static constexpr int kMax = 32767;

  explicit CRandom(uint32_t seed = 1) : state_(seed) {}
  void seed(uint32_t seed) { state_ = seed; }
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7fff);
  }

 private:
  uint32_t state_;
};

}  // namespace wc
