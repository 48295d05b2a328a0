// What the desktop's media controls are told, read from the transport of a
// view over a hand-filled catalogue (no sound output: reports are made by
// hand, as the Voice would make them).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/ViewTestBed.h"
#include "ui/MediaPlayerState.h"

namespace wc {
namespace {

using test::audioOfFrames;
using test::setClip;
using test::setStation;

constexpr int kStation = 6;

struct Scenario {
  const char* name;
  // Sets the transport up; returns nothing, the state is read afterwards.
  std::function<void(test::ViewTestBed&, std::vector<Track*>&)> arrange;
  MediaPlayerState expected;
  int64_t expectedPosition = 0;
};

MediaTrackInfo info(int number, const char* title, const char* artist, int64_t length) {
  return MediaTrackInfo{number, title, artist, "Radio Six", length};
}

// Audio of the three tracks: intro, song and outro frames of 28 samples at
// 24000 Hz. Track 2: 1200 + 36000 + 2400 = 39600 frames = 46.2 s.
constexpr uint32_t kFrames[3][3] = {{0, 24000, 0}, {1200, 36000, 2400}, {0, 7, 0}};

TEST(MediaPlayerState, FollowsTheTransport) {
  const Scenario scenarios[] = {
      {"idle", [](auto&, auto&) {}, {}, 0},
      {"voice took a track, no report yet",
       [](auto& bed, auto& tracks) { bed.view->transport().play(tracks[1]); },
       {MediaPlaybackStatus::Playing, info(2, "Second", "Band B", 46200000)},
       0},
      {"reported track at 61 s",
       [](auto& bed, auto& tracks) {
         bed.view->transport().play(tracks[2]);
         bed.view->transport().report(tracks[2], 61 * 24000 + 23999);
       },
       // 7 frames are 8166.67 microseconds: truncated.
       {MediaPlaybackStatus::Playing, info(3, "Third", "", 8166)},
       61000000},
      // The Voice decodes ahead of what is heard: at a track's end it holds
      // the next track while the reports still name the one that sounds.
      {"the reported track wins over the one the Voice decodes",
       [](auto& bed, auto& tracks) {
         bed.view->transport().play(tracks[1]);
         bed.view->transport().report(tracks[0], 24000);
       },
       {MediaPlaybackStatus::Playing, info(1, "First", "Band A", 28000000)},
       1000000},
      {"preview has no track number",
       [](auto& bed, auto&) { bed.view->transport().playPreview(createTrack(bed.catalogue(), kStation, 3)); },
       {MediaPlaybackStatus::Playing, info(0, "Jingle", "", 0)},
       0},
      {"stopped after playing",
       [](auto& bed, auto& tracks) {
         bed.view->transport().play(tracks[0]);
         bed.view->transport().report(tracks[0], 48000);
         bed.view->transport().stop();
       },
       {},
       0},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    test::ViewTestBed bed;
    Catalogue& c = bed.catalogue();
    setStation(c.stations[kStation], "Radio Six", true);
    c.stations[kStation].clipCount = 4;
    setClip(c.stations[kStation].clips[0], "First", 0, 0, 0, "Band A");
    setClip(c.stations[kStation].clips[1], "Second", 0, 0, 0, "Band B");
    setClip(c.stations[kStation].clips[2], "Third", 0);
    setClip(c.stations[kStation].clips[3], "Jingle", 2);
    bed.makeView();
    std::vector<Track*> tracks;
    for (int i = 0; i < 3; ++i) {
      Track* t = bed.addTrack(kStation, i);
      ASSERT_NE(t, nullptr);
      if (kFrames[i][0]) t->introAudio = audioOfFrames(kFrames[i][0]);
      t->songAudio = audioOfFrames(kFrames[i][1]);
      if (kFrames[i][2]) t->outroAudio = audioOfFrames(kFrames[i][2]);
      tracks.push_back(t);
    }
    s.arrange(bed, tracks);
    const MediaPlayerState state = mediaPlayerState(bed.catalogue(), bed.view->transport());
    EXPECT_EQ(state.status, s.expected.status);
    ASSERT_EQ(state.track.has_value(), s.expected.track.has_value());
    if (state.track) {
      EXPECT_EQ(state.track->trackNumber, s.expected.track->trackNumber);
      EXPECT_EQ(state.track->title, s.expected.track->title);
      EXPECT_EQ(state.track->artist, s.expected.track->artist);
      EXPECT_EQ(state.track->station, s.expected.track->station);
      EXPECT_EQ(state.track->lengthMicroseconds, s.expected.track->lengthMicroseconds);
    }
    EXPECT_EQ(state.positionMicroseconds, s.expectedPosition);
    bed.view->transport().stop();  // before the tracks' audio goes
  }
}

// Catalogue fields from outside may fill their whole width without a NUL,
// and a track may name a station past the catalogue.
TEST(MediaPlayerState, ReadsFullWidthFieldsAndForeignStationsSafely) {
  test::ViewTestBed bed;
  Catalogue& c = bed.catalogue();
  Station& s = c.stations[kStation];
  std::memset(s.label, 'L', sizeof s.label);
  s.listed = 1;
  s.clipCount = 1;
  setClip(s.clips[0], "", 0);
  std::memset(s.clips[0].title, 'T', sizeof s.clips[0].title);
  std::memset(s.clips[0].artist, 'A', sizeof s.clips[0].artist);
  s.clips[0].clipClass = 'X';  // the byte after the artist is no NUL either
  bed.makeView();
  Track* t = bed.addTrack(kStation, 0);
  ASSERT_NE(t, nullptr);
  bed.view->transport().play(t);

  MediaPlayerState state = mediaPlayerState(c, bed.view->transport());
  ASSERT_TRUE(state.track);
  EXPECT_EQ(state.track->title, std::string(64, 'T'));
  EXPECT_EQ(state.track->artist, std::string(64, 'A'));
  EXPECT_EQ(state.track->station, std::string(32, 'L'));

  t->station = kStationCount;
  state = mediaPlayerState(c, bed.view->transport());
  ASSERT_TRUE(state.track);
  EXPECT_EQ(state.track->station, "");
  EXPECT_EQ(state.track->title, std::string(64, 'T'));
  bed.view->transport().stop();
}

}  // namespace
}  // namespace wc
