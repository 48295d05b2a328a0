// What the desktop's media controls are told, read from the transport of a
// session over a hand-filled catalogue (no sound output: reports are made by
// hand, as the Voice would make them).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "session/MediaPlayerState.h"
#include "support/ViewTestBed.h"

namespace wc {
namespace {

constexpr int kStation = 6;

// Three tracks "First", "Second", "Third" on "Radio Six", with intro, song
// and outro frames of 28 samples at 24000 Hz, and a fourth clip "Jingle".
struct Bed : test::SessionTestBed {
  Bed() {
    Station& s = catalogue().stations[kStation];
    test::setStation(s, "Radio Six", true);
    s.clipCount = 4;
    test::setClip(s.clips[0], "First", 0, 0, 0, "Band A");
    test::setClip(s.clips[1], "Second", 0, 0, 0, "Band B");
    test::setClip(s.clips[2], "Third", 0);
    test::setClip(s.clips[3], "Jingle", 2);
    makeSession();
    constexpr uint32_t kFrames[3][3] = {{0, 24000, 0}, {1200, 36000, 2400}, {0, 7, 0}};
    for (int i = 0; i < 3; ++i) {
      Track* t = addTrack(kStation, i);
      if (kFrames[i][0]) t->introAudio = test::audioOfFrames(kFrames[i][0]);
      t->songAudio = test::audioOfFrames(kFrames[i][1]);
      if (kFrames[i][2]) t->outroAudio = test::audioOfFrames(kFrames[i][2]);
      tracks.push_back(t);
    }
  }
  ~Bed() { session->transport().stop(); }  // before the tracks' audio goes
  Transport& transport() { return session->transport(); }
  std::vector<Track*> tracks;
};

TEST(MediaPlayerState, FollowsTheTransport) {
  struct Scenario {
    const char* name;
    std::function<void(Bed&)> arrange;
    std::optional<MediaTrackInfo> track;  // Playing exactly when set
    int64_t position = 0;
  };
  const Scenario scenarios[] = {
      {"idle", [](Bed&) {}, std::nullopt},
      // 1200 + 36000 + 2400 frames = 46.2 s.
      {"the Voice took a track, no report yet", [](Bed& b) { b.transport().play(b.tracks[1]); },
       MediaTrackInfo{2, "Second", "Band B", "Radio Six", 46200000}},
      // 7 frames are 8166.67 microseconds: truncated; the position in whole seconds.
      {"reported track at 61 s",
       [](Bed& b) {
         b.transport().play(b.tracks[2]);
         b.transport().report(b.tracks[2], 61 * 24000 + 23999);
       },
       MediaTrackInfo{3, "Third", "", "Radio Six", 8166}, 61000000},
      // The Voice decodes ahead of what is heard: at a track's end it holds the
      // next track while the reports still name the one that sounds.
      {"the reported track wins over the one the Voice decodes",
       [](Bed& b) {
         b.transport().play(b.tracks[1]);
         b.transport().report(b.tracks[0], 24000);
       },
       MediaTrackInfo{1, "First", "Band A", "Radio Six", 28000000}, 1000000},
      {"a preview has no track number",
       [](Bed& b) { b.transport().playPreview(createTrack(b.catalogue(), kStation, 3)); },
       MediaTrackInfo{0, "Jingle", "", "Radio Six", 0}},
      {"stopped after playing",
       [](Bed& b) {
         b.transport().play(b.tracks[0]);
         b.transport().report(b.tracks[0], 48000);
         b.transport().stop();
       },
       std::nullopt},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    Bed bed;
    s.arrange(bed);
    const MediaPlayerState state = mediaPlayerState(bed.catalogue(), bed.transport());
    EXPECT_EQ(state.status, s.track ? MediaPlaybackStatus::Playing : MediaPlaybackStatus::Stopped);
    EXPECT_EQ(state.track, s.track);
    EXPECT_EQ(state.positionMicroseconds, s.position);
  }
}

// Catalogue fields from outside may fill their whole width without a NUL,
// and a track may name a station past the catalogue.
TEST(MediaPlayerState, ReadsFullWidthFieldsAndForeignStationsSafely) {
  Bed bed;
  Station& s = bed.catalogue().stations[kStation];
  std::memset(s.label, 'L', sizeof s.label);  // the clip count follows
  std::memset(s.clips[0].title, 'T', sizeof s.clips[0].title);
  std::memset(s.clips[0].artist, 'A', sizeof s.clips[0].artist);
  s.clips[0].clipClass = 'X';  // the byte after the artist is no NUL either
  bed.transport().play(bed.tracks[0]);

  MediaPlayerState state = mediaPlayerState(bed.catalogue(), bed.transport());
  ASSERT_TRUE(state.track);
  EXPECT_EQ(state.track->title, std::string(64, 'T'));
  EXPECT_EQ(state.track->artist, std::string(64, 'A'));
  EXPECT_EQ(state.track->station, std::string(32, 'L'));

  bed.tracks[0]->station = kStationCount;
  state = mediaPlayerState(bed.catalogue(), bed.transport());
  ASSERT_TRUE(state.track);
  EXPECT_EQ(state.track->station, "");
}

}  // namespace
}  // namespace wc
