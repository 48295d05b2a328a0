#include <gtest/gtest.h>

#include <vector>

#include "audio/WaveWriter.h"
#include "base/LittleEndian.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/Playlist.h"
#include "support/AdpcmTestClips.h"
#include "support/MemoryOutputFile.h"
#include "support/PositionReports.h"

namespace wc {
namespace {

using test::flatFrame;
using test::TestClip;

using test::Report;
using test::ReportLog;

const Clip kSomeClip{};

class OfflineRenderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(writer.open(MemoryOutputFile::on(contents), 24000, 24000)); }
  Track* append(std::unique_ptr<ClipAudio> intro, std::unique_ptr<ClipAudio> song, std::unique_ptr<ClipAudio> outro) {
    auto* t = new Track;
    t->clip = &kSomeClip;
    t->introAudio = std::move(intro);
    t->songAudio = std::move(song);
    t->outroAudio = std::move(outro);
    playlist.append(std::unique_ptr<Track>(t));
    return t;
  }
  // The left samples of the finished file (at equal rates each is the decoded
  // sample, negatives one higher).
  std::vector<int> finishLeft() {
    EXPECT_TRUE(writer.finish());
    std::vector<int> left;
    for (size_t i = 44; i + 3 < contents.bytes.size(); i += 4) left.push_back(int16_t(readU16LE(&contents.bytes[i])));
    return left;
  }

  MemoryFileContents contents;
  WaveWriter writer;
  Playlist playlist;
  ReportLog log;
  OfflineRenderer renderer{log.callback()};
};

TEST_F(OfflineRenderTest, RendersIntroSongOutroAtFullScaleWithOneHistory) {
  auto intro = TestClip().add(test::constantFrame(0, 0, 1), flatFrame(0)).build();  // 4096
  auto song = TestClip().add(test::constantFrame(1, 0, 0), flatFrame(0)).build();   // predicts
  auto outro = TestClip().add(flatFrame(-3), flatFrame(0)).build();
  Track* t = append(std::move(intro), std::move(song), std::move(outro));
  EXPECT_EQ(renderer.renderTrack(t, writer), 84);
  const std::vector<int> left = finishLeft();
  ASSERT_EQ(left.size(), 320u);
  EXPECT_EQ(left[0], 4096);
  EXPECT_EQ(left[28], 3840);  // the song continues the intro's history
  EXPECT_EQ(left[56], -1);    // e = -3 decodes to -2, written one higher
  EXPECT_EQ(left[84], 0);
}

TEST_F(OfflineRenderTest, ReportsAtEveryChunkAndEvery24000Samples) {
  TestClip clip;
  clip.addRepeated(4097, flatFrame(1), flatFrame(1));
  Track* t = append(nullptr, clip.build(), nullptr);
  EXPECT_EQ(renderer.renderTrack(t, writer), 4097 * 28);
  const std::vector<Report> expected{{t, 0}, {t, 24024}, {t, 48048}, {t, 72072}, {t, 96096}, {t, 114688}};
  EXPECT_EQ(log.reports, expected);
  writer.finish();
}

TEST_F(OfflineRenderTest, MissingClipsAreSkipped) {
  Track* songOnly = append(nullptr, TestClip().add(flatFrame(2), flatFrame(2)).build(),
                           TestClip().add(flatFrame(3), flatFrame(3)).build());
  Track* nothing = append(nullptr, nullptr, nullptr);
  Track* emptyClip = append(TestClip().build(), nullptr, nullptr);
  EXPECT_EQ(renderer.renderTrack(songOnly, writer), 56);
  EXPECT_EQ(renderer.renderTrack(nothing, writer), 0);
  EXPECT_EQ(renderer.renderTrack(emptyClip, writer), 0);
  EXPECT_EQ(writer.framesPushed(), 56);
  const std::vector<int> left = finishLeft();
  EXPECT_EQ(left[27], 2);
  EXPECT_EQ(left[28], 3);
}

TEST_F(OfflineRenderTest, NextTrackFollowsWithoutGapWhileItsIndexRoundsUp) {
  Track* a = append(nullptr, TestClip().addRepeated(12, flatFrame(1), flatFrame(1)).build(), nullptr);
  Track* b = append(nullptr, TestClip().addRepeated(2, flatFrame(-5), flatFrame(-5)).build(), nullptr);
  EXPECT_EQ(writer.sectorsSoFar(), 0);
  renderer.renderTrack(a, writer);      // 336 samples
  EXPECT_EQ(writer.sectorsSoFar(), 2);  // b's CUE index
  renderer.renderTrack(b, writer);
  const std::vector<int> left = finishLeft();
  EXPECT_EQ(left[335], 1);
  EXPECT_EQ(left[336], -3);  // e = -5: decoded -4, written -3
  EXPECT_EQ(left[391], -3);
  EXPECT_EQ(left[392], 0);
  EXPECT_EQ(left.size(), 640u);
}

}  // namespace
}  // namespace wc
