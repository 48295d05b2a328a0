#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/Mixer.h"
#include "playlist/Playlist.h"
#include "playlist/Voice.h"
#include "support/AdpcmTestClips.h"
#include "support/PositionReports.h"

namespace wc {
namespace {

using test::flatFrame;
using test::TestClip;

using test::Report;
using test::ReportLog;

const Clip kSomeClip{};

// A clip of `frames` steps whose left samples are all `left` and right
// samples all `right` (each -8..7).
std::unique_ptr<ClipAudio> flatClip(uint32_t frames, int8_t left, int8_t right) {
  return TestClip().addRepeated(frames, flatFrame(left), flatFrame(right)).build();
}

Track* newTrack(std::unique_ptr<ClipAudio> intro, std::unique_ptr<ClipAudio> song, std::unique_ptr<ClipAudio> outro) {
  auto* t = new Track;
  t->clip = &kSomeClip;
  t->introAudio = std::move(intro);
  t->songAudio = std::move(song);
  t->outroAudio = std::move(outro);
  return t;
}

class VoiceTest : public ::testing::Test {
 protected:
  void SetUp() override { voice.callback = log.callback(); }
  Track* append(Track* t) {
    playlist.append(std::unique_ptr<Track>(t));
    return t;
  }
  // Renders `frames` and returns the left samples scaled back to the clip's
  // integers (the gain is 0.3).
  std::vector<int> renderLeft(int32_t frames) {
    std::vector<float> out(size_t(2 * frames));
    voice.render(out.data(), frames);
    std::vector<int> left;
    for (int32_t i = 0; i < frames; ++i) left.push_back(int(std::lround(out[size_t(2 * i)] / 0.3f * 32768.0f)));
    return left;
  }
  static std::vector<int> repeat(int value, size_t count) { return std::vector<int>(count, value); }
  static std::vector<int> concat(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }

  Playlist playlist;
  ReportLog log;
  Voice voice;
};

TEST_F(VoiceTest, IdleVoiceRendersSilenceAndKeepsCounting) {
  std::vector<float> out(200, 1.0f);
  voice.render(out.data(), 100);
  for (float v : out) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(log.reports, (std::vector<Report>{{nullptr, 0}}));
  EXPECT_EQ(voice.position(), 112);  // four silent steps
}

TEST_F(VoiceTest, PlaysIntroSongAndOutroInOrderWithGain) {
  Track* t = append(newTrack(flatClip(2, 1, -1), flatClip(3, 2, -2), flatClip(1, 3, -3)));
  voice.play(t, StartPart::Intro);
  std::vector<float> out(2 * 6 * 28);
  voice.render(out.data(), 6 * 28);
  for (int i = 0; i < 6 * 28; ++i) {
    const int value = i < 56 ? 1 : i < 140 ? 2 : 3;
    EXPECT_EQ(out[size_t(2 * i)], float(value) / 32768.0f * 0.3f) << i;
    EXPECT_EQ(out[size_t(2 * i + 1)], float(test::decodedValue(-value)) / 32768.0f * 0.3f) << i;
  }
}

TEST_F(VoiceTest, StartPartsSkipIntroOrSongButCountTheirSamples) {
  Track* t = append(newTrack(flatClip(2, 1, 0), flatClip(3, 2, 0), flatClip(1, 3, 0)));
  voice.play(t, StartPart::Song);
  EXPECT_EQ(renderLeft(4 * 28), concat({repeat(2, 84), repeat(3, 28)}));
  EXPECT_EQ(log.reports.back(), (Report{t, 56}));

  voice.play(t, StartPart::OutroOnly);
  log.reports.clear();
  EXPECT_EQ(renderLeft(28), repeat(3, 28));
  EXPECT_EQ(log.reports, (std::vector<Report>{{t, 140}}));
}

TEST_F(VoiceTest, StartAtSongWithoutIntroStartsAtZero) {
  Track* t = append(newTrack(nullptr, flatClip(1, 4, 0), nullptr));
  voice.play(t, StartPart::Song);
  EXPECT_EQ(voice.position(), 0);
  EXPECT_EQ(renderLeft(28), repeat(4, 28));
}

TEST_F(VoiceTest, OutroOnlyWithoutOutroMovesStraightToTheNextTrack) {
  Track* a = append(newTrack(flatClip(1, 1, 0), flatClip(1, 2, 0), nullptr));
  Track* b = append(newTrack(flatClip(1, 5, 0), nullptr, nullptr));
  voice.play(a, StartPart::OutroOnly);
  EXPECT_TRUE(voice.queueEmpty());
  log.reports.clear();
  EXPECT_EQ(renderLeft(28), repeat(5, 28));
  EXPECT_EQ(voice.track(), b);
  EXPECT_EQ(log.reports, (std::vector<Report>{{a, 56}, {b, 0}, {nullptr, 0}}));
}

TEST_F(VoiceTest, TrackWithoutAudioIsPassedOverWithinOneStep) {
  Track* a = append(newTrack(nullptr, flatClip(1, 1, 0), nullptr));
  Track* empty = append(newTrack(nullptr, nullptr, nullptr));
  Track* c = append(newTrack(nullptr, flatClip(1, 6, 0), nullptr));
  voice.play(a, StartPart::Intro);
  EXPECT_EQ(renderLeft(3 * 28), concat({repeat(1, 28), repeat(0, 28), repeat(6, 28)}));
  EXPECT_EQ(voice.track(), c);
  bool heardEmpty = false;
  for (const Report& r : log.reports) heardEmpty |= r.track == empty;
  EXPECT_TRUE(heardEmpty);
}

TEST_F(VoiceTest, PlayingATrackWithoutAudioStartsTheNextOneAtOnce) {
  Track* empty = append(newTrack(nullptr, nullptr, nullptr));
  Track* b = append(newTrack(flatClip(1, 7, 0), nullptr, nullptr));
  voice.play(empty, StartPart::Intro);
  EXPECT_EQ(renderLeft(28), repeat(7, 28));
  EXPECT_EQ(voice.track(), b);
}

TEST_F(VoiceTest, PlaylistEndReportsNoTrackAndFallsSilent) {
  Track* a = append(newTrack(nullptr, flatClip(1, 1, 0), nullptr));
  Track* b = append(newTrack(nullptr, flatClip(1, 2, 0), nullptr));
  voice.play(a, StartPart::Intro);
  EXPECT_EQ(renderLeft(4 * 28), concat({repeat(1, 28), repeat(2, 28), repeat(0, 56)}));
  EXPECT_EQ(voice.track(), nullptr);
  // The advance to b, then the advance off the end of the playlist.
  const std::vector<Report> expected{{nullptr, 0}, {a, 0}, {b, 0}, {nullptr, 0}, {nullptr, 0}};
  EXPECT_EQ(log.reports, expected);
  log.reports.clear();
  renderLeft(1);
  EXPECT_EQ(log.reports.size(), 1u);
  EXPECT_EQ(log.reports[0].track, nullptr);
}

TEST_F(VoiceTest, StopReportsAtOnceAndThenIdlePositions) {
  Track* a = append(newTrack(nullptr, flatClip(2, 1, 0), nullptr));
  voice.play(a, StartPart::Intro);
  renderLeft(10);
  log.reports.clear();
  voice.play(nullptr, StartPart::Intro);
  EXPECT_EQ(log.reports, (std::vector<Report>{{nullptr, 0}}));
  EXPECT_EQ(renderLeft(5), repeat(0, 5));
  EXPECT_EQ(log.reports.back(), (Report{nullptr, 0}));
}

TEST_F(VoiceTest, DeliveredCountIsExactAcrossStepBoundaries) {
  Track* a = append(newTrack(nullptr, flatClip(3, 1, 0), nullptr));
  voice.play(a, StartPart::Intro);
  renderLeft(28);
  EXPECT_EQ(voice.pending(), 0);
  renderLeft(30);
  renderLeft(1);
  const std::vector<Report> expected{{nullptr, 0}, {a, 0}, {a, 28}, {a, 58}};
  EXPECT_EQ(log.reports, expected);
}

TEST_F(VoiceTest, HistoryRunsOnFromIntoToSongAndResetsOnNextPlay) {
  // The intro leaves a large history; the song's frames only predict.
  auto intro = TestClip().add(test::constantFrame(0, 0, 1), test::constantFrame(0, 0, 2)).build();
  auto song = TestClip().add(test::constantFrame(1, 0, 0), test::constantFrame(1, 0, 0)).build();
  Track* t = append(newTrack(std::move(intro), std::move(song), nullptr));
  voice.play(t, StartPart::Intro);
  std::vector<int> left = renderLeft(56);
  EXPECT_EQ(left[28], 3840);  // 4096 * 0.9375
  voice.play(t, StartPart::Song);
  left = renderLeft(28);
  EXPECT_EQ(left[0], 0);  // history zeroed at the first clip played
}

TEST_F(VoiceTest, LeftAndRightKeepSeparateHistories) {
  auto song = TestClip()
                  .add(test::constantFrame(0, 0, 1), test::constantFrame(0, 0, 2))
                  .add(test::constantFrame(1, 0, 0), test::constantFrame(1, 0, 0))
                  .build();
  voice.play(append(newTrack(nullptr, std::move(song), nullptr)), StartPart::Intro);
  std::vector<float> out(2 * 56);
  voice.render(out.data(), 56);
  EXPECT_EQ(out[2 * 28], float(3840) / 32768.0f * 0.3f);
  EXPECT_EQ(out[2 * 28 + 1], float(7680) / 32768.0f * 0.3f);
}

TEST_F(VoiceTest, WalksChunksAndIgnoresTheChannelRemainder) {
  // 4097 frames: the last one lies alone in a second chunk.
  TestClip clip;
  for (uint32_t i = 0; i < 4097; ++i) clip.add(flatFrame(int8_t(i % 15 - 7)), flatFrame(int8_t(7 - i % 15)));
  clip.remainder(15);
  auto audio = clip.build();
  ASSERT_EQ(audio->frames(), 4097u);
  ASSERT_EQ(audio->chunkCount(), 2u);
  voice.play(append(newTrack(nullptr, std::move(audio), nullptr)), StartPart::Intro);
  const std::vector<int> left = renderLeft(4098 * 28);
  for (uint32_t i = 0; i < 4097; ++i)
    ASSERT_EQ(left[i * 28 + 27], test::decodedValue(int(i % 15) - 7)) << "frame " << i;
  EXPECT_EQ(left[4097 * 28], 0);  // then the playlist ends
  EXPECT_EQ(voice.track(), nullptr);
}

TEST_F(VoiceTest, ClipsWithoutFramesArePassedOver) {
  auto tiny = TestClip().claimChannelLength(15).build();  // below one frame
  auto exact = flatClip(4096, 3, 0);                      // exactly one chunk
  Track* t = append(newTrack(std::move(tiny), std::move(exact), flatClip(0, 0, 0)));
  voice.play(t, StartPart::Intro);
  const std::vector<int> left = renderLeft(4097 * 28);
  EXPECT_EQ(left[0], 3);
  EXPECT_EQ(left[4096 * 28 - 1], 3);
  EXPECT_EQ(left[4096 * 28], 0);
}

// Freed exactly once: the ASan build turns a double free or a leak of the
// preview into a failure.
TEST_F(VoiceTest, PreviewIsFreedWhenItEnds) {
  voice.playPreview(std::unique_ptr<Track>(newTrack(nullptr, flatClip(1, 2, 0), nullptr)));
  EXPECT_EQ(renderLeft(56), concat({repeat(2, 28), repeat(0, 28)}));
  EXPECT_EQ(voice.track(), nullptr);
  voice.play(nullptr, StartPart::Intro);  // nothing left to free
}

TEST_F(VoiceTest, PreviewIsFreedWhenReplacedOrStopped) {
  Track* a = append(newTrack(nullptr, flatClip(1, 1, 0), nullptr));
  voice.playPreview(std::unique_ptr<Track>(newTrack(nullptr, flatClip(5, 2, 0), nullptr)));
  renderLeft(30);
  voice.play(a, StartPart::Intro);  // frees the preview
  EXPECT_EQ(renderLeft(28), repeat(1, 28));
  voice.playPreview(std::unique_ptr<Track>(newTrack(nullptr, flatClip(5, 2, 0), nullptr)));
  voice.play(nullptr, StartPart::Intro);  // frees the second
  EXPECT_EQ(voice.track(), nullptr);
}

TEST_F(VoiceTest, ReplayingTheSamePreviewRestartsIt) {
  Track* preview = newTrack(nullptr, flatClip(2, 4, 0), nullptr);
  voice.playPreview(std::unique_ptr<Track>(preview));
  renderLeft(40);
  voice.play(preview, StartPart::Intro);
  EXPECT_EQ(voice.track(), preview);
  EXPECT_EQ(renderLeft(56), repeat(4, 56));
}

TEST_F(VoiceTest, DestroyingTheVoiceFreesItsPreview) {
  auto other = std::make_unique<Voice>();
  other->playPreview(std::unique_ptr<Track>(newTrack(nullptr, flatClip(1, 1, 0), nullptr)));
  other.reset();
}

// --- mixer ---

// Renders a constant block through the base class's refill mechanism.
class ConstantSource : public SoundSource {
 public:
  ConstantSource(float value, int32_t total) : value_(value), left_(total) {
    gainLeft = 1.0f;
    gainRight = -1.0f;
  }
  int32_t refill(const float*& block, int32_t& blockCount) override {
    if (left_ <= 0) return SoundSource::refill(block, blockCount);
    block_.assign(3, value_);  // small blocks: refill runs mid-render
    blockCount = std::min<int32_t>(3, left_);
    left_ -= blockCount;
    block = block_.data();
    return blockCount;
  }

 private:
  float value_;
  int32_t left_;
  std::vector<float> block_;
};

TEST(MixerTest, EmptyListIsSilence) {
  Mixer mixer;
  std::vector<int16_t> out(20, 123);
  std::vector<float> scratch(20);
  mixer.mixSources(out.data(), 10, scratch.data());
  for (int16_t s : out) EXPECT_EQ(s, 0);
}

TEST(MixerTest, FullScaleVoiceSamplesTruncateTo9829And9830) {
  // Filter 1 with nibble 7 (or 8) clamps to 32767 (or -32768) from the
  // second sample on.
  auto song = TestClip().add(test::constantFrame(1, 0, 7), test::constantFrame(1, 0, 8)).build();
  Playlist playlist;
  Track* t = playlist.append(std::unique_ptr<Track>(newTrack(nullptr, std::move(song), nullptr)));
  Voice voice;
  voice.play(t, StartPart::Intro);
  Mixer mixer;
  mixer.addSource(voice);
  std::vector<int16_t> out(56);
  std::vector<float> scratch(56);
  mixer.mixSources(out.data(), 28, scratch.data());
  EXPECT_EQ(out[2], 9829);
  EXPECT_EQ(out[3], -9830);
}

TEST(MixerTest, BaseSourceRendersBlocksAndSumsClampOrTruncate) {
  ConstantSource loud(0.5f, 10), louder(0.6f, 10), quiet(0.9f / 32767.0f, 4);
  Mixer mixer;
  mixer.addSource(quiet);
  std::vector<int16_t> out(2 * 12);
  std::vector<float> scratch(2 * 12);
  mixer.mixSources(out.data(), 12, scratch.data());
  EXPECT_EQ(out[0], 0);  // 0.9 truncates
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[8], 0);  // out of data: silence

  mixer.addSource(loud);
  mixer.addSource(louder);
  mixer.mixSources(out.data(), 12, scratch.data());
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
  EXPECT_EQ(out[2 * 9], 32767);
  EXPECT_EQ(out[2 * 10], 0);  // all three sources ended
}

TEST(MixerTest, NewestSourceRendersFirstAndOthersAdd) {
  ConstantSource a(0.25f, 100), b(0.125f, 100);
  Mixer mixer;
  mixer.addSource(a);
  mixer.addSource(b);
  std::vector<float> scratch = {9.0f, 9.0f};  // rendered over, not added to
  std::vector<int16_t> out(2);
  mixer.mixSources(out.data(), 1, scratch.data());
  EXPECT_EQ(scratch[0], 0.375f);
  EXPECT_EQ(out[0], int16_t(0.375 * 32767));
  // Re-adding moves a source to the head instead of linking it twice.
  mixer.addSource(a);
  mixer.mixSources(out.data(), 1, scratch.data());
  EXPECT_EQ(scratch[0], 0.375f);
  EXPECT_EQ(a.next, &b);
}

TEST(MixerTest, SourcesAndMixerMayDieInEitherOrder) {
  auto voice = std::make_unique<Voice>();
  {
    Mixer mixer;
    mixer.addSource(*voice);
  }
  EXPECT_FALSE(voice->isLinked());
  Mixer mixer;
  {
    Voice shortLived;
    mixer.addSource(shortLived);
  }
  EXPECT_TRUE(mixer.empty());
}

}  // namespace
}  // namespace wc
