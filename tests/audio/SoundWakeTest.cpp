#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/SoundWake.h"
#include "audio/TickClock.h"
#include "base/CRandom.h"
#include "support/FakeSoundDevice.h"

namespace wc {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

class FakeTickTimer final : public TickTimer {
 public:
  void startTicks() override {
    running = true;
    ++starts;
  }
  void stopTicks() override {
    running = false;
    ++stops;
  }
  bool running = true;
  int starts = 0;
  int stops = 0;
};

// A source that is loud while `on`, so stale audio left in the ring shows.
class SwitchableSource final : public SoundSource {
 public:
  void render(float* out, int32_t frames) override {
    for (int32_t i = 0; i < 2 * frames; ++i) out[i] = on ? 0.5f : 0.0f;
  }
  void mix(float* out, int32_t frames) override {
    for (int32_t i = 0; i < 2 * frames; ++i) out[i] += on ? 0.5f : 0.0f;
  }
  bool on = false;
};

class SoundWakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<FakeSoundDevice>();
    device = owned.get();
    ASSERT_TRUE(engine.start(std::move(owned), host));
    wake.addSource(source);
    wake.soundNeeded = [this] { return source.on; };
  }
  // One timer period as the device and the event loop see it: the clock and
  // the play cursor move 5 ms, then the timer fires if it runs.
  void period() {
    now += milliseconds(5);
    device->advance(SoundDevice::kBytesPerSecond / 200);
    if (timer.running) wake.tick();
  }
  void periods(int n) {
    for (int i = 0; i < n; ++i) period();
  }
  int periodsUntilAsleep() {
    int n = 0;
    while (!wake.asleep() && n < 10000) {
      period();
      ++n;
    }
    return n;
  }

  class NullHost final : public AudioHost {
    void showAudioError(const char*) override {}
    void closeMainWindow() override {}
  } host;
  SwitchableSource source;
  AudioEngine engine;
  FakeSoundDevice* device = nullptr;
  FakeTickTimer timer;
  CRandom toolRandom;
  TickClock ticks{toolRandom};
  const Clock::time_point start{std::chrono::hours(3)};
  Clock::time_point now = start;
  SoundWake wake{engine, timer, ticks, [this] { return now; }, start};
};

// However the periods were counted (ticks, clock while asleep, or both), a
// tool that draws after N periods draws what the seed 666 + N gives.
TEST_F(SoundWakeTest, ToolsDrawFromThePeriodsSinceStart) {
  struct Case {
    int playingPeriods;  // sound before going quiet
    int idleMs;          // extra time after the timer went to sleep
  };
  for (const Case c : {Case{0, 0}, Case{0, 7}, Case{0, 60'000}, Case{400, 3}, Case{13, 1'234'567}}) {
    SCOPED_TRACE(testing::Message() << c.playingPeriods << " playing, " << c.idleMs << " ms idle");
    CRandom random;
    TickClock clock{random};
    now = start;
    SoundWake fresh{engine, timer, clock, [this] { return now; }, start};
    fresh.soundNeeded = [this] { return source.on; };
    source.on = true;
    int counted = 0;
    for (; counted < c.playingPeriods; ++counted) {
      now += milliseconds(5);
      fresh.tick();
    }
    source.on = false;
    while (!fresh.asleep()) {
      now += milliseconds(5);
      fresh.tick();
      ++counted;
    }
    now += milliseconds(c.idleMs);
    fresh.syncTicks();
    const uint32_t expectedSeed = TickClock::kFirstTickCount + uint32_t(counted + c.idleMs / 5);
    EXPECT_EQ(clock.count(), expectedSeed);
    CRandom reference(expectedSeed);
    for (int draw = 0; draw < 3; ++draw) EXPECT_EQ(random.next(), reference.next());
    // Within the same period a second tool continues the sequence.
    fresh.syncTicks();
    EXPECT_EQ(random.next(), reference.next());
  }
}

TEST_F(SoundWakeTest, SleepsOnlyAfterTheRingHasDrained) {
  source.on = true;
  periods(1000);
  EXPECT_TRUE(timer.running);
  EXPECT_TRUE(device->isPlaying());
  source.on = false;
  const int quietPeriods = periodsUntilAsleep();
  // The last second of sound is still in the ring: it must be heard.
  EXPECT_GE(quietPeriods * 5, 1000);
  EXPECT_LE(quietPeriods * 5, 1500);
  EXPECT_FALSE(timer.running);
  EXPECT_FALSE(device->isPlaying());
  const uint32_t count = ticks.count();
  periods(10'000);  // a long idle costs no tick
  EXPECT_EQ(ticks.count(), count);
  EXPECT_EQ(timer.stops, 1);
}

TEST_F(SoundWakeTest, WakesOverASilentRingWithTheUsualSecondAhead) {
  source.on = true;
  periods(300);
  ASSERT_NE(device->sampleAt(device->playCursor()), 0);  // loud audio is ahead of the cursor
  // Sleep while the ring still holds sound, to show none of it survives.
  wake.soundNeeded = [] { return false; };
  periodsUntilAsleep();
  periods(37);
  wake.soundComing();
  EXPECT_TRUE(timer.running);
  EXPECT_TRUE(device->isPlaying());
  const uint32_t cursor = device->playCursor();
  EXPECT_EQ(engine.writeOffset(), cursor);
  for (uint32_t offset = 0; offset < SoundDevice::kRingBytes; offset += 2)
    ASSERT_EQ(device->sampleAt(offset), 0) << "at byte " << offset;
  // The first sound goes right behind that second of silence.
  source.on = true;
  period();
  EXPECT_EQ(engine.writeOffset(), (cursor + SoundDevice::kBytesPerSecond / 200) % SoundDevice::kRingBytes);
  EXPECT_NE(device->sampleAt(cursor), 0);
  // A second wake while awake changes nothing.
  const int starts = timer.starts;
  wake.soundComing();
  EXPECT_EQ(timer.starts, starts);
}

TEST_F(SoundWakeTest, ExportPauseAndSleepDoNotFightOverTheDevice) {
  struct Case {
    bool asleepBeforeExport;
    bool soundDuringExport;  // a track starts before the export resumes
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{true, true}}) {
    SCOPED_TRACE(testing::Message() << c.asleepBeforeExport << c.soundDuringExport);
    wake.soundComing();
    source.on = false;
    if (c.asleepBeforeExport) periodsUntilAsleep();
    ASSERT_EQ(wake.asleep(), c.asleepBeforeExport);
    wake.pauseOutput();
    EXPECT_FALSE(device->isPlaying());
    if (c.soundDuringExport) {
      wake.soundComing();
      EXPECT_FALSE(device->isPlaying());  // still halted for the export
    }
    wake.resumeOutput();
    EXPECT_EQ(device->isPlaying(), !wake.asleep());
    EXPECT_EQ(timer.running, !wake.asleep());
  }
}

}  // namespace
}  // namespace wc
