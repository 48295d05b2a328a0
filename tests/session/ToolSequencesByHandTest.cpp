// Create Radio Mix and Pad, clip by clip, against sequences worked out by
// hand from the generator's known values: seeded with 1 it gives 41, 18467,
// 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464, 5705, 28145, ...
// (For example the radio mix opens with the class 5 pool {21, 22} at weights
// 3, 3: 41 % 6 = 5 passes 21 and takes 22; the song pool {0, 4, 10, 11, 16},
// never ripe, takes 6334 % 25 = 9, past song 0, song 4; its intro is
// 26500 % 3 = 1 and its outro 19169 % 2 = 1.)
#include <gtest/gtest.h>

#include "base/CRandom.h"
#include "session/Command.h"
#include "support/ViewTestBed.h"

namespace wc {
namespace {

using test::setClip;
using test::setStation;

constexpr int kStation = 4;
constexpr int kAdverts = 1;

struct Expected {
  int station, clip, intro, outro;  // intro/outro < 0: not checked
};

class ToolSequencesByHandTest : public ::testing::Test {
 protected:
  // Five songs with 2/1, 3/2, 0/0, 2/2 and 1/3 intros/outros, two class 5
  // clips, one of class 6, one each of classes 2 and 7; two commercials.
  void SetUp() override {
    Catalogue& c = bed.catalogue();
    setStation(c.stations[kAdverts], "Adverts", true);
    c.stations[kAdverts].clipCount = 2;
    setClip(c.stations[kAdverts].clips[0], "Ad 0", 1);
    setClip(c.stations[kAdverts].clips[1], "Ad 1", 1);
    Station& s = c.stations[kStation];
    setStation(s, "Four", true);
    int k = 0;
    auto song = [&](int intros, int outros) {
      setClip(s.clips[k++], "Song", 0, intros, outros, "Artist");
      for (int i = 0; i < intros + outros; ++i) setClip(s.clips[k++], "Part", 2);
    };
    song(2, 1);                                                                   // 0
    song(3, 2);                                                                   // 4
    song(0, 0);                                                                   // 10
    song(2, 2);                                                                   // 11
    song(1, 3);                                                                   // 16
    for (const int cls : {5, 5, 6, 2, 7}) setClip(s.clips[k++], "Chatter", cls);  // 21..25
    s.clipCount = k;
    bed.makeSession().selectStation(kStation);
    bed.random.seed(1);
  }
  void expectPlaylist(const std::vector<Expected>& expected) {
    std::vector<Expected> actual;
    for (Track* t = bed.session->playlist().first(); t; t = Playlist::after(t))
      actual.push_back({t->station, t->clipIndex, t->intro, t->outro});
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE("track " + std::to_string(i + 1));
      EXPECT_EQ(actual[i].station, expected[i].station);
      EXPECT_EQ(actual[i].clip, expected[i].clip);
      if (expected[i].intro >= 0) {
        EXPECT_EQ(actual[i].intro, expected[i].intro);
        EXPECT_EQ(actual[i].outro, expected[i].outro);
      }
    }
  }

  test::SessionTestBed bed;
};

TEST_F(ToolSequencesByHandTest, RadioMixWithSeedOne) {
  bed.session->onCommand(Command::CreateRadioMix);
  constexpr int x = -1;
  expectPlaylist({
      {kStation, 22, x, x},
      {kStation, 23, x, x},  // opening: class 5, class 6
      {kStation, 4, 1, 1},
      {kAdverts, 1, x, x},
      {kStation, 24, x, x},  // run 1
      {kStation, 16, 0, 2},
      {kAdverts, 0, x, x},
      {kStation, 25, x, x},  // run 2
      {kStation, 0, 1, 0},
      {kAdverts, 1, x, x},
      {kStation, 25, x, x},  // 2995 % 127 = 74: no chatter
      {kStation, 11, 0, 1},
      {kAdverts, 0, x, x},
      {kStation, 21, x, x},
      {kStation, 24, x, x},  // run 3
      {kStation, 10, 0, 0},
      {kAdverts, 1, x, x},
      {kStation, 21, x, x},  // the last song: class 5 last
  });
}

TEST_F(ToolSequencesByHandTest, PadWithSeedOne) {
  for (const int song : {0, 4, 10, 11, 16}) bed.addTrack(kStation, song);
  bed.session->onCommand(Command::Pad);
  constexpr int x = -1;
  expectPlaylist({
      {kStation, 22, x, x},
      {kStation, 23, x, x},  // opening
      {kStation, 0, x, x},
      {kAdverts, 1, x, x},
      {kStation, 25, x, x},  // run 1
      {kStation, 4, x, x},
      {kAdverts, 0, x, x},
      {kStation, 24, x, x},  // run 2
      {kStation, 10, x, x},
      {kStation, 21, x, x},
      {kStation, 25, x, x},
      {kAdverts, 0, x, x},  // chatter first
      {kStation, 11, x, x},
      {kAdverts, 1, x, x},
      {kStation, 25, x, x},  // run 1
      {kStation, 16, x, x},
      {kStation, 21, x, x},
      {kAdverts, 0, x, x},  // the last song
  });
}

}  // namespace
}  // namespace wc
