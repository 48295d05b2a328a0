// wavecrate-export reading its clips from a disc image given on the command
// line, in a working directory without a cache.
#include <gtest/gtest.h>

#include "session/Command.h"
#include "support/CliRun.h"
#include "support/IsoImage.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

CliResult exportIn(const Path& directory, const std::string& arguments) {
  return runCli(directory, "wavecrate-export", arguments);
}

class DiscImageCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(work);
    // The fixture's cache, laid out as the disc is, becomes the image.
    std::vector<IsoGraft> grafts{{"/AUDIO/CONFIG/TRAKLKUP.DAT", f.disc.lookupTable()}};
    for (int station = 0; station < kStationCount; ++station)
      if (std::filesystem::exists(f.disc.pack(station)))
        grafts.push_back({"/AUDIO/STREAMS/" + f.disc.pack(station).filename().string(), f.disc.pack(station)});
    makeIsoImage(image, grafts, IsoNames::Plain);
    std::filesystem::copy_file(f.disc.catalogueFile(), work / "WavecrateInfo.dat");
  }

  ViewFixture f;
  ScopedTempDir temp;
  Path work = temp.path() / "work";
  Path image = temp.path() / "game disc.iso";
};

TEST_F(DiscImageCliTest, CdExportFromTheImageEqualsTheExportFromTheCache) {
  f.addTrack(testdisc::kSongs[1]);
  f.addTrack(testdisc::kChatter5);
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(0, testdisc::kAdverts);
  ASSERT_TRUE(f.session->writePlaylistFile((work / "list.wcpl").string()));
  f.dialogs.fileAnswers.push_back(f.workPath("window.wav").string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // Keep Tracks: the CUE sheet as always
  f.session->onCommand(Command::ExportCd);

  const CliResult run = exportIn(work, "--disc-image '" + image.string() + "' list.wcpl out.wav");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(readBytes(work / "out.wav"), readBytes(f.workPath("window.wav")));
  std::string windowCue = readText(f.workPath("window.cue"));
  const std::string windowWave = f.workPath("window.wav").string();
  windowCue.replace(windowCue.find(windowWave), windowWave.size(), (work / "out.wav").string());
  EXPECT_EQ(readText(work / "out.cue"), windowCue);
  // Nothing but the export is written: no cache appears.
  EXPECT_FALSE(std::filesystem::exists(work / "CACHE"));
}

TEST_F(DiscImageCliTest, UnusableImageIsNamedAndTheExportFailsAsWithoutDisc) {
  writeBytes(work / "list.wcpl", readBytes(f.disc.catalogueFile()));  // any playlist: the catalogue loads first
  writeBytes(work / "junk.iso", std::vector<uint8_t>(65536, 0x20));
  std::filesystem::remove(work / "WavecrateInfo.dat");  // the lookup table must come from the image

  const CliResult run = exportIn(work, "--disc-image junk.iso list.wcpl out.wav");
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("The disc image junk.iso cannot be used: it is not an ISO 9660 image."), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("--disc-image"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(work / "out.wav"));

  EXPECT_EQ(exportIn(work, "list.wcpl out.wav --disc-image").status, 64);
}

}  // namespace
}  // namespace wc::test
