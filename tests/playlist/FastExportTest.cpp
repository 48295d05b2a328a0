// A whole export through the fast writer against the same export through the
// straightforward one: the same wave file, the same CUE sheet and the same
// progress reports, in the same order, on the exporting thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "audio/FastWaveWriter.h"
#include "audio/ResamplePlan.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "support/AdpcmTestClips.h"
#include "support/DiscFixture.h"
#include "support/PositionReports.h"

namespace wc {
namespace {

using test::readBytes;

using test::Report;

class CountingObserver final : public ExportObserver {
 public:
  void trackStarts(int number, Track&) override { started.push_back(number); }
  std::vector<int> started;
};

class FastExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = Path(WAVECRATE_BINARY_DIR) / "fast-export-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    // Tracks of odd lengths, so that every track boundary falls at another
    // phase of the 80-frame period; one track without audio, one of a
    // single frame, one longer than a chunk.
    const uint32_t frames[] = {3, 1, 0, 4100, 57, 1000, 29, 2};
    uint32_t seed = 1;
    for (uint32_t f : frames) {
      auto* t = new Track;
      t->clip = &clip;
      if (f > 0) {
        t->introAudio = test::randomClip(f / 3 + 1, seed++);
        t->songAudio = test::randomClip(f, seed++);
        t->outroAudio = test::randomClip(f % 7, seed++);
      }
      playlist.append(std::unique_ptr<Track>(t));
    }
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  struct Result {
    std::vector<uint8_t> wave, cue;
    std::vector<Report> reports;
    std::vector<int> started;
  };
  Result exportWith(const WaveSinkOptions& options, bool cdImage) {
    // Reports must come on the exporting thread, whatever the writer's workers do.
    const std::thread::id exportThread = std::this_thread::get_id();
    std::vector<Report> reports;
    bool reportedElsewhere = false;
    const OfflineRenderer renderer([&](Track* track, int32_t position) {
      reports.push_back({track, position});
      reportedElsewhere |= std::this_thread::get_id() != exportThread;
    });
    CountingObserver observer;
    const Path wave = dir / "mix.wav";
    EXPECT_EQ(exportPlaylist(realFileSystem(), playlist, wave.string(), cdImage, renderer, observer, options),
              ExportError::None);
    EXPECT_FALSE(reportedElsewhere);
    Result r{readBytes(wave), cdImage ? readBytes(dir / "mix.cue") : std::vector<uint8_t>{}, reports, observer.started};
    std::filesystem::remove(wave);
    std::filesystem::remove(dir / "mix.cue");
    return r;
  }

  Path dir;
  const Clip clip{};
  Playlist playlist;
};

TEST_F(FastExportTest, FastAndReferenceExportsAreIdentical) {
  for (bool cdImage : {true, false}) {
    const Result reference = exportWith({/*reference=*/true, {}}, cdImage);
    ASSERT_GT(reference.wave.size(), 44u);
    ASSERT_FALSE(reference.reports.empty());
    for (SimdLevel level : {SimdLevel::Portable, SimdLevel::Avx2, SimdLevel::Avx512}) {
      if (!simdLevelAvailable(level)) continue;
      for (int workers : {1, 2}) {
        const Result fast = exportWith({false, {level, workers}}, cdImage);
        EXPECT_TRUE(fast.wave == reference.wave) << simdLevelName(level) << " x" << workers;
        EXPECT_EQ(fast.cue, reference.cue);
        EXPECT_EQ(fast.reports, reference.reports);
        EXPECT_EQ(fast.started, reference.started);
      }
    }
  }
}

}  // namespace
}  // namespace wc
