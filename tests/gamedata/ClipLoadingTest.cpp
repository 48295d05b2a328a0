#include <gtest/gtest.h>

#include <algorithm>

#include "gamedata/ClipLoader.h"
#include "playlist/TrackAudio.h"
#include "support/GameDataHarness.h"

namespace wc::test {
namespace {

class ClipLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    records = writeDisc(h.discMount, {{4, 1000}, {4, 0}, {1, 300}, {4, 77}});
    h.gameData->loadCatalogue();
    h.fs.clearLog();
  }
  Path discPack(const char* name) const { return h.discMount / "AUDIO" / "STREAMS" / name; }
  void expectPackBytes(const ClipAudio& audio, uint32_t station, uint32_t offset) {
    for (size_t i = 0; i < audio.size(); ++i)
      if (audio.data()[i] != packByte(station, offset + i)) FAIL() << "byte " << i;
  }

  GameDataHarness h;
  std::vector<LookupRecord> records;
};

TEST_F(ClipLoadingTest, ReadsSizePlusHeaderFromTheDiscPack) {
  const auto audio = h.gameData->loadClipAudio(4, 2);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->size(), 77u + 8068u);
  expectPackBytes(*audio, 4, records[3].offset);
  EXPECT_EQ(h.fs.openedForReading(), std::vector<Path>{discPack("CH.PAK")});
}

TEST_F(ClipLoadingTest, SizeZeroClipIsExactlyTheHeader) {
  const auto audio = h.gameData->loadClipAudio(4, 1);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->size(), 8068u);
  expectPackBytes(*audio, 4, records[1].offset);
}

TEST_F(ClipLoadingTest, CachedPackIsPreferred) {
  std::vector<uint8_t> cached(40000, 0xAB);
  writeBytes(h.cache() / "ADVERTS.PAK", cached);
  const auto audio = h.gameData->loadClipAudio(1, 0);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->size(), 300u + 8068u);
  EXPECT_TRUE(std::all_of(audio->data(), audio->data() + audio->size(), [](uint8_t b) { return b == 0xAB; }));
  EXPECT_EQ(h.fs.openedForReading(), std::vector<Path>{h.cache() / "ADVERTS.PAK"});
}

TEST_F(ClipLoadingTest, ClipsOutsideTheCatalogueAreNotLoaded) {
  EXPECT_EQ(h.gameData->loadClipAudio(4, 3), nullptr);
  EXPECT_EQ(h.gameData->loadClipAudio(4, -1), nullptr);
  EXPECT_EQ(h.gameData->loadClipAudio(16, 0), nullptr);
  EXPECT_EQ(h.gameData->loadClipAudio(-1, 0), nullptr);
  h.gameData->catalogue().stations[4].clipCount = 100000;  // a corrupt count
  EXPECT_EQ(h.gameData->loadClipAudio(4, 300), nullptr);
  EXPECT_TRUE(h.fs.openedForReading().empty());
}

TEST_F(ClipLoadingTest, PackTooShortForTheClipGivesNothing) {
  // The last clip of CH ends exactly at the end of the pack.
  const uint64_t packSize = uint64_t(records[3].offset) + 77 + 8068;
  ASSERT_EQ(std::filesystem::file_size(discPack("CH.PAK")), packSize);
  EXPECT_TRUE(h.gameData->loadClipAudio(4, 2));
  h.fs.shrinkFile(discPack("CH.PAK"), packSize - 1);
  EXPECT_EQ(h.gameData->loadClipAudio(4, 2), nullptr);
  EXPECT_TRUE(h.gameData->loadClipAudio(4, 0));
}

TEST_F(ClipLoadingTest, AbsurdSizesAndOffsetsNeitherWrapNorAllocate) {
  Clip& clip = h.gameData->catalogue().stations[4].clips[0];
  clip.size = 0xFFFFFFFFu;  // + 8068 would wrap to 8067 in 32 bits
  EXPECT_EQ(h.gameData->loadClipAudio(4, 0), nullptr);
  clip.size = 0xFFFFFFFFu - 8068u + 1;  // exactly wraps to 0 in 32 bits
  EXPECT_EQ(h.gameData->loadClipAudio(4, 0), nullptr);
  clip.size = 10;
  clip.offset = 0xFFFFFFF0u;
  EXPECT_EQ(h.gameData->loadClipAudio(4, 0), nullptr);
  EXPECT_EQ(h.fs.bytesRead(), 0u);
}

TEST_F(ClipLoadingTest, MissingPackEverywhereGivesNothingWithoutAMessage) {
  std::filesystem::remove(discPack("TK.PAK"));
  h.gameData->catalogue().stations[15].clipCount = 1;
  EXPECT_EQ(h.gameData->loadClipAudio(15, 0), nullptr);
  EXPECT_TRUE(h.prompts.shown.empty());
}

TEST(ReadClipAudioTest, PackMustHoldTheWholeClip) {
  ScopedTempDir dir;
  writeBytes(dir.path() / "P.PAK", std::vector<uint8_t>(9000, 1));
  FaultyFileSystem fs;
  auto pack = fs.openRead(dir.path() / "P.PAK");
  ASSERT_TRUE(pack);
  EXPECT_TRUE(readClipAudio(*pack, 932, 0));
  EXPECT_EQ(readClipAudio(*pack, 933, 0), nullptr);
  EXPECT_EQ(readClipAudio(*pack, 0, 933), nullptr);
}

// ---- Loading a playlist track's intro, song and outro ----

// CH holds: song 0 with intros 1-2 and outros 3-4, song 5 without intros and
// with outro 6. Every clip has its own size, so a buffer tells its clip.
class TrackAudioTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kSizes[] = {1000, 16, 32, 48, 64, 200, 80};

  void SetUp() override {
    std::vector<FixtureClip> clips;
    for (uint32_t size : kSizes) clips.push_back({4, size});
    writeDisc(h.discMount, clips);
    h.gameData->loadCatalogue();
    Station& ch = h.gameData->catalogue().stations[4];
    ch.clips[0].setKind(ClipClass::Song);
    ch.clips[0].intros = 2;
    ch.clips[0].outros = 2;
    ch.clips[5].setKind(ClipClass::Song);
    ch.clips[5].outros = 1;
    h.fs.clearLog();
  }
  std::unique_ptr<Track> track(int clipIndex, int intro, int outro) {
    std::unique_ptr<Track> t(createTrack(h.gameData->catalogue(), 4, clipIndex));
    t->intro = intro;
    t->outro = outro;
    return t;
  }
  static size_t clipOf(const std::unique_ptr<ClipAudio>& audio) {
    if (!audio) return SIZE_MAX;
    for (size_t k = 0; k < std::size(kSizes); ++k)
      if (audio->size() == kSizes[k] + 8068u) return k;
    return SIZE_MAX - 1;
  }

  GameDataHarness h;
  RecordingLoadIndicator indicator;
};

TEST_F(TrackAudioTest, LoadsChosenIntroSongAndOutro) {
  auto t = track(0, 1, 1);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_EQ(clipOf(t->introAudio), 2u);
  EXPECT_EQ(clipOf(t->songAudio), 0u);
  EXPECT_EQ(clipOf(t->outroAudio), 4u);
  EXPECT_EQ(h.fs.openedForReading().size(), 3u);
}

TEST_F(TrackAudioTest, WithoutIntroOutroOnlyTheSong) {
  auto t = track(0, 0, 0);
  loadTrackAudio(*h.gameData, *t, false, LoadIndicatorMode::Silent, nullptr);
  EXPECT_FALSE(t->introAudio);
  EXPECT_EQ(clipOf(t->songAudio), 0u);
  EXPECT_FALSE(t->outroAudio);
}

TEST_F(TrackAudioTest, SongWithoutIntrosNeverGetsAnIntroWhateverItsIndex) {
  auto t = track(5, 3, 0);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_FALSE(t->introAudio);
  EXPECT_EQ(clipOf(t->songAudio), 5u);
  EXPECT_EQ(clipOf(t->outroAudio), 6u);
}

TEST_F(TrackAudioTest, CountsReachingPastTheStationLoadNothingBeyondIt) {
  h.gameData->catalogue().stations[4].clips[5].outros = 200;
  auto t = track(5, 0, 150);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_FALSE(t->outroAudio);
  EXPECT_EQ(clipOf(t->songAudio), 5u);
}

TEST_F(TrackAudioTest, SecondLoadWithAllSlotsFilledReadsNothing) {
  auto t = track(0, 0, 1);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  const ClipAudio* song = t->songAudio.get();
  h.fs.clearLog();
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Transport, &indicator);
  EXPECT_TRUE(h.fs.openedForReading().empty());
  EXPECT_EQ(h.fs.bytesRead(), 0u);
  EXPECT_EQ(t->songAudio.get(), song);

  // A changed outro: only that part is read again.
  t->outroAudio.reset();
  t->outro = 0;
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_EQ(h.fs.openedForReading().size(), 1u);
  EXPECT_EQ(clipOf(t->outroAudio), 3u);
}

TEST_F(TrackAudioTest, FailedLoadLeavesTheSlotEmptyAndIsRetriedLater) {
  const Path pack = h.discMount / "AUDIO" / "STREAMS" / "CH.PAK";
  const auto bytes = readBytes(pack);
  std::filesystem::remove(pack);
  auto t = track(0, 0, 0);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_FALSE(t->songAudio);
  EXPECT_FALSE(t->introAudio);
  writeBytes(pack, bytes);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, nullptr);
  EXPECT_EQ(clipOf(t->songAudio), 0u);
  EXPECT_EQ(clipOf(t->introAudio), 1u);
}

// Records each indicator call with the number of pack opens so far, so the
// order of marks and loads is checked too.
class OrderedIndicator final : public LoadIndicator {
 public:
  explicit OrderedIndicator(FaultyFileSystem& fs) : fs_(fs) {}
  std::vector<std::string> events;
  void setBusy(bool busy) override { note(busy ? "busy" : "idle"); }
  void repaintTransport(bool clear) override { note(clear ? "transport(clear)" : "transport"); }
  void repaintAll() override { note("all"); }

 private:
  void note(const std::string& what) { events.push_back(what + "@" + std::to_string(fs_.openedForReading().size())); }
  FaultyFileSystem& fs_;
};

TEST_F(TrackAudioTest, IndicatorModes) {
  {
    OrderedIndicator ordered(h.fs);
    auto t = track(0, 0, 0);
    loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Transport, &ordered);
    EXPECT_EQ(ordered.events,
              (std::vector<std::string>{"busy@0", "transport(clear)@0", "idle@3", "transport(clear)@3"}));
  }
  {
    h.fs.clearLog();
    OrderedIndicator ordered(h.fs);
    auto t = track(0, 0, 0);
    loadTrackAudio(*h.gameData, *t, false, LoadIndicatorMode::WholeView, &ordered);
    EXPECT_EQ(ordered.events, (std::vector<std::string>{"busy@0", "all@0", "idle@1", "transport(clear)@1"}));
  }
  auto t = track(0, 0, 0);
  loadTrackAudio(*h.gameData, *t, true, LoadIndicatorMode::Silent, &indicator);
  EXPECT_TRUE(indicator.events.empty());
  EXPECT_TRUE(t->songAudio);
}

}  // namespace
}  // namespace wc::test
