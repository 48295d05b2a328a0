// The engine on SDL's dummy driver: the ring is consumed at about the device
// rate and holds exactly what the mixer rendered.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/Mixer.h"
#include "audio/sdl/SdlSoundDevice.h"
#include "base/LittleEndian.h"
#include "playlist/Voice.h"
#include "support/AdpcmTestClips.h"

namespace wc {
namespace {

class FailingHost : public AudioHost {
 public:
  void showAudioError(const char* message) override { ADD_FAILURE() << "audio error: " << message; }
  void closeMainWindow() override {}
};

std::unique_ptr<Track> previewOf(std::unique_ptr<ClipAudio> song) {
  auto t = std::make_unique<Track>();
  t->songAudio = std::move(song);
  return t;
}

TEST(SdlAudioEngineTest, DummyDeviceConsumesTheRingAtTheDeviceRate) {
  using Clock = std::chrono::steady_clock;
  FailingHost host;
  AudioEngine engine;
  auto owned = std::make_unique<SdlSoundDevice>();
  SdlSoundDevice* device = owned.get();
  ASSERT_TRUE(engine.start(std::move(owned), host)) << SDL_GetError();

  // Ten seconds of busy audio: it does not run out during the test.
  constexpr uint32_t kFrames = 9000;
  Voice voice;
  voice.playPreview(previewOf(test::randomClip(kFrames, 11)));
  engine.addSource(voice);

  const Clock::time_point begin = Clock::now();
  const Clock::time_point deadline = begin + std::chrono::milliseconds(1000);
  while (Clock::now() < deadline) {
    engine.refillPlayed();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  engine.refillPlayed();
  engine.pauseOutput();
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  const std::vector<uint8_t> ring = device->snapshotRing();

  // Everything played was rendered, so the frames delivered measure the rate.
  const int64_t delivered = voice.position() - voice.pending();
  const double expected = seconds * 24000.0;
  EXPECT_GT(double(delivered), 0.5 * expected);
  EXPECT_LT(double(delivered), 2.0 * expected);

  // The same clip mixed offline: ring frame i holds the last stream frame
  // written there (stream frame n went to ring frame n mod 24000); frames
  // never written still hold the start's silence.
  Voice twin;
  twin.playPreview(previewOf(test::randomClip(kFrames, 11)));
  Mixer mixer;
  mixer.addSource(twin);
  std::vector<int16_t> stream(size_t(2 * delivered));
  std::vector<float> scratch(stream.size());
  mixer.mixSources(stream.data(), int32_t(delivered), scratch.data());
  int64_t nonZero = 0;
  for (int64_t frame = 0; frame < 24000; ++frame) {
    int64_t n = delivered - 1 - ((delivered - 1 - frame) % 24000 + 24000) % 24000;
    for (int c = 0; c < 2; ++c) {
      const int16_t got = int16_t(readU16LE(&ring[size_t(frame * 4 + c * 2)]));
      const int16_t want = n >= 0 ? stream[size_t(2 * n + c)] : 0;
      ASSERT_EQ(got, want) << "ring frame " << frame << " channel " << c;
      nonZero += got != 0;
    }
  }
  EXPECT_GT(nonZero, 1000);
  engine.shutdown();
}

}  // namespace
}  // namespace wc
