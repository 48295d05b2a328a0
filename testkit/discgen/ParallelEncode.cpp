#include "testkit/discgen/ParallelEncode.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace wc {

void encodeClipsAhead(DiscPlan& plan, unsigned threads) {
  std::vector<ClipPlan*> pending;
  for (StationPlan& station : plan.stations) {
    for (ClipPlan& clip : station.clips) {
      pending.push_back(&clip);
      for (ClipPlan& intro : clip.intros) pending.push_back(&intro);
      for (ClipPlan& outro : clip.outros) pending.push_back(&outro);
    }
  }
  std::erase_if(pending, [](const ClipPlan* c) { return c->frames.has_value(); });
  // Songs are the long clips: start them first so no thread is left with
  // one at the end while the others are done.
  std::stable_partition(pending.begin(), pending.end(),
                        [](const ClipPlan* c) { return c->clipClass == ClipClass::Song; });

  // Each worker takes the next clip in turn; clips differ a lot in length,
  // so a fixed split would leave a thread idle.
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i = next++; i < pending.size(); i = next++) {
      ClipPlan& clip = *pending[i];
      clip.frames = encodeStereo(clip.generate ? clip.generate() : clip.signal);
      clip.generate = nullptr;
      clip.signal = StereoSignal{};
    }
  };
  std::vector<std::jthread> workers;
  for (unsigned t = 1; t < std::max(threads, 1u); ++t) workers.emplace_back(work);
  work();
}

}  // namespace wc
