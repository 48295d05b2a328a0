// wavecrate-export --tracks and --join-short, run as a user would.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <taglib/flacfile.h>

#include "playlist/ShortTracks.h"
#include "playlist/TrackExporter.h"
#include "support/CliRun.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

CliResult runIn(const Path& directory, const std::string& arguments) {
  return runCli(directory, "wavecrate-export", arguments);
}

class TrackExportCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int clip : {testdisc::kSongs[0], testdisc::kChatter6, testdisc::kSongs[2]}) f.addTrack(clip);
    ASSERT_TRUE(f.session->writePlaylistFile(f.workPath("Friday Mix.wcpl").string()));
    std::filesystem::create_directory(f.workPath("out"));
  }
  ViewFixture f;
};

TEST_F(TrackExportCliTest, WritesTheFilesTheWindowPlans) {
  struct Case {
    std::string arguments;
    TrackFormat format;
    std::string album;
  };
  const Case cases[] = {
      {"--tracks out 'Friday Mix.wcpl'", TrackFormat::Flac, "Friday Mix"},
      {"--tracks out --format opus --quality 96 --album 'Late Show' 'Friday Mix.wcpl'", TrackFormat::Opus, "Late Show"},
      {"--format mp3 --tracks out 'Friday Mix.wcpl'", TrackFormat::Mp3, "Friday Mix"},
      {"--tracks out --format wav --album 'A/B' 'Friday Mix.wcpl'", TrackFormat::Wave, "A/B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::filesystem::remove_all(f.workPath("out"));  // the export makes it again
    const CliResult r = runIn(f.disc.directory(), c.arguments);
    ASSERT_EQ(r.status, 0) << r.output;
    const TrackExportPlan plan = planTrackExport(f.session->playlist(), f.catalogue(), c.album, c.format);
    ASSERT_EQ(plan.tracks.size(), 3u);
    for (const std::string& name : plan.fileNames())
      EXPECT_TRUE(std::filesystem::exists(f.workPath("out") / name)) << name;
    EXPECT_EQ(readText(f.workPath("out") / plan.playlistName), m3u8Text(plan));
  }
}

// The cover is a square PNG painted on the offscreen platform without a
// display, and its picture block says so.
TEST_F(TrackExportCliTest, FilesCarryTheAlbumCover) {
  const CliResult r = runIn(f.disc.directory(), "--tracks out 'Friday Mix.wcpl'");
  ASSERT_EQ(r.status, 0) << r.output;
  const auto plan = planTrackExport(f.session->playlist(), f.catalogue(), "Friday Mix", TrackFormat::Flac);
  TagLib::FLAC::File file((f.workPath("out") / plan.tracks[2].fileName).c_str());
  ASSERT_TRUE(file.isValid());
  const auto pictures = file.pictureList();
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures.front()->mimeType(), "image/png");
  EXPECT_EQ(std::vector<int>({pictures.front()->width(), pictures.front()->height(), pictures.front()->colorDepth()}),
            std::vector<int>({600, 600, 24}));
  const TagLib::ByteVector png = pictures.front()->data();
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.mid(1, 3), TagLib::ByteVector("PNG"));
  EXPECT_EQ(png.mid(16, 4).toUInt(), 600u);  // IHDR width, big-endian
  EXPECT_EQ(png.mid(20, 4).toUInt(), 600u);  // height
}

TEST_F(TrackExportCliTest, BadOptionsAreUsageErrors) {
  const std::pair<const char*, int> cases[] = {
      {"--tracks out --format ogg 'Friday Mix.wcpl'", 64},
      {"--format flac 'Friday Mix.wcpl' out.wav", 64},
      {"--tracks out 'Friday Mix.wcpl' extra.wav", 64},
      {"--tracks out --quality loud 'Friday Mix.wcpl'", 64},
      {"--tracks", 64},
      {"--tracks out --format mp3 --quality 12 'Friday Mix.wcpl'", 64},
      {"--tracks out --format opus --quality 5 'Friday Mix.wcpl'", 64},
      {"--tracks out --format wav --quality 3 'Friday Mix.wcpl'", 64},
      {"--tracks no/such/folder 'Friday Mix.wcpl'", 1},
  };
  for (const auto& [arguments, status] : cases) {
    const CliResult r = runIn(f.disc.directory(), arguments);
    EXPECT_EQ(r.status, status) << arguments << "\n" << r.output;
    EXPECT_NE(r.output.find("wavecrate-export: "), std::string::npos) << arguments;
  }
  EXPECT_TRUE(f.fs.listDirectory(f.workPath("out")).empty());
}

TEST_F(TrackExportCliTest, JoinShortChangesOnlyTheCueSheet) {
  ASSERT_EQ(runIn(f.disc.directory(), "'Friday Mix.wcpl' kept.wav").status, 0);
  const CliResult joined = runIn(f.disc.directory(), "--join-short 'Friday Mix.wcpl' joined.wav");
  ASSERT_EQ(joined.status, 0) << joined.output;
  EXPECT_TRUE(readText(f.workPath("kept.wav")) == readText(f.workPath("joined.wav")));
  auto tracks = [](const std::string& cue) {
    int n = 0;
    for (size_t at = cue.find("TRACK"); at != std::string::npos; at = cue.find("TRACK", at + 1)) ++n;
    return n;
  };
  const auto marks = marksAfterJoining(cdTrackSectors(f.session->playlist()));
  EXPECT_EQ(tracks(readText(f.workPath("kept.cue"))), 3);
  EXPECT_EQ(tracks(readText(f.workPath("joined.cue"))), int(std::count(marks.begin(), marks.end(), true)));
  EXPECT_LT(tracks(readText(f.workPath("joined.cue"))), 3);
}

// The window's questions come from the session's flows; here the command
// line answers them: files are replaced, and the stale files of an earlier
// export stay unless --remove-stale is given. Each run follows the one before.
TEST_F(TrackExportCliTest, AnswersTheExportQuestionsFromTheCommandLine) {
  const auto longPlan = planTrackExport(f.session->playlist(), f.catalogue(), "Friday Mix", TrackFormat::Flac);
  f.session->playlist().removeTrack(f.tracks().back());
  ASSERT_TRUE(f.session->writePlaylistFile(f.workPath("Short.wcpl").string()));
  const size_t longFiles = longPlan.fileNames().size();
  const std::string replacingLong = "wavecrate-export: replacing " + std::to_string(longFiles) + " existing files\n";
  const std::string replacingShort =
      "wavecrate-export: replacing " + std::to_string(longFiles - 1) + " existing files\n";
  const std::string staleStays =
      "wavecrate-export: 1 file(s) of an earlier export of this album stay in the folder (--remove-stale removes "
      "them)\n";
  struct Run {
    std::string arguments;
    std::vector<std::string> said;  // none: no line of the program's own
    bool staleFileStays;
  };
  const Run runs[] = {
      {"--tracks out 'Friday Mix.wcpl'", {}, true},
      {"--tracks out 'Friday Mix.wcpl'", {replacingLong}, true},
      {"--tracks out --album 'Friday Mix' Short.wcpl", {replacingShort, staleStays}, true},
      {"--tracks out 'Friday Mix.wcpl'", {replacingLong}, true},
      {"--tracks out --album 'Friday Mix' --remove-stale Short.wcpl", {replacingShort}, false},
      {"'Friday Mix.wcpl' cd.wav", {}, false},
      {"'Friday Mix.wcpl' cd.wav", {}, false},  // the CUE sheet is replaced too
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.arguments);
    const CliResult r = runIn(f.disc.directory(), run.arguments);
    ASSERT_EQ(r.status, 0) << r.output;
    for (const std::string& line : run.said) EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    if (run.said.empty()) {
      EXPECT_EQ(r.output.find("wavecrate-export: "), std::string::npos) << r.output;
    }
    EXPECT_EQ(std::filesystem::exists(f.workPath("out") / longPlan.tracks[2].fileName), run.staleFileStays);
  }
  EXPECT_TRUE(std::filesystem::exists(f.workPath("cd.cue")));
}

}  // namespace
}  // namespace wc::test
