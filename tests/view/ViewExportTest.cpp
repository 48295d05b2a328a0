// Export CD and Export Wave through the view, and the written files checked
// by real CD tools.
#include <gtest/gtest.h>

#include <set>

#include <cstdio>
#include <fstream>

#include "audio/AudioEngine.h"
#include "base/LittleEndian.h"
#include "session/Command.h"
#include "support/CliRun.h"
#include "support/ViewFixture.h"
#include "ui/TransportText.h"

namespace wc::test {
namespace {

// Runs a shell command and returns its standard output; fails the test when
// it exits with an error.
std::string run(const std::string& command) {
  const CliResult result = runShell(command + " 2>&1");
  EXPECT_EQ(result.status, 0) << command << "\n" << result.output;
  return result.output;
}

int64_t sectorsOf(int64_t samples) { return (samples + 319) / 320; }

class ViewExportTest : public ::testing::Test {
 protected:
  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewExportTest, CdImageWithCueSheet) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  Track* b = f.addTrack(testdisc::kChatter2);
  f.addTrack(testdisc::kSongs[1]);
  const Path wave = f.workPath("Mix.WAV");
  f.dialogs.fileAnswers.push_back(wave.string());
  session.transport().play(a, StartPart::Intro);
  f.tick();
  ASSERT_EQ(session.transport().playingTrack(), a);

  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
  session.onCommand(Command::ExportCd);
  const auto& request = f.dialogs.fileRequests.at(0);
  EXPECT_EQ(request.title, "Export CD Image");
  EXPECT_EQ(request.filterText, "Wave files (*.wav)");
  EXPECT_EQ(request.defaultExtension, "wav");
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_TRUE(f.dialogs.boxes.empty());

  // Playback stopped for good, the output runs again, the last track is at
  // the top of the pane.
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
  EXPECT_TRUE(f.device->isPlaying());
  EXPECT_EQ(f.engine->writeOffset(), 0u);
  EXPECT_FALSE(session.marks().rendering);
  EXPECT_EQ(view.state().scroll(Pane::Playlist), 2);

  const int64_t first = trackSamples(*a);
  const int64_t second = trackSamples(*b);
  char index2[32], index3[32];
  std::snprintf(index2, sizeof index2, "%02d:%02d:%02d", int(sectorsOf(first) / 4500), int(sectorsOf(first) / 75 % 60),
                int(sectorsOf(first) % 75));
  std::snprintf(index3, sizeof index3, "%02d:%02d:%02d", int(sectorsOf(first + second) / 4500),
                int(sectorsOf(first + second) / 75 % 60), int(sectorsOf(first + second) % 75));
  const std::string expected = "FILE \"" + wave.string() + "\" WAVE\r\n" +
                               "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n" + "  TRACK 02 AUDIO\r\n    INDEX 01 " +
                               index2 + "\r\n" + "  TRACK 03 AUDIO\r\n    INDEX 01 " + index3 + "\r\n\r\n\r\n";
  EXPECT_EQ(readText(f.workPath("Mix.cue")), expected);

  const std::string image = readText(wave);
  ASSERT_GE(image.size(), 44u);
  const auto* header = reinterpret_cast<const uint8_t*>(image.data());
  EXPECT_EQ(readU32LE(header + 24), 44100u);
  EXPECT_EQ(readU32LE(header + 40), image.size() - 44);
  EXPECT_EQ(readU32LE(header + 4), image.size() - 8);
  EXPECT_EQ((image.size() - 44) % (588 * 4), 0u);  // whole CD sectors
}

TEST_F(ViewExportTest, WrongExtensionsAndCancelledDialogsWriteNothing) {
  f.addTrack(testdisc::kSongs[0]);
  f.dialogs.fileAnswers.push_back(f.workPath("mix.mp3").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
  session.onCommand(Command::ExportCd);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].text, "This program can only export wave (*.wav) files");
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
  EXPECT_FALSE(std::filesystem::exists(f.workPath("mix.mp3")));
  EXPECT_FALSE(std::filesystem::exists(f.workPath("mix.cue")));
  session.onCommand(Command::ExportCd);  // cancelled
  EXPECT_EQ(f.dialogs.boxes.size(), 1u);
}

TEST_F(ViewExportTest, ExportWaveWritesNoCueSheetAndLeavesOneAlone) {
  f.addTrack(testdisc::kChatter7);
  const Path wave = f.workPath("mix.wav");
  const Path cue = f.workPath("mix.cue");
  std::ofstream(cue) << "someone else's";
  f.dialogs.fileAnswers.push_back(wave.string());
  session.onCommand(Command::ExportWave);
  EXPECT_EQ(f.dialogs.fileRequests.at(0).title, "Export wave file");
  EXPECT_EQ(readText(cue), "someone else's");
  const std::string image = readText(wave);
  ASSERT_GE(image.size(), 44u);
  EXPECT_EQ(readU32LE(reinterpret_cast<const uint8_t*>(image.data()) + 24), 24000u);
  EXPECT_EQ((image.size() - 44) % (320 * 4), 0u);
}

TEST_F(ViewExportTest, AFullDiskIsReportedAndLeavesNoDamagedFiles) {
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kSongs[2]);
  f.fs.failWritesAfter(20000);
  f.dialogs.fileAnswers.push_back(f.workPath("full.wav").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
  session.onCommand(Command::ExportCd);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
  EXPECT_NE(f.dialogs.boxes[0].text.find("disk may be full"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(f.workPath("full.wav")));
  EXPECT_FALSE(std::filesystem::exists(f.workPath("full.cue")));
  EXPECT_TRUE(f.device->isPlaying());  // the output was resumed all the same
}

TEST_F(ViewExportTest, ThePreviewIsStoppedAndTheTransportShowsTheExport) {
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kSongs[1]);
  session.preview(testdisc::kChatter5, true);
  f.tick();
  std::vector<std::string> shown;
  std::set<int> invalidations;  // while rendering, each report redraws the transport at once
  f.host.onRepaintTransport = [&](bool) {
    shown.push_back(transportText(session.marks(), session.playlist(), session.transport()));
    invalidations.insert(f.host.invalidations);
  };
  f.dialogs.fileAnswers.push_back(f.workPath("show.wav").string());
  session.onCommand(Command::ExportWave);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(invalidations.size(), 1u);
  EXPECT_EQ(shown.front(), ">> 01 00:00 <<");
  EXPECT_NE(std::find(shown.begin(), shown.end(), ">> 02 00:00 <<"), shown.end());
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
}

// The exported image read by CD tools that nobody here wrote.
TEST_F(ViewExportTest, CdToolsReadTheImageAndItsCueSheet) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  Track* b = f.addTrack(testdisc::kSongs[1]);
  f.addTrack(testdisc::kSongs[2]);
  const Path wave = f.workPath("cd.wav");
  f.dialogs.fileAnswers.push_back(wave.string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
  session.onCommand(Command::ExportCd);
  ASSERT_TRUE(f.dialogs.boxes.empty());

  // cuebreakpoints prints the track starts after the first as mm:ss.ff.
  const std::string points = run("cuebreakpoints " + f.workPath("cd.cue").string());
  auto mmssff = [](int64_t s) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", int(s / 4500), int(s / 75 % 60), int(s % 75));
    return std::string(text);
  };
  const int64_t s2 = sectorsOf(trackSamples(*a));
  const int64_t s3 = sectorsOf(trackSamples(*a) + trackSamples(*b));
  EXPECT_EQ(points, mmssff(s2) + "\n" + mmssff(s3) + "\n");

  const std::string info = run("soxi " + wave.string());
  EXPECT_NE(info.find("Sample Rate    : 44100"), std::string::npos) << info;
  EXPECT_NE(info.find("Channels       : 2"), std::string::npos) << info;
  EXPECT_NE(info.find("Precision      : 16-bit"), std::string::npos) << info;
  const std::string samples = run("soxi -s " + wave.string());
  const int64_t total = std::stoll(samples);
  EXPECT_EQ(uint64_t(total) * 4 + 44, std::filesystem::file_size(wave));

  // shnsplit cuts at the CUE points: tracks of whole sectors, 588 frames each.
  const Path splitDir = f.workPath("split");
  std::filesystem::create_directory(splitDir);
  run("cuebreakpoints " + f.workPath("cd.cue").string() + " | shnsplit -q -d " + splitDir.string() + " -o wav " +
      wave.string());
  const int64_t expectedFrames[3] = {s2 * 588, (s3 - s2) * 588, total - s3 * 588};
  for (int i = 0; i < 3; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "split-track%02d.wav", i + 1);
    const Path part = splitDir / name;
    ASSERT_TRUE(std::filesystem::exists(part)) << part;
    EXPECT_EQ(std::stoll(run("soxi -s " + part.string())), expectedFrames[i]) << name;
  }
}

}  // namespace
}  // namespace wc::test
