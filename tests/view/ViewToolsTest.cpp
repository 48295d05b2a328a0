// The Tools menu on the default test disc: class sequences of the mixes and
// of Pad, the draw order, and that nothing runs while anything plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/CRandom.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

constexpr int kSong = classNumber(ClipClass::Song);
constexpr int kAd = classNumber(ClipClass::Commercial);

class ViewToolsTest : public ::testing::Test {
 protected:
  void SetUp() override { f.random.seed(4242); }
  // Turns songs into a class no tool picks, leaving `keep` songs.
  void keepSongs(int keep) {
    for (int i = keep; i < 3; ++i) f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[i]].clipClass = 3;
  }
  void setClass(int clip, int cls) { f.catalogue().stations[testdisc::kMusic].clips[clip].clipClass = cls; }
  static bool isTwoSeven(int cls) { return cls == 2 || cls == 7; }
  // A mix over an unsaved one: the question about it is answered Discard.
  void remix(Command command) {
    f.dialogs.questionAnswers.push_back(SessionPrompts::Answer::No);
    const size_t asked = f.dialogs.questions.size();
    session.onCommand(command);
    ASSERT_EQ(f.dialogs.questions.size(), asked + 1);
  }

  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewToolsTest, RadioMixWithOneAndTwoSongs) {
  keepSongs(1);
  session.onCommand(Command::CreateRadioMix);
  EXPECT_EQ(f.trackClasses(), (std::vector<int>{5, 6, kSong, kAd, 5}));
  EXPECT_EQ(f.tracks()[3]->station, kAdvertsStation);
  EXPECT_FALSE(session.marks().busy);
  EXPECT_EQ(view.state().scroll(Pane::Playlist), 0);

  f.catalogue().stations[testdisc::kMusic].clips[testdisc::kSongs[1]].clipClass = kSong;
  remix(Command::CreateRadioMix);
  const auto classes = f.trackClasses();
  ASSERT_EQ(classes.size(), 8u);
  EXPECT_EQ(std::vector<int>(classes.begin(), classes.begin() + 4), (std::vector<int>{5, 6, kSong, kAd}));
  EXPECT_TRUE(isTwoSeven(classes[4]));
  EXPECT_EQ(std::vector<int>(classes.begin() + 5, classes.end()), (std::vector<int>{kSong, kAd, 5}));
}

TEST_F(ViewToolsTest, PadAroundOneSong) {
  f.addTrack(testdisc::kSongs[1]);
  const std::string kept = f.workPath("kept.wcpl").string();
  ASSERT_TRUE(session.writePlaylistFile(kept));
  ASSERT_TRUE(session.openPlaylistFile(kept));
  session.onCommand(Command::Pad);
  EXPECT_EQ(f.trackClasses(), (std::vector<int>{5, 6, kSong, 5, kAd}));
  EXPECT_EQ(session.playlist().trackCount(), 5);
  EXPECT_EQ(session.playlistPath(), kept);
  for (Track* t : f.tracks()) EXPECT_NE(t->songAudio, nullptr);
}

TEST_F(ViewToolsTest, WithoutClassSixTheOpeningFallsBackAndWithoutFiveItIsOneClip) {
  keepSongs(1);
  setClass(testdisc::kChatter6, 3);
  session.onCommand(Command::CreateRadioMix);
  auto classes = f.trackClasses();
  ASSERT_GE(classes.size(), 2u);
  EXPECT_EQ(classes[0], 5);
  EXPECT_TRUE(isTwoSeven(classes[1]));

  setClass(testdisc::kChatter5, 3);
  remix(Command::CreateRadioMix);
  classes = f.trackClasses();
  // Opening: a 2/7 clip alone; then the song and its commercial (no class 5
  // exists for the end).
  EXPECT_EQ(classes.size(), 3u);
  EXPECT_TRUE(isTwoSeven(classes[0]));
  EXPECT_EQ(classes[1], kSong);
  EXPECT_EQ(classes[2], kAd);
}

TEST_F(ViewToolsTest, PadWithoutCommercialsPutsChatterRightBehindTheSong) {
  for (int i = 0; i < testdisc::kAdvertCount; ++i) f.catalogue().stations[kAdvertsStation].clips[i].clipClass = 3;
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kSongs[1]);
  session.onCommand(Command::Pad);
  const auto classes = f.trackClasses();
  EXPECT_EQ(std::count(classes.begin(), classes.end(), kAd), 0);
  // 5, 6, song, 2/7 (run 1), song, 5 (the last)
  ASSERT_EQ(classes.size(), 6u);
  EXPECT_EQ(classes[2], kSong);
  EXPECT_TRUE(isTwoSeven(classes[3]));
  EXPECT_EQ(classes[4], kSong);
  EXPECT_EQ(classes[5], 5);
}

TEST_F(ViewToolsTest, MusicMixAndAddAllSongsTakeEverySongOnce) {
  const std::string forgotten = f.workPath("forgotten.wcpl").string();
  ASSERT_TRUE(session.writePlaylistFile(forgotten));
  ASSERT_TRUE(session.openPlaylistFile(forgotten));
  ASSERT_EQ(session.playlistPath(), forgotten);
  session.onCommand(Command::CreateMusicMix);
  EXPECT_EQ(session.playlistPath(), "");
  std::set<int> songs;
  for (Track* t : f.tracks()) {
    EXPECT_EQ(t->clip->clipClass, kSong);
    EXPECT_EQ(t->intro, 1);  // the default: the intro without speech
    songs.insert(t->clipIndex);
  }
  EXPECT_EQ(songs, (std::set<int>{0, 4, 8}));

  session.onCommand(Command::AddAllSongs);  // appends three more
  EXPECT_EQ(session.playlist().trackCount(), 6);
}

TEST_F(ViewToolsTest, ASeededRunIsReproducible) {
  auto run = [&](uint32_t seed) {
    f.random.seed(seed);
    session.clearPlaylist();
    session.onCommand(Command::CreateRadioMix);
    std::vector<int> picks;
    for (Track* t : f.tracks()) picks.push_back(t->clipIndex * 100 + t->intro * 10 + t->outro);
    return picks;
  };
  EXPECT_EQ(run(99), run(99));
}

TEST_F(ViewToolsTest, RandomizeIntrosDrawsNothingWithoutChoices) {
  // Every song with at most one intro and one outro: no draw at all.
  for (int s : testdisc::kSongs) f.catalogue().stations[testdisc::kMusic].clips[s].intros = 1;
  f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kChatter2);
  f.random.seed(7);
  CRandom shadow(7);
  session.onCommand(Command::RandomizeIntros);
  EXPECT_EQ(f.random.next(), shadow.next());
}

TEST_F(ViewToolsTest, RandomizeIntrosReloadsOnlyTheChangedParts) {
  for (int i = 0; i < 8; ++i) f.addTrack(testdisc::kSongs[i % 3]);
  f.random.seed(3);
  session.onCommand(Command::RandomizeIntros);
  for (Track* t : f.tracks()) {
    ASSERT_NE(t->introAudio, nullptr);
    // The loaded intro is the chosen one: its length identifies the clip.
    EXPECT_EQ(t->introAudio->frames(), testDiscFrames(testdisc::kMusic, t->clipIndex + 1 + t->intro));
  }
}

TEST_F(ViewToolsTest, NothingRunsWhileATrackOrAPreviewPlays) {
  Track* t = f.addTrack(testdisc::kSongs[0]);
  session.transport().play(t, StartPart::Intro);
  f.tick();
  for (Command id : {Command::AddAllSongs, Command::RandomizeIntros, Command::Pad, Command::CreateMusicMix,
                     Command::CreateRadioMix}) {
    EXPECT_FALSE(session.commandState(id)->enabled) << int(id);
    session.onCommand(id);
  }
  EXPECT_EQ(session.playlist().trackCount(), 1);

  session.onCommand(Command::Stop);
  session.preview(testdisc::kChatter5, true);
  f.tick();
  session.onCommand(Command::CreateRadioMix);
  EXPECT_EQ(session.playlist().trackCount(), 1);
}

}  // namespace
}  // namespace wc::test
