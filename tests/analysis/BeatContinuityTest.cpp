// The beat runs on across a cut when the grid the onsets before it lay
// down carries on past it, even with an empty bar or a wavering beat there.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/BeatContinuity.h"

namespace wc::test {
namespace {

// Onsets in 10 ms steps: a hit every 50 steps from `phase` on and a weaker
// off-beat between; none before `quietTo`; every third hit `late` steps late.
std::vector<float> beat(size_t steps, size_t phase, size_t quietTo = 0, size_t late = 0) {
  std::vector<float> onsets(steps, 0.0f);
  for (size_t t = phase, n = 0; t + 25 < steps; t += 50, ++n) {
    if (t >= quietTo) onsets[t + (n % 3 == 2 ? late : 0)] = 12.0f;
    if (t + 25 >= quietTo) onsets[t + 25] = 5.0f;
  }
  return onsets;
}

TEST(BeatContinuityTest, TheGridMustRunOnAcrossTheCut) {
  const BeatSide before = beatBefore(beat(900, 10));  // the cut at step 900: the grid goes on at phase 10
  const struct {
    std::vector<float> after;
    bool runsOn;
  } cases[] = {{beat(300, 10), true},
               {beat(300, 10, 100), true},
               {beat(300, 10, 0, 2), true},
               {beat(300, 27), false},
               {beat(300, 22), false}};
  for (const auto& c : cases) {
    const auto continuity = beatContinuity(before, beatAfter(c.after));
    ASSERT_TRUE(continuity.has_value());
    EXPECT_EQ(*continuity > 0.7, c.runsOn) << *continuity;
    EXPECT_EQ(*continuity < 0.3, !c.runsOn) << *continuity;
  }
  // No beat, or a side shorter than a beat: no opinion.
  EXPECT_FALSE(beatContinuity(beatBefore(std::vector<float>(900)), beatAfter(std::vector<float>(300))));
  EXPECT_FALSE(beatContinuity(before, beatAfter(beat(30, 0))));
}

}  // namespace
}  // namespace wc::test
