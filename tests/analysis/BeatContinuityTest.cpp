// Whether the beat runs on across a cut, from the onsets on either side:
// the grid the onsets before the cut lay down must carry on past it, even
// when the bar next to the cut is empty or the beat wavers a little.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/BeatContinuity.h"

namespace wc::test {
namespace {

// Onsets in 10 ms steps: a hit every `period` steps from `phase` on, a
// weaker off-beat between, none in [quietFrom, quietTo), each hit moved by
// up to `jitter` steps.
std::vector<float> beat(size_t steps, size_t period, size_t phase, size_t quietFrom = 0, size_t quietTo = 0,
                        size_t jitter = 0) {
  std::vector<float> onsets(steps, 0.0f);
  for (size_t t = phase, n = 0; t < steps; t += period, ++n) {
    const size_t at = std::min(steps - 1, t + (n % 3) * jitter);
    if (at < quietFrom || at >= quietTo) onsets[at] = 12.0f;
    const size_t off = t + period / 2;
    if (off < steps && (off < quietFrom || off >= quietTo)) onsets[off] = 5.0f;
  }
  return onsets;
}

TEST(BeatContinuityTest, TheGridMustRunOnAcrossTheCut) {
  constexpr size_t kPeriod = 50;  // 120 beats a minute
  const std::vector<float> song = beat(900, kPeriod, 10);
  struct Case {
    const char* name;
    std::vector<float> after;  // the onsets after the cut; the cut is at step 900
    bool runsOn;
  };
  const Case cases[] = {
      {"on the grid", beat(300, kPeriod, (10 + 900) % kPeriod), true},
      {"on the grid, first bar empty", beat(300, kPeriod, (10 + 900) % kPeriod, 0, 2 * kPeriod), true},
      {"on the grid, wavering", beat(300, kPeriod, (10 + 900) % kPeriod, 0, 0, 2), true},
      // (Half a beat off puts the off-beats on the beats: partly alike.)
      {"a third of a beat off", beat(300, kPeriod, (10 + 900 + kPeriod / 3) % kPeriod), false},
      {"a quarter beat off", beat(300, kPeriod, (10 + 900 + kPeriod / 4) % kPeriod), false},
  };
  const BeatSide before = beatBefore(song);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto continuity = beatContinuity(before, beatAfter(c.after));
    ASSERT_TRUE(continuity.has_value());
    if (c.runsOn)
      EXPECT_GT(*continuity, 0.7);
    else
      EXPECT_LT(*continuity, 0.3);
  }
  // No beat on either side, or a side shorter than a beat: no opinion.
  EXPECT_FALSE(beatContinuity(beatBefore(std::vector<float>(900, 0.0f)), beatAfter(std::vector<float>(300, 0.0f))));
  EXPECT_FALSE(beatContinuity(before, beatAfter(beat(30, kPeriod, 0))));
}

}  // namespace
}  // namespace wc::test
