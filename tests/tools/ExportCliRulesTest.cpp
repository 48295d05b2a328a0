// wavecrate-export's rules for its arguments, its messages and its exit
// statuses: usage errors exit 64 and write nothing, outputs that would
// destroy the playlist or the cache are refused, failures name the file and
// the reason on one line, and a log gets at most one progress line per track.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/LittleEndian.h"
#include "playlist/PlaylistFile.h"
#include "session/Command.h"
#include "support/CliRun.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

size_t lineCount(const std::string& text) { return size_t(std::count(text.begin(), text.end(), '\n')); }

size_t linesContaining(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    if (text.substr(start, end - start).find(part) != std::string::npos) ++n;
    start = end + 1;
  }
  return n;
}

class ExportCliRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const PlaylistRecord song{testdisc::kMusic, testdisc::kSongs[0], 0, 0};
    const PlaylistRecord chatter{testdisc::kMusic, testdisc::kChatter5, 0, 0};
    playlist = encodePlaylistFile(std::vector<PlaylistRecord>{song, chatter, song});
    for (const char* name : {"list.wcpl", "list.wav", "mix.cue", "-odd.wcpl"}) writeBytes(f.workPath(name), playlist);
  }
  CliResult run(const std::string& arguments, const std::string& before = {}) {
    return runCli(f.disc.directory(), "wavecrate-export", arguments, before);
  }

  ViewFixture f;
  std::vector<uint8_t> playlist;
};

TEST_F(ExportCliRulesTest, UsageErrorsExit64AndWriteNothing) {
  const struct {
    const char* arguments;
    const char* message;
  } cases[] = {
      {"", "are needed"},
      {"--bogus list.wcpl out.wav", "unknown option --bogus"},
      {"list.wcpl out.mp3", "only export wave"},
      {"list.wcpl out", "only export wave"},
      {"list.wcpl out.wav extra.wav", "too many arguments"},
      {"list.wav list.wav", "overwrite the playlist"},
      {"mix.cue mix.wav", "overwrite the playlist"},  // the CUE sheet would replace it
      {"list.wcpl ./sub/../list.wcpl.wav", ""},       // not a conflict: succeeds (checked below)
      {"list.wcpl CACHE/out.wav", "audio cache"},
      {"list.wcpl 'say \"hi\".wav'", "double quote"},
      {"list.wcpl 'two\nlines.wav'", "line break"},
  };
  fs::create_directories(f.workPath("sub"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliResult result = run(c.arguments);
    if (*c.message == '\0') {
      EXPECT_EQ(result.status, 0) << result.output;
      continue;
    }
    EXPECT_EQ(result.status, 64) << result.output;
    EXPECT_EQ(lineCount(result.output), 1u) << result.output;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
  }
  for (const char* name : {"list.wav", "mix.cue"}) EXPECT_EQ(readBytes(f.workPath(name)), playlist) << name;
  EXPECT_FALSE(fs::exists(f.workPath("CACHE/out.wav")));
  EXPECT_FALSE(fs::exists(f.workPath("say \"hi\".wav")));
  EXPECT_FALSE(fs::exists(f.workPath("mix.wav")));
}

TEST_F(ExportCliRulesTest, DoubleDashEndsOptionsAndALogGetsOneLinePerTrack) {
  const CliResult result = run("-- -odd.wcpl out.wav");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(linesContaining(result.output, "track"), 3u) << result.output;
  EXPECT_EQ(lineCount(result.output), 3u) << result.output;
  EXPECT_TRUE(fs::exists(f.workPath("out.wav")));
}

TEST_F(ExportCliRulesTest, FailuresNameTheFileAndTheReasonOnOneLine) {
  const CliResult noDirectory = run("list.wcpl missing/out.wav");
  EXPECT_EQ(noDirectory.status, 1);
  EXPECT_EQ(noDirectory.output, "wavecrate-export: Failed to open wave file " +
                                    (f.disc.directory() / "missing/out.wav").string() +
                                    ": No such file or directory\n");

  // The working directory removed under the shell.
  const Path gone = f.workPath("gone");
  fs::create_directories(gone);
  const CliResult deleted = run("list.wcpl out.wav", "cd gone && rmdir ../gone");
  EXPECT_EQ(deleted.status, 1);
  EXPECT_EQ(lineCount(deleted.output), 1u) << deleted.output;
  EXPECT_NE(deleted.output.find("working directory"), std::string::npos) << deleted.output;
}

TEST_F(ExportCliRulesTest, SkippedRecordsAreCounted) {
  const auto bytes = encodePlaylistFile(std::vector<PlaylistRecord>{
      {testdisc::kMusic, testdisc::kSongs[0], 0, 0}, {99, 0, 0, 0}, {testdisc::kMusic, 4000, 0, 0}});
  writeBytes(f.workPath("odd.wcpl"), bytes);
  const CliResult result = run("odd.wcpl odd.wav");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("2 record(s) of the playlist were skipped"), std::string::npos) << result.output;
}

// Intro and outro choices the catalogue in use cannot honour (the playlist
// was made with another folder's annotated catalogue) are counted on stderr;
// --strict refuses to export a shorter CD than the playlist describes.
TEST_F(ExportCliRulesTest, LostIntrosAndOutrosAreToldAndStrictRefuses) {
  const PlaylistRecord song{testdisc::kMusic, testdisc::kSongs[0], 1, 0};
  const PlaylistRecord chatterWithOutro{testdisc::kMusic, testdisc::kChatter5, 0, 2};
  writeBytes(f.workPath("odd.wcpl"), encodePlaylistFile(std::vector<PlaylistRecord>{song, chatterWithOutro, song}));
  const CliResult plain = run("list.wcpl plain.wav");
  EXPECT_EQ(linesContaining(plain.output, "without"), 0u) << plain.output;
  const struct {
    const char* name;
    bool bare;  // no catalogue file in the folder
    bool strict;
    int status;
    const char* message;  // nullptr: no warning
  } cases[] = {
      {"annotated", false, false, 0, "1 track plays without the intro or outro"},
      {"annotated, strict", false, true, 1, "1 track plays without the intro or outro"},
      {"bare", true, false, 0, "tracks play without intros and outros"},
      {"bare, strict", true, true, 1, "tracks play without intros and outros"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bare) fs::remove(f.workPath("WavecrateInfo.dat"));
    fs::remove(f.workPath("odd.wav"));
    const CliResult result = run(std::string(c.strict ? "--strict " : "") + "odd.wcpl odd.wav");
    EXPECT_EQ(result.status, c.status) << result.output;
    EXPECT_EQ(linesContaining(result.output, c.message), 1u) << result.output;
    EXPECT_EQ(fs::exists(f.workPath("odd.wav")), c.status == 0);
  }
}

// The window program refuses the same names a CUE sheet cannot hold.
TEST_F(ExportCliRulesTest, TheExportCommandRefusesNamesACueSheetCannotHold) {
  f.addTrack(testdisc::kSongs[0]);
  const Path quoted = f.workPath("say \"hi\".wav");
  f.dialogs.fileAnswers.push_back(quoted.string());
  f.session->onCommand(Command::ExportCd);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_NE(f.dialogs.boxes[0].text.find("double quote"), std::string::npos);
  EXPECT_FALSE(fs::exists(quoted));
  // A 24 kHz wave file has no CUE sheet: the name is fine there.
  f.dialogs.fileAnswers.push_back(quoted.string());
  f.session->onCommand(Command::ExportWave);
  EXPECT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_TRUE(fs::exists(quoted));
}

}  // namespace
}  // namespace wc::test
