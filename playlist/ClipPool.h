#pragma once
// The playlist tools' weighted random picker. Without ageing it yields a
// random permutation of its clips and then nothing. With ageing every pick
// raises all weights by one, so after the first round each clip comes back
// with a probability that grows with the picks since it was last chosen.
#include <cstdint>
#include <vector>

#include "base/CRandom.h"
#include "gamedata/CatalogueRecords.h"

namespace wc {

class ClipPool {
 public:
  ClipPool(int32_t capacity, bool ageing, CRandom& random);

  void add(int clipIndex);
  // A clip index, or -1 for none. Draws one random number when the sum of
  // the candidates' weights is not 0.
  int pick();

  int32_t capacity() const { return capacity_; }
  int32_t used() const { return int32_t(entries_.size()); }
  // The current weights in insertion order (for tests).
  std::vector<int64_t> weights() const;

 private:
  struct Entry {
    int clipIndex;
    int64_t weight;
  };
  std::vector<Entry> entries_;
  int32_t capacity_;
  bool ageing_;
  int64_t clock_;
  CRandom& random_;
};

// A pool of the top-level clips of `station` whose class has its bit set in
// `classMask` (bit classBit of ClipClass), in index order.
ClipPool buildPool(const Catalogue& catalogue, int station, uint32_t classMask, bool ageing, CRandom& random);

// Class masks the tools use.
namespace PoolMask {
inline constexpr uint32_t Songs = classBit(ClipClass::Song);
inline constexpr uint32_t Commercials = classBit(ClipClass::Commercial);
inline constexpr uint32_t Five = classBit(ClipClass::ChatterFive);
inline constexpr uint32_t Six = classBit(ClipClass::ChatterSix);
inline constexpr uint32_t TwoSeven = classBit(ClipClass::Chatter) | classBit(ClipClass::ChatterSeven);
}  // namespace PoolMask

}  // namespace wc
