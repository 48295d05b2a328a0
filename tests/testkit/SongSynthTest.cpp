// The demo songs' timeline: any stretch of it renders the same samples, so
// an intro, the song and an outro played back to back join without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "testkit/discgen/SongSynth.h"

namespace wc {
namespace {

SongStyle testStyle(Groove groove, KeysSound keys) {
  SongStyle s;
  s.seed = 77;
  s.key = 43;
  s.bpm = 126;
  s.swing = 0.2;
  s.groove = groove;
  s.keys = keys;
  s.bodyBars = 2;
  return s;
}

float largestDifference(const std::vector<float>& a, size_t from, const std::vector<float>& b, size_t count) {
  float worst = 0.0f;
  for (size_t i = 0; i < count; ++i) worst = std::max(worst, std::fabs(a[from + i] - b[i]));
  return worst;
}

TEST(SongSynthTest, IntroSongAndOutroJoinWithoutASeam) {
  for (const auto& [groove, keys] :
       {std::pair{Groove::Backbeat, KeysSound::Guitar}, std::pair{Groove::FourOnTheFloor, KeysSound::Strings},
        std::pair{Groove::HalfTime, KeysSound::ElectricPiano}}) {
    const Song song(testStyle(groove, keys));
    const MixBuffer whole = song.render(-2, 4);  // intro, body, outro
    const MixBuffer intro = song.render(-2, 0);
    const MixBuffer body = song.render(0, 2);
    const MixBuffer outro = song.render(2, 4);
    ASSERT_EQ(intro.samples() + body.samples() + outro.samples(), whole.samples());
    EXPECT_LT(largestDifference(whole.left, 0, intro.left, intro.samples()), 1e-5f);
    EXPECT_LT(largestDifference(whole.left, intro.samples(), body.left, body.samples()), 1e-5f);
    EXPECT_LT(largestDifference(whole.right, intro.samples() + body.samples(), outro.right, outro.samples()), 1e-5f);
  }
}

TEST(SongSynthTest, SameStyleSameSamplesAndTheSeedMatters) {
  const SongStyle style = testStyle(Groove::Backbeat, KeysSound::Organ);
  const MixBuffer a = Song(style).render(0, 2);
  EXPECT_EQ(a.left, Song(style).render(0, 2).left);
  SongStyle other = style;
  other.seed = 78;
  EXPECT_NE(a.left, Song(other).render(0, 2).left);
  // Music, not silence, and never near clipping before the final soft knee.
  float peak = 0.0f;
  for (float v : a.left) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.1f);
  EXPECT_LT(peak, 1.2f);
}

TEST(SongSynthTest, EndingsAndLengths) {
  const Song song(testStyle(Groove::Backbeat, KeysSound::ElectricPiano));
  const size_t twoBars = song.render(2, 4).samples();
  EXPECT_NEAR(double(twoBars), 2 * song.barSeconds() * kSignalSampleRate, 1.0);

  const MixBuffer faded = song.render(2, 4, Ending::FadeOut);
  EXPECT_EQ(faded.samples(), twoBars);
  EXPECT_NEAR(faded.left.back(), 0.0f, 1e-4f);

  // The last chord rings on past the bar line, then dies away.
  const MixBuffer final = song.render(2, 4, Ending::FinalHit);
  ASSERT_GT(final.samples(), twoBars + samplesFor(1.0));
  float ring = 0.0f;
  for (size_t i = twoBars + samplesFor(0.1); i < twoBars + samplesFor(0.6); ++i)
    ring = std::max(ring, std::fabs(final.left[i]));
  EXPECT_GT(ring, 0.01f);
  EXPECT_NEAR(final.left.back(), 0.0f, 1e-4f);
  // Before the hit it is the same music as without an ending.
  EXPECT_LT(largestDifference(final.left, 0, song.render(2, 4).left, twoBars / 2), 1e-5f);
}

}  // namespace
}  // namespace wc
