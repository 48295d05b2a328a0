#pragma once
// Decides when the 5 ms sound timer and the device may sleep: while nothing
// can sound, neither runs, so a program left open wakes nobody. It stands
// between the view and the engine (the view links sources and pauses the
// output through it) and is told before any sound starts.
//
// The tick count keeps its meaning across sleeps: it is the number of 5 ms
// periods since start. While the timer runs, every tick counts one; while it
// sleeps, the count is derived from the monotonic clock when a tool is about
// to draw, so a tool draws the same as with a timer that never stopped.
#include <chrono>
#include <cstdint>
#include <functional>

#include "audio/SoundOutput.h"
#include "audio/TickClock.h"

namespace wc {

class AudioEngine;

// The periodic timer that calls SoundWake::tick(); the window program drives
// it with its event loop, tests with a fake.
class TickTimer {
 public:
  virtual ~TickTimer() = default;
  virtual void startTicks() = 0;
  virtual void stopTicks() = 0;
};

using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

class SoundWake final : public SoundOutput {
 public:
  // How long the timer keeps running after the last sound was rendered: the
  // ring holds one second that must still be heard, plus a margin.
  static constexpr std::chrono::milliseconds kDrainTime{1200};
  static constexpr std::chrono::milliseconds kTickPeriod{5};

  // `startedAt` is the moment the tick count was kFirstTickCount. The timer
  // and the engine are awake when this is made (as the program starts them).
  SoundWake(AudioEngine& engine, TickTimer& timer, TickClock& ticks, SteadyNow now,
            std::chrono::steady_clock::time_point startedAt);

  // True while anything may sound (a track, a preview); asked on each tick.
  std::function<bool()> soundNeeded;

  // One timer period: counts the tick, refills the ring, and puts timer and
  // device to sleep once nothing has sounded for kDrainTime.
  void tick();
  // Brings the count up to the clock's periods while asleep; call right
  // before a playlist tool draws from the generator.
  void syncTicks();
  bool asleep() const { return asleep_; }
  // The timer makes its first start at `moment`, with the count still at
  // kFirstTickCount: the periods a sleeping timer misses are counted from
  // there, as its ticks are.
  void countFrom(std::chrono::steady_clock::time_point moment) { startedAt_ = moment; }

  // --- SoundOutput ---
  void addSource(SoundSource& source) override;
  // An export halts the device; a sleeping device stays asleep.
  void pauseOutput() override;
  void resumeOutput() override;
  // Before the first sound: device restarted over a silent ring, timer on.
  void soundComing() override;
  void toolsAboutToDraw() override { syncTicks(); }

 private:
  uint32_t periodsSinceStart() const;

  AudioEngine& engine_;
  TickTimer& timer_;
  TickClock& ticks_;
  SteadyNow now_;
  std::chrono::steady_clock::time_point startedAt_;
  std::chrono::steady_clock::time_point quietSince_{};
  bool quiet_ = false;
  bool asleep_ = false;
  bool paused_ = false;
};

}  // namespace wc
