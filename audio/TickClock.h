#pragma once
// The count of the 5 ms sound timer. The playlist tools draw from a generator
// that every tick reseeds with this count, so their choices depend on the
// time since start-up, as users of the original tools know them.
#include <cstdint>

#include "base/CRandom.h"

namespace wc {

class TickClock {
 public:
  // The count before the first tick; the first tick seeds with 667.
  static constexpr uint32_t kFirstTickCount = 666;

  explicit TickClock(CRandom& reseeded) : reseeded_(reseeded) {}

  // One timer period has passed: count it and reseed the generator.
  void tick() {
    ++count_;
    reseeded_.seed(count_);
  }
  uint32_t count() const { return count_; }
  // Moves the count forward to `count` (periods counted by a clock while the
  // timer did not run); reseeds only if it moved, as a tick would have.
  void catchUp(uint32_t count) {
    if (count <= count_) return;
    count_ = count;
    reseeded_.seed(count_);
  }

 private:
  CRandom& reseeded_;
  uint32_t count_ = kFirstTickCount;
};

}  // namespace wc
