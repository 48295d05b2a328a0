// Failures of the disk and of the disc while the program runs, one case each:
// a write that fails during a save, an export or a copy, a pack that shrinks
// or disappears between two loads, and a disc that is taken out after it was
// found. In every case the program runs on, tells the user where a message
// is due, leaves every file saved before intact and leaves no damaged file
// behind that a later start would read. Each test says what the user sees.
// (A full disk during Save, export and the fourth pack of a copy are covered
// beside their features.)
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "audio/AudioEngine.h"
#include "audio/WaveWriter.h"
#include "base/CRandom.h"
#include "gamedata/CatalogueFile.h"
#include "playlist/CueSheet.h"
#include "playlist/Exporter.h"
#include "playlist/Voice.h"
#include "session/Command.h"
#include "support/DiscFixture.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> hiddenFiles(const Path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    if (entry.path().filename().string().front() == '.') names.push_back(entry.path().filename().string());
  return names;
}

// A session whose game data come from a disc in a drive (no cache yet), so
// Copy Audio Files has something to copy and the disc can be taken out.
struct DiscSessionFixture {
  DiscSessionFixture() : disc(TestDisc::disc()) {
    fs::create_directories(work);
    // The annotated catalogue file lives in the working directory.
    fs::copy_file(disc.catalogueFile(), work / kCatalogueFileName);
    mounts.addMount(disc.directory().string(), "iso9660", "/dev/sr0");
    gameData = std::make_unique<GameData>(faulty, work, mounts, prompts, exits.function());
    gameData->loadCatalogue();
    session = std::make_unique<StudioSession>(*gameData, dialogs, random, nullptr, faulty);
    session->selectStation(testdisc::kMusic);
  }
  ~DiscSessionFixture() { session.reset(); }

  Track* addTrack(int clipIndex) {
    Track* t = session->playlist().append(createTrack(gameData->catalogue(), testdisc::kMusic, clipIndex));
    session->loadTrackAudio(*t, true, LoadIndicatorMode::Silent);
    return t;
  }

  TestDisc disc;
  ScopedTempDir workDir;
  Path work = workDir.path() / "work";
  FaultyFileSystem faulty;
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
  FakeSessionPrompts dialogs;
  CRandom random;
  std::unique_ptr<StudioSession> session;
};

// What the user sees: the box "The clip annotations could not be saved to
// WavecrateInfo.dat. The previous file was left unchanged." (caption
// "Error"); the command stays enabled so the save can be tried again.
TEST(FaultInjectionTest, CatalogueSaveWithAFailingWriteOrRenameKeepsTheOldFile) {
  SessionFixture f;
  const Path file = f.disc.catalogueFile();
  const auto before = readBytes(file);
  std::strcpy(f.catalogue().stations[testdisc::kMusic].clips[0].title, "Renamed by the user");

  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt == 0 ? "write fails" : "rename fails");
    if (attempt == 0)
      f.fs.failWritesTo(file, 300000);  // half of the image, then the disk is full
    else
      f.fs.failRenames(true);
    f.session->catalogueChanged(false);
    f.session->onCommand(Command::SaveCatalogue);
    ASSERT_EQ(f.dialogs.boxes.size(), size_t(attempt + 1));
    EXPECT_EQ(f.dialogs.boxes.back().caption, "Error");
    EXPECT_EQ(f.dialogs.boxes.back().text.rfind("The clip annotations could not be saved", 0), 0u);
    EXPECT_TRUE(f.session->catalogueModified());
    EXPECT_TRUE(f.session->commandState(Command::SaveCatalogue)->enabled);
    EXPECT_EQ(readBytes(file), before);
    EXPECT_TRUE(hiddenFiles(f.disc.directory()).empty());
  }

  // A later start reads the old annotations without a warning.
  FaultyFileSystem fresh;
  GameData later(fresh, f.disc.directory(), f.mounts, f.prompts, f.exits.function());
  const size_t boxes = f.prompts.shown.size();
  later.loadCatalogue();
  EXPECT_EQ(f.prompts.shown.size(), boxes);
  EXPECT_STREQ(later.catalogue().stations[testdisc::kMusic].clips[0].title, "Song A");
}

class ExportFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.addTrack(testdisc::kSongs[0]);
    f.addTrack(testdisc::kChatter5);
    // A playlist saved earlier, and an export made earlier at the same path.
    ASSERT_TRUE(f.session->writePlaylistFile(playlist.string()));
    savedPlaylist = readBytes(playlist);
  }
  void exportCd() {
    f.dialogs.fileAnswers.push_back(wave.string());
    f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);  // keep the short tracks
    f.session->onCommand(Command::ExportCd);
  }
  void expectReportedAndNothingLeft() {
    ASSERT_EQ(f.dialogs.boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.boxes[0].caption, "Error");
    EXPECT_EQ(f.dialogs.boxes[0].text, exportErrorMessage(ExportError::WriteFailed));
    EXPECT_FALSE(fs::exists(wave));
    EXPECT_FALSE(fs::exists(cue));
    EXPECT_EQ(readBytes(playlist), savedPlaylist);
    // The program runs on: output resumed, playback possible again.
    EXPECT_FALSE(f.session->marks().rendering);
    EXPECT_TRUE(f.device->isPlaying());
    f.tick();  // the first report after the export clears the last rendered track
    f.session->onCommand(Command::Play);
    f.tick();
    EXPECT_EQ(f.session->transport().playingTrack(), f.session->playlist().first());
  }

  SessionFixture f;
  Path wave = f.workPath("mix.wav");
  Path cue = f.workPath("mix.cue");
  Path playlist = f.workPath("saved.wcpl");
  std::vector<uint8_t> savedPlaylist;
};

// What the user sees: "Writing the exported files failed; the disk may be
// full. The incomplete files were removed." (caption "Error"); neither the
// wave file nor the CUE sheet is left behind.
TEST_F(ExportFaultTest, AFailingCueSheetWriteRemovesBothFiles) {
  f.fs.failWritesTo(cue, cueFileLine(wave.string()).size() + 5);  // the FILE line goes through, no track line
  exportCd();
  expectReportedAndNothingLeft();
}

// What the user sees: the same message. Every audio byte was written but the
// final header was not: a file whose header still says "no audio" is not
// left for a player or burner to trust.
TEST_F(ExportFaultTest, AFailingFinalHeaderRemovesTheWaveFile) {
  const uint64_t dataBytes = exportDataBytes(f.session->playlist(), true);
  f.fs.failWritesTo(wave, 44 + dataBytes);  // room for placeholder and audio, none for the header
  exportCd();
  expectReportedAndNothingLeft();
}

// What the user sees: nothing at first (a clip that cannot be read is
// silent, as a missing pack is); the shortened track is passed over when
// the playlist plays, the tracks loaded before play as before, and an
// export is refused with the tracks named.
TEST(FaultInjectionTest, APackThatShrinksBetweenLoadsGivesSilentTracksOnly) {
  SessionFixture f;
  Track* before = f.addTrack(testdisc::kSongs[0]);
  const Path pack = f.disc.pack(testdisc::kMusic);
  const auto& songC = f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[2]];
  f.fs.shrinkFile(pack, songC.offset + 100);  // cut inside song C's header
  Track* after = f.addTrack(testdisc::kSongs[2]);
  EXPECT_EQ(after->songAudio, nullptr);
  EXPECT_EQ(after->introAudio, nullptr);
  EXPECT_EQ(after->outroAudio, nullptr);
  EXPECT_TRUE(f.dialogs.boxes.empty());
  EXPECT_TRUE(f.prompts.shown.empty());

  f.session->onCommand(Command::Play);
  ASSERT_TRUE(f.tickUntil([&] { return f.session->transport().playingTrack() == before; }));
  ASSERT_TRUE(f.tickUntil([&] { return f.session->transport().playingTrack() == nullptr; }));

  // The export refuses what would lose track audio (DamagedPackTest).
  f.dialogs.fileAnswers.push_back(f.workPath("short.wav").string());
  f.session->onCommand(Command::ExportWave);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_FALSE(fs::exists(f.workPath("short.wav")));
}

// What the user sees: the box asking for the disc ("Unable to locate GTA:
// San Andreas ... press OK, or cancel to exit"), since a pack missing from
// the cache is looked for on the disc. Cancel ends the program (recorded
// here); until then the tracks loaded before keep playing from memory, and
// a pack that comes back is read again.
TEST(FaultInjectionTest, APackThatDisappearsBetweenLoadsAsksForTheDisc) {
  SessionFixture f;
  Track* loaded = f.addTrack(testdisc::kSongs[0]);
  f.session->transport().play(loaded, StartPart::Intro);
  f.tick();
  const Path pack = f.disc.pack(testdisc::kMusic);
  const Path away = f.workPath("away.pak");
  fs::rename(pack, away);

  Track* missing = f.addTrack(testdisc::kSongs[1]);
  EXPECT_EQ(missing->songAudio, nullptr);
  ASSERT_FALSE(f.prompts.shown.empty());
  EXPECT_EQ(f.prompts.shown[0].text, kDiscMissingText);
  ASSERT_FALSE(f.exits.statuses.empty());
  EXPECT_EQ(f.exits.statuses[0], 0);
  ASSERT_TRUE(f.tickUntil([&] { return f.session->transport().existingVoice()->position() > 5000; }, 100));
  EXPECT_EQ(f.session->transport().playingTrack(), loaded);

  fs::rename(away, pack);
  f.session->loadTrackAudio(*missing, true, LoadIndicatorMode::Silent);
  ASSERT_NE(missing->songAudio, nullptr);
  EXPECT_EQ(missing->songAudio->frames(), testDiscFrames(testdisc::kMusic, testdisc::kSongs[1]));
}

// What the user sees: clips loaded afterwards are silent (no box: the disc
// was found once and is not searched for again), and Copy Audio Files shows
// "Copying audio files failed.  You have probably run out of disc space."
// (caption "ERROR"). The cache holds no partial file; the catalogue file is
// untouched. With the disc back in the same place everything loads again.
TEST(FaultInjectionTest, ADiscTakenOutAfterItWasFoundGivesSilenceAndAFailedCopy) {
  DiscSessionFixture f;
  Track* before = f.addTrack(testdisc::kSongs[0]);
  ASSERT_NE(before->songAudio, nullptr);
  ASSERT_TRUE(f.gameData->discRoot());
  const auto catalogue = readBytes(f.work / kCatalogueFileName);
  const Path mount = f.disc.directory();
  const Path out = mount.parent_path() / (mount.filename().string() + "-out");
  fs::rename(mount, out);

  Track* after = f.addTrack(testdisc::kSongs[1]);
  EXPECT_EQ(after->songAudio, nullptr);
  EXPECT_TRUE(f.prompts.shown.empty());

  f.session->onCommand(Command::CopyAudioFiles);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].text, "Copying audio files failed.  You have probably run out of disc space.");
  EXPECT_EQ(f.dialogs.boxes[0].caption, "ERROR");
  EXPECT_FALSE(f.session->marks().copying);
  EXPECT_TRUE(hiddenFiles(f.work / "CACHE").empty());
  EXPECT_FALSE(fs::exists(f.work / "CACHE" / "TRAKLKUP.DAT"));
  EXPECT_EQ(readBytes(f.work / kCatalogueFileName), catalogue);

  fs::rename(out, mount);
  f.session->loadTrackAudio(*after, true, LoadIndicatorMode::Silent);
  EXPECT_NE(after->songAudio, nullptr);
}

// What the user sees: the copy box "Copying audio files failed.  You have
// probably run out of disc space." when a pack's write fails in the middle;
// the files copied before are complete, the failing pack is not in the
// cache at all (so later starts read it from the disc), and nothing after it
// was touched.
TEST(FaultInjectionTest, CopyAudioFilesWithAFailingWriteKeepsTheCacheTrustworthy) {
  DiscSessionFixture f;
  const Path cache = f.work / "CACHE";
  const std::string failing = std::string(kPackNames[size_t(testdisc::kMusic)]) + ".PAK";
  f.faulty.failWritesTo(cache / failing, 70000);
  f.session->onCommand(Command::CopyAudioFiles);
  ASSERT_EQ(f.dialogs.boxes.size(), 1u);
  EXPECT_EQ(f.dialogs.boxes[0].caption, "ERROR");
  EXPECT_EQ(readBytes(cache / "TRAKLKUP.DAT"), readBytes(f.disc.lookupTable()));
  EXPECT_EQ(readBytes(cache / "ADVERTS.PAK"), readBytes(f.disc.pack(testdisc::kAdverts)));
  EXPECT_FALSE(fs::exists(cache / failing));
  EXPECT_TRUE(hiddenFiles(cache).empty());

  // A later start: the packs come from the cache where complete, from the
  // disc otherwise, and every clip loads.
  FaultyFileSystem fresh;
  GameData later(fresh, f.work, f.mounts, f.prompts, f.exits.function());
  later.loadCatalogue();
  for (int k = 0; k < testdisc::kMusicClipCount; ++k) {
    const auto clip = later.loadClipAudio(testdisc::kMusic, k);
    ASSERT_NE(clip, nullptr) << k;
    EXPECT_EQ(clip->frames(), testDiscFrames(testdisc::kMusic, k));
  }
  EXPECT_NE(later.loadClipAudio(testdisc::kAdverts, 0), nullptr);
}

}  // namespace
}  // namespace wc::test
