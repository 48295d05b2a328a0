// Tracks shorter than 4 seconds joined in the CUE sheet so that burning
// programs accept it; the wave file stays the same.
#include <gtest/gtest.h>

#include "playlist/CueSheet.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/ShortTracks.h"
#include "support/CliRun.h"
#include "support/DiscFixture.h"
#include "support/SyntheticPlaylist.h"

namespace wc::test {
namespace {

CliResult run(const std::string& command) { return runShell(command + " 2>&1"); }

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ShortTrackJoin, MarksJoinEachShortTrackWithTheOneAfter) {
  struct Case {
    const char* what;
    std::vector<int64_t> starts;
    int64_t end;
    std::vector<bool> kept;
    std::vector<int> shortOnes;
  };
  const Case cases[] = {
      {"nothing short", {0, 400, 1000}, 1500, {true, true, true}, {}},
      {"exactly 4 seconds is long enough", {0, 300, 600}, 900, {true, true, true}, {}},
      {"one short track takes the next", {0, 400, 500, 1000}, 1500, {true, true, false, true}, {2}},
      {"a short first track keeps its mark", {0, 100, 600}, 1000, {true, false, true}, {1}},
      {"a short last track joins the one before", {0, 500, 900}, 1000, {true, true, false}, {3}},
      {"a run of short tracks joins until long enough",
       {0, 400, 450, 500, 550, 1200},
       1600,
       {true, true, false, false, false, true},
       {2, 3, 4}},
      {"a short run at the end joins backwards", {0, 500, 850, 900}, 950, {true, true, false, false}, {3, 4}},
      {"a whole disc shorter than 4 seconds keeps one track", {0, 100, 200}, 250, {true, false, false}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    const TrackSectors sectors{c.starts, c.end};
    EXPECT_EQ(marksAfterJoining(sectors), c.kept) << c.what;
    EXPECT_EQ(shortTrackNumbers(sectors), c.shortOnes) << c.what;
  }
}

TEST(ShortTrackJoin, QuestionListsTheTracks) {
  EXPECT_EQ(shortTracksQuestion({10, 11, 15}),
            "Tracks 10, 11 and 15 are shorter than 4 seconds, the shortest a CD track may be; burning programs "
            "refuse such a CUE sheet. Join each with the track after it in the CUE sheet? The audio stays the same.");
  EXPECT_EQ(shortTracksQuestion({3, 4}).substr(0, 32), "Tracks 3 and 4 are shorter than ");
  EXPECT_EQ(shortTracksQuestion({7}).substr(0, 28), "Track 7 is shorter than 4 se");
}

// The joined CUE sheet of a mix with short speech passes the burner's own
// check; the sheet as before does not, and the audio is the same.
TEST(ShortTrackJoin, JoinedCueSheetPassesCdrdao) {
  SyntheticPlaylist mix;
  mix.add("Song", "A", ClipClass::Song, 6.0, 1);
  mix.add("Chatter", "", ClipClass::Chatter, 2.25, 2);
  mix.add("Song", "B", ClipClass::Song, 5.0, 3);
  mix.add("Station ID", "", ClipClass::Chatter, 1.0, 4);
  mix.add("Song", "C", ClipClass::Song, 4.5, 5);
  EXPECT_EQ(shortTrackNumbers(cdTrackSectors(mix.playlist)), (std::vector<int>{2, 4}));

  ScopedTempDir dir;
  const OfflineRenderer renderer;
  ExportObserver observer;
  const Path kept = dir.path() / "kept.wav";
  const Path joined = dir.path() / "joined.wav";
  ASSERT_EQ(exportPlaylist(realFileSystem(), mix.playlist, kept.string(), true, renderer, observer), ExportError::None);
  ASSERT_EQ(exportPlaylist(realFileSystem(), mix.playlist, joined.string(), true, renderer, observer, {}, true),
            ExportError::None);
  EXPECT_TRUE(readText(kept) == readText(joined));
  const std::string keptCue = readText(dir.path() / "kept.cue");
  const std::string joinedCue = readText(dir.path() / "joined.cue");
  EXPECT_EQ(count(keptCue, "TRACK"), 5);
  EXPECT_EQ(count(joinedCue, "TRACK"), 3);
  EXPECT_NE(joinedCue.find("TRACK 03 AUDIO"), std::string::npos);
  // The joined tracks start where tracks 1, 2 and 4 started.
  const TrackSectors sectors = cdTrackSectors(mix.playlist);
  for (const size_t i : {size_t(0), size_t(1), size_t(3)})
    EXPECT_NE(joinedCue.find(cueIndexLine(sectors.starts[i])), std::string::npos) << i;

  if (run("command -v cdrdao").status != 0) GTEST_SKIP() << "cdrdao is not installed";
  const CliResult good = run("cdrdao show-toc '" + (dir.path() / "joined.cue").string() + "'");
  EXPECT_EQ(good.status, 0) << good.output;
  EXPECT_EQ(good.output.find("shorter than 4 seconds"), std::string::npos) << good.output;
  EXPECT_EQ(count(good.output, "TRACK"), 3) << good.output;
  const CliResult bad = run("cdrdao show-toc '" + (dir.path() / "kept.cue").string() + "'");
  EXPECT_NE(bad.output.find("shorter than 4 seconds"), std::string::npos) << bad.output;
}

}  // namespace
}  // namespace wc::test
