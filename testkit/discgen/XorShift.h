#pragma once
// The generator every synthesized signal and generated station draws from:
// xorshift32, tiny, fast and the same on every machine, so a generated disc
// is the same bytes everywhere. Each user mixes the seed with a salt of its
// own, so that equal seeds give unrelated sequences in different places.
#include <cstdint>

namespace wc {

class XorShift32 {
 public:
  XorShift32(uint32_t seed, uint32_t salt) : state_(seed * 2654435761u + salt) {
    if (state_ == 0) state_ = 1;  // the one state xorshift never leaves
  }
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-1, 1).
  double bipolar() { return double(next()) / 2147483648.0 - 1.0; }
  // 0 .. n - 1.
  uint32_t below(uint32_t n) { return next() % n; }
  // lo .. hi in steps of 1/10000 of the range.
  double between(double lo, double hi) { return lo + (hi - lo) * double(next() % 10000) / 10000.0; }
  bool chance(double p) { return between(0.0, 1.0) < p; }

 private:
  uint32_t state_;
};

}  // namespace wc
