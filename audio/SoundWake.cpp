#include "audio/SoundWake.h"

#include <utility>

#include "audio/AudioEngine.h"

namespace wc {

SoundWake::SoundWake(AudioEngine& engine, TickTimer& timer, TickClock& ticks, SteadyNow now,
                     std::chrono::steady_clock::time_point startedAt)
    : engine_(engine), timer_(timer), ticks_(ticks), now_(std::move(now)), startedAt_(startedAt) {}

void SoundWake::tick() {
  ticks_.tick();
  engine_.refillPlayed();
  if (asleep_) return;
  if (soundNeeded && soundNeeded()) {
    quiet_ = false;
    return;
  }
  const auto now = now_();
  if (!quiet_) {
    quiet_ = true;
    quietSince_ = now;
    return;
  }
  if (now - quietSince_ < kDrainTime) return;
  // The ring has been silent long enough that all of it is silence.
  timer_.stopTicks();
  if (!paused_) engine_.pauseOutput();
  asleep_ = true;
  quiet_ = false;
}

uint32_t SoundWake::periodsSinceStart() const {
  const auto elapsed = now_() - startedAt_;
  if (elapsed.count() <= 0) return 0;
  return uint32_t(elapsed / kTickPeriod);
}

void SoundWake::syncTicks() {
  if (asleep_) ticks_.catchUp(TickClock::kFirstTickCount + periodsSinceStart());
}

void SoundWake::addSource(SoundSource& source) { engine_.addSource(source); }

void SoundWake::pauseOutput() {
  paused_ = true;
  if (!asleep_) engine_.pauseOutput();
}

void SoundWake::resumeOutput() {
  paused_ = false;
  if (!asleep_) engine_.resumeOutput();
}

void SoundWake::soundComing() {
  quiet_ = false;
  if (!asleep_) return;
  // The ticks resume from the clock's count, as if they had never stopped.
  syncTicks();
  asleep_ = false;
  if (!paused_) engine_.resumeSilent();
  timer_.startTicks();
}

}  // namespace wc
