// The transport commands and their enable rules, driven through the view's
// command entry points over the fake sound device.
#include <gtest/gtest.h>

#include "playlist/Voice.h"
#include "support/ViewFixture.h"
#include "ui/CommandIds.h"

namespace wc::test {
namespace {

struct Enabled {
  bool play, stop, previous, next;
  bool operator==(const Enabled&) const = default;
};

Enabled transport(const StudioView& v) {
  return {v.commandState(cmd::Play)->enabled, v.commandState(cmd::Stop)->enabled,
          v.commandState(cmd::Previous)->enabled, v.commandState(cmd::Next)->enabled};
}

class ViewTransportTest : public ::testing::Test {
 protected:
  ViewFixture f;
  StudioView& view = *f.view;
};

TEST_F(ViewTransportTest, EnableRulesInTheIdlePreviewingAndPlayingStates) {
  // Empty playlist, nothing played yet.
  EXPECT_EQ(transport(view), (Enabled{false, false, false, false}));
  EXPECT_FALSE(view.commandState(cmd::FileSave)->enabled);
  EXPECT_FALSE(view.commandState(cmd::ExportCd)->enabled);
  EXPECT_TRUE(view.commandState(cmd::CopyAudioFiles)->enabled);
  EXPECT_TRUE(view.commandState(cmd::AddAllSongs)->enabled);
  EXPECT_FALSE(view.commandState(cmd::Pad)->enabled);
  view.onCommand(cmd::Play);  // disabled: does nothing
  EXPECT_EQ(view.transport().existingVoice(), nullptr);

  Track* a = f.addTrack(testdisc::kSongs[0]);
  f.addTrack(testdisc::kSongs[1]);
  EXPECT_EQ(transport(view), (Enabled{true, false, false, false}));
  EXPECT_TRUE(view.commandState(cmd::FileSaveAs)->enabled);
  EXPECT_TRUE(view.commandState(cmd::ExportWave)->enabled);
  EXPECT_TRUE(view.commandState(cmd::RandomizeIntros)->enabled);

  // Previewing: Play and Stop; the tools and the copy wait.
  view.preview(testdisc::kChatter2);
  f.tick();
  ASSERT_NE(view.transport().playingTrack(), nullptr);
  EXPECT_TRUE(view.transport().playingTrack()->isPreview());
  EXPECT_EQ(transport(view), (Enabled{true, true, false, false}));
  EXPECT_FALSE(view.commandState(cmd::CopyAudioFiles)->enabled);
  EXPECT_FALSE(view.commandState(cmd::AddAllSongs)->enabled);
  EXPECT_FALSE(view.commandState(cmd::Pad)->enabled);

  // Play replaces the preview by the playlist from its first track.
  view.onCommand(cmd::Play);
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), a);
  EXPECT_EQ(transport(view), (Enabled{false, true, true, true}));
  EXPECT_FALSE(view.commandState(cmd::CreateRadioMix)->enabled);

  // Stop reports at once.
  view.onCommand(cmd::Stop);
  EXPECT_EQ(view.transport().playingTrack(), nullptr);
  EXPECT_EQ(transport(view), (Enabled{true, false, false, false}));
}

TEST_F(ViewTransportTest, PreviousGoesBackOnlyWithinTheFirstTwoSeconds) {
  f.addTrack(testdisc::kSongs[0]);
  Track* second = f.addTrack(testdisc::kSongs[1]);
  Track* third = f.addTrack(testdisc::kSongs[2]);
  view.transport().play(third, StartPart::Intro);
  f.tick();
  ASSERT_EQ(view.transport().playingTrack(), third);

  view.transport().report(view.transport().playingTrack(), 1 * 24000);
  view.onCommand(cmd::Previous);
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), second);

  view.transport().play(third, StartPart::Intro);
  f.tick();
  view.transport().report(view.transport().playingTrack(), 2 * 24000);
  view.onCommand(cmd::Previous);
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), third);
  EXPECT_EQ(view.transport().playingSeconds(), 0);  // started over

  // On the first track Previous always starts it over.
  Track* first = view.playlist().first();
  view.transport().play(first, StartPart::Intro);
  f.tick();
  view.transport().report(view.transport().playingTrack(), 0 * 24000);
  view.onCommand(cmd::Previous);
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), first);
}

TEST_F(ViewTransportTest, NextIsDisabledOnTheLastTrackAndPlaybackEndsByItself) {
  Track* first = f.addTrack(testdisc::kSongs[0]);
  Track* last = f.addTrack(testdisc::kChatter5);
  view.onCommand(cmd::Play);
  f.tick();
  ASSERT_EQ(view.transport().playingTrack(), first);
  view.onCommand(cmd::Next);
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), last);
  EXPECT_FALSE(view.commandState(cmd::Next)->enabled);
  view.onCommand(cmd::Next);  // does nothing
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), last);

  // The clips last well under a second each: the voice runs off the end.
  view.onCommand(cmd::Stop);
  view.onCommand(cmd::Play);
  std::vector<Track*> heard;
  ASSERT_TRUE(f.tickUntil([&] {
    if (view.transport().playingTrack() && (heard.empty() || heard.back() != view.transport().playingTrack()))
      heard.push_back(view.transport().playingTrack());
    return !heard.empty() && view.transport().playingTrack() == nullptr &&
           view.transport().existingVoice()->track() == nullptr;
  }));
  EXPECT_EQ(heard, (std::vector<Track*>{first, last}));
  EXPECT_TRUE(view.commandState(cmd::Play)->enabled);
}

TEST_F(ViewTransportTest, TheFirstRequestCreatesTheVoiceAndLinksItIntoTheEngine) {
  EXPECT_EQ(view.transport().existingVoice(), nullptr);
  Track* t = f.addTrack(testdisc::kSongs[0]);
  view.transport().play(t, StartPart::Intro);
  ASSERT_NE(view.transport().existingVoice(), nullptr);
  Voice* voice = view.transport().existingVoice();
  EXPECT_TRUE(voice->isLinked());
  view.transport().play(nullptr, StartPart::Intro);
  view.transport().play(t, StartPart::OutroOnly);
  EXPECT_EQ(view.transport().existingVoice(), voice);
  // The outro only: the reported position starts past the intro and song.
  f.tick();
  EXPECT_EQ(view.transport().playingTrack(), t);
  EXPECT_GE(view.transport().existingVoice()->position(), int32_t(trackSamples(*t) - t->outroAudio->samples()));
}

TEST_F(ViewTransportTest, RemovingThePlayingTrackStopsPlaybackBeforeItIsFreed) {
  Track* a = f.addTrack(testdisc::kSongs[0]);
  Track* b = f.addTrack(testdisc::kSongs[1]);
  view.transport().play(a, StartPart::Intro);
  // Not reported yet: the voice alone knows it plays `a`.
  view.playlist().removeTrack(a);
  EXPECT_EQ(view.transport().existingVoice()->track(), nullptr);
  EXPECT_EQ(view.transport().playingTrack(), nullptr);
  f.tick();
  view.transport().play(b, StartPart::Intro);
  f.tick();
  view.clearPlaylist();
  EXPECT_EQ(view.transport().existingVoice()->track(), nullptr);
  for (int i = 0; i < 10; ++i) f.tick();  // renders silence, reads nothing freed
  EXPECT_EQ(view.playlist().trackCount(), 0);
}

}  // namespace
}  // namespace wc::test
