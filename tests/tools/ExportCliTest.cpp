// wavecrate-export run as a user would: in a working directory with the
// catalogue and cache, writing the same files as the window program.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "session/Command.h"
#include "support/CliRun.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

CliResult runIn(const Path& directory, const std::string& arguments) {
  return runCli(directory, "wavecrate-export", arguments);
}

TEST(ExportCliTest, WritesTheSameFilesAsTheExportCommand) {
  ViewFixture f;
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kChatter6);
  f.addTrack(testdisc::kSongs[2]);
  ASSERT_TRUE(f.session->writePlaylistFile(f.workPath("list.wcpl").string()));
  f.dialogs.fileAnswers.push_back(f.workPath("window.wav").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
  f.session->onCommand(Command::ExportCd);
  f.dialogs.fileAnswers.push_back(f.workPath("window24.wav").string());
  f.session->onCommand(Command::ExportWave);

  // The CUE sheet names the wave file by its absolute path: export under the
  // same name into a subdirectory and compare the rest.
  const CliResult cd = runIn(f.disc.directory(), "list.wcpl out.wav");
  ASSERT_EQ(cd.status, 0) << cd.output;
  EXPECT_NE(cd.output.find("track  3 of 3"), std::string::npos) << cd.output;
  EXPECT_EQ(readText(f.workPath("out.wav")), readText(f.workPath("window.wav")));
  std::string windowCue = readText(f.workPath("window.cue"));
  const std::string cliCue = readText(f.workPath("out.cue"));
  windowCue.replace(windowCue.find("window.wav"), 10, "out.wav");
  EXPECT_EQ(cliCue, windowCue);

  const CliResult wave = runIn(f.disc.directory(), "--wave24 list.wcpl out24.wav");
  ASSERT_EQ(wave.status, 0) << wave.output;
  EXPECT_EQ(readText(f.workPath("out24.wav")), readText(f.workPath("window24.wav")));
  EXPECT_FALSE(std::filesystem::exists(f.workPath("out24.cue")));
}

TEST(ExportCliTest, ErrorsAreOneLineWithAFailingStatus) {
  ViewFixture f;
  const CliResult help = runIn(f.disc.directory(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Usage: wavecrate-export"), std::string::npos);

  EXPECT_EQ(runIn(f.disc.directory(), "").status, 64);
  const CliResult wrongExtension = runIn(f.disc.directory(), "list.wcpl out.mp3");
  EXPECT_EQ(wrongExtension.status, 64);
  EXPECT_EQ(wrongExtension.output, "wavecrate-export: This program can only export wave (*.wav) files\n");
  const CliResult missing = runIn(f.disc.directory(), "missing.wcpl out.wav");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("cannot read"), std::string::npos);
}

}  // namespace
}  // namespace wc::test
