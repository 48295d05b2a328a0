#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/TickClock.h"
#include "base/CRandom.h"
#include "playlist/Playlist.h"
#include "playlist/Voice.h"
#include "support/AdpcmTestClips.h"
#include "support/FakeSoundDevice.h"

namespace wc {
namespace {

class RecordingHost : public AudioHost {
 public:
  void showAudioError(const char* message) override { events.push_back(std::string("error:") + message); }
  void closeMainWindow() override { events.push_back("close"); }
  std::vector<std::string> events;
};

// Remembers how many frames each render or mix call asked for.
class CountingSource : public SoundSource {
 public:
  void render(float* out, int32_t frames) override {
    calls.push_back(frames);
    SoundSource::render(out, frames);
  }
  void mix(float* out, int32_t frames) override {
    calls.push_back(frames);
    SoundSource::mix(out, frames);
  }
  std::vector<int32_t> calls;
};

class AudioEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<FakeSoundDevice>();
    device = owned.get();
    ASSERT_TRUE(engine.start(std::move(owned), host));
    engine.addSource(source);
  }
  // Moves the cursor and lets a tick render what was played.
  void playAndTick(uint32_t bytes) {
    device->advance(bytes);
    engine.refillPlayed();
  }

  RecordingHost host;
  CountingSource source;
  AudioEngine engine;
  FakeSoundDevice* device = nullptr;
};

TEST_F(AudioEngineTest, StartWritesASecondOfSilenceThenPlays) {
  EXPECT_TRUE(engine.running());
  EXPECT_TRUE(device->isPlaying());
  EXPECT_EQ(engine.writeOffset(), 0u);
  ASSERT_EQ(device->writes().size(), 1u);
  EXPECT_EQ(device->writes()[0].offset, 0u);
  EXPECT_EQ(device->writes()[0].bytes, 96000u);
  EXPECT_TRUE(host.events.empty());
  EXPECT_TRUE(source.calls.empty());  // linked only after the silence
}

TEST_F(AudioEngineTest, TickRendersWhatWasPlayed) {
  device->clearWrites();
  playAndTick(1000);
  EXPECT_EQ(source.calls, (std::vector<int32_t>{250}));
  EXPECT_EQ(engine.writeOffset(), 1000u);
  ASSERT_EQ(device->writes().size(), 1u);
  EXPECT_EQ(device->writes()[0].offset, 0u);
  EXPECT_EQ(device->writes()[0].bytes, 1000u);
}

TEST_F(AudioEngineTest, CursorBehindWriteOffsetWrapsIntoTwoMixerCalls) {
  playAndTick(2000);
  source.calls.clear();
  device->clearWrites();
  playAndTick(95000);  // the cursor is now 1000 bytes behind writeOffset
  EXPECT_EQ(source.calls, (std::vector<int32_t>{23500, 250}));
  EXPECT_EQ(engine.writeOffset(), 1000u);
  ASSERT_EQ(device->writes().size(), 2u);
  EXPECT_EQ(device->writes()[0].offset, 2000u);
  EXPECT_EQ(device->writes()[0].bytes, 94000u);
  EXPECT_EQ(device->writes()[1].offset, 0u);
  EXPECT_EQ(device->writes()[1].bytes, 1000u);
}

TEST_F(AudioEngineTest, NothingPlayedRendersNothing) {
  playAndTick(0);
  EXPECT_TRUE(source.calls.empty());
  EXPECT_EQ(device->writes().size(), 1u);
}

TEST(TickClockTest, TicksCountFrom666AndReseedTheToolGenerator) {
  CRandom random;
  TickClock ticks(random);
  EXPECT_EQ(ticks.count(), 666u);
  for (uint32_t n = 667; n < 670; ++n) {
    random.next();  // draws between ticks do not carry over
    ticks.tick();
    EXPECT_EQ(ticks.count(), n);
    CRandom expected(n);
    EXPECT_EQ(random.next(), expected.next());
    EXPECT_EQ(random.next(), expected.next());
  }
}

TEST_F(AudioEngineTest, LostRingIsRestoredAndRetriedOnce) {
  device->lostWrites = 1;
  playAndTick(400);
  EXPECT_EQ(device->restoreCalls, 1);
  EXPECT_EQ(source.calls, (std::vector<int32_t>{100}));
  EXPECT_EQ(engine.writeOffset(), 400u);

  // Lost twice: nothing rendered, the next tick covers the larger gap.
  device->lostWrites = 2;
  playAndTick(400);
  EXPECT_EQ(device->restoreCalls, 2);
  EXPECT_EQ(source.calls.size(), 1u);
  EXPECT_EQ(engine.writeOffset(), 400u);
  playAndTick(400);
  EXPECT_EQ(source.calls, (std::vector<int32_t>{100, 200}));
  EXPECT_EQ(engine.writeOffset(), 1200u);
}

TEST_F(AudioEngineTest, FailedWriteRendersNothing) {
  device->failedWrites = 1;
  playAndTick(400);
  EXPECT_EQ(device->restoreCalls, 0);
  EXPECT_TRUE(source.calls.empty());
  EXPECT_EQ(engine.writeOffset(), 0u);
}

TEST_F(AudioEngineTest, ResumeRestartsWritingAtZero) {
  playAndTick(5000);
  engine.pauseOutput();
  EXPECT_FALSE(device->isPlaying());
  device->advance(3000);  // a stopped device does not move
  EXPECT_EQ(device->playCursor(), 5000u);
  engine.resumeOutput();
  EXPECT_TRUE(device->isPlaying());
  EXPECT_EQ(engine.writeOffset(), 0u);
  source.calls.clear();
  engine.refillPlayed();  // from 0 up to the cursor
  EXPECT_EQ(source.calls, (std::vector<int32_t>{1250}));
  EXPECT_EQ(engine.writeOffset(), 5000u);
}

TEST_F(AudioEngineTest, RingHoldsTheMixedVoice) {
  Playlist playlist;
  auto owned = std::make_unique<Track>();
  static const Clip kClip{};
  owned->clip = &kClip;
  owned->songAudio =
      test::TestClip().add(test::constantFrame(0, 0, 1), test::constantFrame(0, 0, 15)).build();  // 4096 and -4095
  Track* t = playlist.append(std::move(owned));
  Voice voice;
  engine.addSource(voice);
  source.unlink();
  voice.play(t, StartPart::Intro);
  playAndTick(20 * 4);
  const int16_t left = int16_t(double(float(4096) / 32768.0f * 0.3f) * 32767.0);
  const int16_t right = int16_t(double(float(-4095) / 32768.0f * 0.3f) * 32767.0);
  for (uint32_t frame = 0; frame < 20; ++frame) {
    EXPECT_EQ(device->sampleAt(frame * 4), left);
    EXPECT_EQ(device->sampleAt(frame * 4 + 2), right);
  }
  EXPECT_EQ(device->sampleAt(20 * 4), 0);  // still the silence written at start
  engine.shutdown();
}

TEST_F(AudioEngineTest, ShutdownStopsRunningAndReleasesSources) {
  engine.shutdown();
  EXPECT_FALSE(engine.running());
  EXPECT_FALSE(source.isLinked());
  EXPECT_EQ(engine.device(), nullptr);
  engine.refillPlayed();  // without a device a tick renders nothing
  EXPECT_TRUE(source.calls.empty());
}

TEST(AudioEngineStartTest, FailureShowsTheMessageAndClosesTheWindow) {
  RecordingHost host;
  auto device = std::make_unique<FakeSoundDevice>();
  device->failOpen = true;
  AudioEngine engine;
  EXPECT_FALSE(engine.start(std::move(device), host));
  EXPECT_EQ(host.events, (std::vector<std::string>{"error:Unable to initialize DirectSound\n", "close"}));
  EXPECT_FALSE(engine.running());
}

TEST(AudioEngineStartTest, ARunningEngineDoesNotStartAgain) {
  RecordingHost host;
  AudioEngine engine;
  ASSERT_TRUE(engine.start(std::make_unique<FakeSoundDevice>(), host));
  FakeSoundDevice* device = static_cast<FakeSoundDevice*>(engine.device());
  EXPECT_FALSE(engine.start(std::make_unique<FakeSoundDevice>(), host));
  EXPECT_EQ(host.events.size(), 2u);
  EXPECT_EQ(engine.device(), device);  // the first device plays on
  EXPECT_TRUE(device->isPlaying());
}

}  // namespace
}  // namespace wc
