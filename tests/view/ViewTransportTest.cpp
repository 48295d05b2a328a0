// The transport commands and their enable rules, driven through the view's
// command entry points over the fake sound device.
#include <gtest/gtest.h>

#include "playlist/Voice.h"
#include "session/Command.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

struct Enabled {
  bool play, stop, previous, next;
  bool operator==(const Enabled&) const = default;
};

Enabled transport(const StudioSession& s) {
  return {s.commandState(Command::Play)->enabled, s.commandState(Command::Stop)->enabled,
          s.commandState(Command::Previous)->enabled, s.commandState(Command::Next)->enabled};
}

class ViewTransportTest : public ::testing::Test {
 protected:
  ViewFixture f;
  StudioSession& session = *f.session;
  StudioView& view = *f.view;
};

TEST_F(ViewTransportTest, EnableRulesInTheIdlePreviewingAndPlayingStates) {
  // Empty playlist, nothing played yet.
  EXPECT_EQ(transport(session), (Enabled{false, false, false, false}));
  EXPECT_FALSE(session.commandState(Command::FileSave)->enabled);
  EXPECT_FALSE(session.commandState(Command::ExportCd)->enabled);
  EXPECT_TRUE(session.commandState(Command::CopyAudioFiles)->enabled);
  EXPECT_TRUE(session.commandState(Command::AddAllSongs)->enabled);
  EXPECT_FALSE(session.commandState(Command::Pad)->enabled);
  session.onCommand(Command::Play);  // disabled: does nothing
  EXPECT_EQ(session.transport().existingVoice(), nullptr);

  Track* a = f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kSongs[1]);
  EXPECT_EQ(transport(session), (Enabled{true, false, false, false}));
  EXPECT_TRUE(session.commandState(Command::FileSaveAs)->enabled);
  EXPECT_TRUE(session.commandState(Command::ExportWave)->enabled);
  EXPECT_TRUE(session.commandState(Command::RandomizeIntros)->enabled);

  // Previewing: Play and Stop; the tools and the copy wait.
  session.preview(testdisc::kChatter2, true);
  f.tick();
  ASSERT_NE(session.transport().playingTrack(), nullptr);
  EXPECT_TRUE(session.transport().playingTrack()->isPreview());
  EXPECT_EQ(transport(session), (Enabled{true, true, false, false}));
  EXPECT_FALSE(session.commandState(Command::CopyAudioFiles)->enabled);
  EXPECT_FALSE(session.commandState(Command::AddAllSongs)->enabled);
  EXPECT_FALSE(session.commandState(Command::Pad)->enabled);

  // Play replaces the preview by the playlist from its first track.
  session.onCommand(Command::Play);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), a);
  EXPECT_EQ(transport(session), (Enabled{false, true, true, true}));
  EXPECT_FALSE(session.commandState(Command::CreateRadioMix)->enabled);

  // Stop reports at once.
  session.onCommand(Command::Stop);
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
  EXPECT_EQ(transport(session), (Enabled{true, false, false, false}));
}

TEST_F(ViewTransportTest, PreviousGoesBackOnlyWithinTheFirstTwoSeconds) {
  f.addTrack(testdisc::kSongs[0]);
  Track* second = f.addTrack(testdisc::kSongs[1]);
  Track* third = f.addTrack(testdisc::kSongs[2]);
  session.transport().play(third, StartPart::Intro);
  f.tick();
  ASSERT_EQ(session.transport().playingTrack(), third);

  session.transport().report(session.transport().playingTrack(), 1 * 24000);
  session.onCommand(Command::Previous);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), second);

  session.transport().play(third, StartPart::Intro);
  f.tick();
  session.transport().report(session.transport().playingTrack(), 2 * 24000);
  session.onCommand(Command::Previous);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), third);
  EXPECT_EQ(session.transport().playingSeconds(), 0);  // started over

  // On the first track Previous always starts it over.
  Track* first = session.playlist().first();
  session.transport().play(first, StartPart::Intro);
  f.tick();
  session.transport().report(session.transport().playingTrack(), 0 * 24000);
  session.onCommand(Command::Previous);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), first);
}

TEST_F(ViewTransportTest, NextIsDisabledOnTheLastTrackAndPlaybackEndsByItself) {
  Track* first = f.addTrack(testdisc::kSongs[0]);
  Track* last = f.addTrack(testdisc::kChatter5);
  session.onCommand(Command::Play);
  f.tick();
  ASSERT_EQ(session.transport().playingTrack(), first);
  session.onCommand(Command::Next);
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), last);
  EXPECT_FALSE(session.commandState(Command::Next)->enabled);
  session.onCommand(Command::Next);  // does nothing
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), last);

  // The clips last well under a second each: the voice runs off the end.
  session.onCommand(Command::Stop);
  session.onCommand(Command::Play);
  std::vector<Track*> heard;
  ASSERT_TRUE(f.tickUntil([&] {
    if (session.transport().playingTrack() && (heard.empty() || heard.back() != session.transport().playingTrack()))
      heard.push_back(session.transport().playingTrack());
    return !heard.empty() && session.transport().playingTrack() == nullptr &&
           session.transport().existingVoice()->track() == nullptr;
  }));
  EXPECT_EQ(heard, (std::vector<Track*>{first, last}));
  EXPECT_TRUE(session.commandState(Command::Play)->enabled);
}

TEST_F(ViewTransportTest, TheFirstRequestCreatesTheVoiceAndLinksItIntoTheEngine) {
  EXPECT_EQ(session.transport().existingVoice(), nullptr);
  Track* t = f.addTrack(testdisc::kSongs[0]);
  session.transport().play(t, StartPart::Intro);
  ASSERT_NE(session.transport().existingVoice(), nullptr);
  Voice* voice = session.transport().existingVoice();
  EXPECT_TRUE(voice->isLinked());
  session.transport().play(nullptr, StartPart::Intro);
  session.transport().play(t, StartPart::OutroOnly);
  EXPECT_EQ(session.transport().existingVoice(), voice);
  // The outro only: the reported position starts past the intro and song.
  f.tick();
  EXPECT_EQ(session.transport().playingTrack(), t);
  EXPECT_GE(session.transport().existingVoice()->position(), int32_t(trackSamples(*t) - t->outroAudio->samples()));
}

TEST_F(ViewTransportTest, RemovingThePlayingTrackStopsPlaybackBeforeItIsFreed) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  Track* b = f.addTrack(testdisc::kSongs[1]);
  session.transport().play(a, StartPart::Intro);
  // Not reported yet: the voice alone knows it plays `a`.
  session.playlist().removeTrack(a);
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
  EXPECT_EQ(session.transport().playingTrack(), nullptr);
  f.tick();
  session.transport().play(b, StartPart::Intro);
  f.tick();
  session.clearPlaylist();
  EXPECT_EQ(session.transport().existingVoice()->track(), nullptr);
  for (int i = 0; i < 10; ++i) f.tick();  // renders silence, reads nothing freed
  EXPECT_EQ(session.playlist().trackCount(), 0);
}

}  // namespace
}  // namespace wc::test
