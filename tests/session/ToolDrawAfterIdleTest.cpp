// A playlist tool run through the session draws from the generator as if the
// 5 ms sound timer had never stopped: seeded with 666 + the whole periods
// since the timer started, whether those periods were ticked (while sound
// played or drained) or counted by the clock while the timer slept.
#include <gtest/gtest.h>

#include <chrono>
#include <tuple>
#include <vector>

#include "audio/SoundWake.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

class ManualTickTimer final : public TickTimer {
 public:
  void startTicks() override { running = true; }
  void stopTicks() override { running = false; }
  bool running = true;
};

// What a tool made: each track's station, clip and chosen intro and outro.
using Made = std::vector<std::tuple<int, int, int, int>>;

Made madeBy(const StudioSession& session) {
  Made made;
  for (const Track* t = session.playlist().first(); t; t = Playlist::after(t))
    made.emplace_back(t->station, t->clipIndex, t->intro, t->outro);
  return made;
}

class ToolDrawAfterIdleTest : public ::testing::Test {
 protected:
  SessionFixture f;
};

TEST_F(ToolDrawAfterIdleTest, ARadioMixAfterPlayingAndIdlingDrawsFromTheSeedOfThePeriodsSinceStart) {
  struct Case {
    int previewPeriods;  // periods with a preview playing (it may end sooner)
    int idleMs;          // time after the timer fell asleep
  };
  for (const Case c : {Case{0, 0}, Case{0, 3}, Case{0, 61'234}, Case{300, 7}, Case{40, 4'000'001}}) {
    SCOPED_TRACE(testing::Message() << c.previewPeriods << " periods of preview, " << c.idleMs << " ms idle");
    const Clock::time_point start{std::chrono::hours(5)};
    Clock::time_point now = start;
    CRandom random;
    TickClock ticks{random};
    ManualTickTimer timer;
    SoundWake wake{*f.engine, timer, ticks, [&now] { return now; }, start};
    StudioSession session(*f.gameData, f.dialogs, random, &wake, f.fs);
    wake.soundNeeded = [&session] { return session.transport().somethingPlays(); };
    session.selectStation(testdisc::kMusic);
    // One period as the device and the event loop see it.
    auto period = [&] {
      now += milliseconds(5);
      f.device->advance(SoundDevice::kBytesPerSecond / 200);
      if (timer.running) wake.tick();
    };

    if (c.previewPeriods > 0) session.preview(testdisc::kSongs[1], true);
    for (int i = 0; i < c.previewPeriods; ++i) period();
    session.onCommand(Command::Stop);
    for (int i = 0; i < 10'000 && !wake.asleep(); ++i) period();
    ASSERT_TRUE(wake.asleep());
    now += milliseconds(c.idleMs);

    ASSERT_TRUE(session.onCommand(Command::CreateRadioMix));
    const uint32_t periods = uint32_t((now - start) / milliseconds(5));
    StudioSession reference(*f.gameData, f.dialogs, f.random, nullptr, f.fs);
    reference.selectStation(testdisc::kMusic);
    // The count is 666 when the timer starts; its first tick seeds 667.
    f.random.seed(666 + periods);
    ASSERT_TRUE(reference.onCommand(Command::CreateRadioMix));
    ASSERT_FALSE(madeBy(session).empty());
    EXPECT_EQ(madeBy(session), madeBy(reference));
    // Both drew the same number of times from the same seed.
    EXPECT_EQ(random.next(), f.random.next());
  }
}

}  // namespace
}  // namespace wc::test
