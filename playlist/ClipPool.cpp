#include "playlist/ClipPool.h"

namespace wc {

ClipPool::ClipPool(int32_t capacity, bool ageing, CRandom& random)
    : capacity_(capacity), ageing_(ageing), clock_(capacity), random_(random) {
  if (capacity > 0) entries_.reserve(size_t(capacity));
}

void ClipPool::add(int clipIndex) {
  if (int32_t(entries_.size()) < capacity_) entries_.push_back({clipIndex, clock_});
}

int ClipPool::pick() {
  ++clock_;
  if (capacity_ <= 0) return -1;
  int64_t sum = 0, ripeSum = 0;
  bool anyRipe = false;
  for (auto& e : entries_) {
    if (ageing_) ++e.weight;
    if (e.weight >= clock_) {
      anyRipe = true;
      ripeSum += e.weight;
    }
    sum += e.weight;
  }
  if (anyRipe) sum = ripeSum;
  if (sum == 0) return -1;
  int64_t r = random_.next() % sum;
  for (auto& e : entries_) {
    if (anyRipe && e.weight < clock_) continue;
    if (r < e.weight) {
      e.weight = 0;
      return e.clipIndex;
    }
    r -= e.weight;
  }
  return -1;  // unreachable: r < sum
}

std::vector<int64_t> ClipPool::weights() const {
  std::vector<int64_t> w;
  for (const auto& e : entries_) w.push_back(e.weight);
  return w;
}

ClipPool buildPool(const Catalogue& catalogue, int station, uint32_t classMask, bool ageing, CRandom& random) {
  const Station& s = catalogue.stations[station];
  auto matches = [&](const Clip& c) { return (classMask & classBit(c.kind())) != 0; };
  int32_t n = 0;
  s.forEachTopLevel([&](int, const Clip& c) { n += matches(c) ? 1 : 0; });
  ClipPool pool(n, ageing, random);
  s.forEachTopLevel([&](int k, const Clip& c) {
    if (matches(c)) pool.add(k);
  });
  return pool;
}

}  // namespace wc
