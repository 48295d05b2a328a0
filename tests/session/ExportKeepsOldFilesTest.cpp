// An export that fails, whenever and however, leaves the previous export at
// the same name exactly as it was and no temporary behind; one that succeeds
// writes the same bytes as ever, through a link as well as to a plain name.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "playlist/CueSheet.h"
#include "playlist/Exporter.h"
#include "playlist/OfflineRenderer.h"
#include "session/Command.h"
#include "support/DiscFixture.h"
#include "support/LeftoverFiles.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOldWave = {'R', 'I', 'F', 'F', 'o', 'l', 'd'};
const std::vector<uint8_t> kOldCue = {'F', 'I', 'L', 'E', ' ', 'o', 'l', 'd'};

struct CountingObserver final : ExportObserver {
  void trackStarts(int, Track&) override { ++tracks; }
  int tracks = 0;
};

class ExportKeepsOldFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.addTrack(testdisc::kSongs[0]);
    f.addTrack(testdisc::kChatter5);
    writeBytes(wave, kOldWave);
    writeBytes(cue, kOldCue);
  }
  ExportResult exportCd(const Path& target) {
    CountingObserver observer;
    const ExportResult result =
        exportPlaylistFiles(f.fs, f.session->playlist(), target.string(), true, OfflineRenderer(), observer);
    tracksRendered = observer.tracks;
    return result;
  }
  void expectOldFilesKept() {
    EXPECT_EQ(readBytes(wave), kOldWave);
    EXPECT_EQ(readBytes(cue), kOldCue);
    EXPECT_TRUE(leftoverTemporaries(out.path()).empty());
  }

  SessionFixture f;
  ScopedTempDir out;
  Path wave = out.path() / "old.wav";
  Path cue = out.path() / "old.cue";
  int tracksRendered = 0;
};

TEST_F(ExportKeepsOldFilesTest, EveryFailureKeepsThePreviousExport) {
  const uint64_t dataBytes = exportDataBytes(f.session->playlist(), true);
  const struct {
    const char* name;
    std::function<void(FaultyFileSystem&, const Path& wave, const Path& cue)> fault;
    ExportError error;
    int tracksRendered;  // rendering stops at the first failed write
  } cases[] = {
      {"disk full from the start", [](FaultyFileSystem& ffs, const Path&, const Path&) { ffs.failWritesAfter(0); },
       ExportError::WriteFailed, 0},
      {"disk full inside the audio",
       [&](FaultyFileSystem& ffs, const Path&, const Path&) { ffs.failWritesAfter(dataBytes / 2); },
       ExportError::WriteFailed, -1},
      {"wave file's final header fails",
       [&](FaultyFileSystem& ffs, const Path& w, const Path&) { ffs.failWritesTo(w, 44 + dataBytes); },
       ExportError::WriteFailed, 2},
      {"CUE sheet cannot be created",
       [](FaultyFileSystem& ffs, const Path&, const Path& c) { ffs.refuseTemporariesFor(c); },
       ExportError::CueNotCreated, 0},
      {"wave file cannot be created",
       [](FaultyFileSystem& ffs, const Path& w, const Path&) { ffs.refuseTemporariesFor(w); },
       ExportError::WaveNotCreated, 0},
      {"CUE sheet write fails after its FILE line",
       [&](FaultyFileSystem& ffs, const Path& w, const Path& c) {
         ffs.failWritesTo(c, cueFileLine(w.string()).size() + 5);
       },
       ExportError::WriteFailed, 1},
      {"wave file cannot be renamed into place",
       [](FaultyFileSystem& ffs, const Path& w, const Path&) { ffs.failRenamesTo(w); }, ExportError::WriteFailed, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FaultyFileSystem faulty;  // a fresh set of faults for each case
    c.fault(faulty, wave, cue);
    CountingObserver observer;
    const ExportResult result =
        exportPlaylistFiles(faulty, f.session->playlist(), wave.string(), true, OfflineRenderer(), observer);
    EXPECT_EQ(result.error, c.error);
    if (c.tracksRendered >= 0) {
      EXPECT_EQ(observer.tracks, c.tracksRendered);
    }
    expectOldFilesKept();
  }
}

// The command-line exporter's message names the file and the system's reason.
TEST_F(ExportKeepsOldFilesTest, AFileThatCannotBeCreatedIsNamedWithTheReason) {
  const Path intoNowhere = out.path() / "missing-dir" / "mix.wav";
  const ExportResult result = exportCd(intoNowhere);
  ASSERT_EQ(result.error, ExportError::WaveNotCreated);
  EXPECT_EQ(exportFailureMessage(result, intoNowhere.string()),
            "Failed to open wave file " + intoNowhere.string() + ": No such file or directory");
  EXPECT_EQ(tracksRendered, 0);
}

TEST_F(ExportKeepsOldFilesTest, ASuccessfulExportReplacesBothAndALinkedTargetKeepsItsLink) {
  ASSERT_TRUE(exportCd(wave));
  const auto plainWave = readBytes(wave);
  const auto plainCue = readBytes(cue);
  ASSERT_GT(plainWave.size(), 44u);
  const std::string fileLine = cueFileLine(wave.string());
  ASSERT_EQ(std::string(plainCue.begin(), plainCue.begin() + long(fileLine.size())), fileLine);

  // The user's "latest.wav" is a link to the file of the day.
  const Path realWave = out.path() / "monday.wav";
  const Path link = out.path() / "latest.wav";
  writeBytes(realWave, kOldWave);
  fs::create_symlink(realWave, link);
  ASSERT_TRUE(exportCd(link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readBytes(realWave), plainWave);
  // The CUE sheet names the wave file as the user chose it; the rest is the same.
  const auto linkedCue = readBytes(out.path() / "latest.cue");
  const std::string expectedCue =
      cueFileLine(link.string()) + std::string(plainCue.begin() + long(fileLine.size()), plainCue.end());
  EXPECT_EQ(std::string(linkedCue.begin(), linkedCue.end()), expectedCue);
  EXPECT_TRUE(leftoverTemporaries(out.path()).empty());
}

// The save dialog asks about the wave file only; an existing CUE sheet of the
// same name is replaced only after its own question.
TEST_F(ExportKeepsOldFilesTest, AnExistingCueSheetIsReplacedOnlyWhenTheUserSaysSo) {
  const struct {
    SessionPrompts::Answer answer;
    bool replaced;
  } cases[] = {{SessionPrompts::Answer::No, false},
               {SessionPrompts::Answer::Cancel, false},
               {SessionPrompts::Answer::Yes, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.answer));
    writeBytes(wave, kOldWave);
    writeBytes(cue, kOldCue);
    f.dialogs.questions.clear();
    f.dialogs.fileAnswers.push_back(wave.string());
    f.dialogs.questionAnswers.push_back(c.answer);
    f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // then Keep Tracks, when asked
    f.session->onCommand(Command::ExportCd);
    // After Yes comes the question about the short tracks of the test disc.
    ASSERT_EQ(f.dialogs.questions.size(), c.replaced ? 2u : 1u);
    f.dialogs.questionAnswers.clear();
    EXPECT_NE(f.dialogs.questions[0].text.find(cue.string()), std::string::npos);
    EXPECT_EQ(readBytes(cue) != kOldCue, c.replaced);
    EXPECT_EQ(readBytes(wave) != kOldWave, c.replaced);
  }
  // No CUE sheet there, or a wave-only export: no question about replacing.
  fs::remove(cue);
  f.dialogs.questions.clear();
  f.dialogs.fileAnswers.push_back(wave.string());
  f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);
  f.session->onCommand(Command::ExportCd);
  f.dialogs.fileAnswers.push_back(wave.string());
  f.session->onCommand(Command::ExportWave);
  ASSERT_EQ(f.dialogs.questions.size(), 1u);
  EXPECT_EQ(f.dialogs.questions[0].text.find("already exists"), std::string::npos);
  EXPECT_TRUE(f.dialogs.boxes.empty());
}

}  // namespace
}  // namespace wc::test
