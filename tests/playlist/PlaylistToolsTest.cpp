// The playlist tools on their own: a catalogue, a playlist, a seeded
// generator and a loader, with no view or window anywhere.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "base/CRandom.h"
#include "playlist/PlaylistTools.h"

namespace wc {
namespace {

void setClip(Clip& c, int clipClass, int intros = 0, int outros = 0) {
  std::memset(&c, 0, sizeof c);
  c.clipClass = clipClass;
  c.intros = intros;
  c.outros = outros;
}

// Remembers what a tool reported, in order.
struct RecordingObserver final : ToolObserver {
  std::vector<int> inserted, changed;
  void trackInserted(Track& t) override { inserted.push_back(t.clipIndex); }
  void trackChanged(Track& t) override { changed.push_back(t.clipIndex); }
};

class PlaylistToolsTest : public ::testing::Test {
 protected:
  static constexpr int kStation = 4;
  // Three songs with 2 intros and 2 outros each (and their follow-on
  // clips), then class 5, 6 and 2 chatter; one commercial.
  PlaylistToolsTest() : catalogue(std::make_unique<Catalogue>()) {
    Station& adverts = catalogue->stations[kAdvertsStation];
    adverts.clipCount = 1;
    setClip(adverts.clips[0], classNumber(ClipClass::Commercial));
    Station& s = catalogue->stations[kStation];
    int k = 0;
    for (int song = 0; song < 3; ++song) {
      setClip(s.clips[k++], classNumber(ClipClass::Song), 2, 2);
      for (int i = 0; i < 4; ++i) setClip(s.clips[k++], 3);
    }
    for (int cls : {5, 6, 2}) setClip(s.clips[k++], cls);
    s.clipCount = k;
  }
  ToolContext context() {
    return {*catalogue, kStation, playlist, random, [this](Track& t) { loaded.push_back(t.clipIndex); }, observer};
  }
  std::vector<int> clipsInOrder() const {
    std::vector<int> clips;
    for (const Track* t = playlist.first(); t; t = Playlist::after(t)) clips.push_back(t->clipIndex);
    return clips;
  }

  std::unique_ptr<Catalogue> catalogue;
  Playlist playlist;
  CRandom random{1};
  RecordingObserver observer;
  std::vector<int> loaded;
};

TEST_F(PlaylistToolsTest, AddAllSongsTakesEverySongOnceAndReportsEachBeforeItLoads) {
  EXPECT_TRUE(stationHasSong(catalogue->stations[kStation]));
  EXPECT_FALSE(playlistHasSong(playlist));
  addAllSongs(context());
  const std::vector<int> clips = clipsInOrder();
  EXPECT_EQ(std::set<int>(clips.begin(), clips.end()), (std::set<int>{0, 5, 10}));
  EXPECT_EQ(playlist.trackCount(), 3);
  EXPECT_EQ(observer.inserted, clips);
  EXPECT_EQ(loaded, clips);
  EXPECT_TRUE(playlistHasSong(playlist));
}

TEST_F(PlaylistToolsTest, RandomizeIntrosDrawsIntroThenOutroForEverySong) {
  addAllSongs(context());
  for (Track* t = playlist.first(); t; t = Playlist::after(t)) t->intro = t->outro = 0;
  random.seed(7);
  CRandom expected(7);
  observer.changed.clear();
  randomizeIntros(context());
  for (const Track* t = playlist.first(); t; t = Playlist::after(t)) {
    EXPECT_EQ(t->intro, expected.next() % 2);
    EXPECT_EQ(t->outro, expected.next() % 2);
  }
  // Only songs whose choice changed are reported, once each.
  std::set<int> changed(observer.changed.begin(), observer.changed.end());
  EXPECT_EQ(changed.size(), observer.changed.size());
  EXPECT_EQ(random.next(), expected.next());  // nothing else was drawn
}

TEST_F(PlaylistToolsTest, ARadioMixOpensWithChatterAndEndsWithClassFiveAfterTheLastSong) {
  appendRadioMix(context());
  const std::vector<int> clips = clipsInOrder();
  const Station& s = catalogue->stations[kStation];
  ASSERT_GE(clips.size(), 5u);
  EXPECT_EQ(s.clips[clips[0]].clipClass, 5);
  int songs = 0;
  for (const Track* t = playlist.first(); t; t = Playlist::after(t)) songs += t->clip->kind() == ClipClass::Song;
  EXPECT_EQ(songs, 3);
  EXPECT_EQ(playlist.last()->clip->clipClass, 5);
  EXPECT_EQ(observer.inserted.size(), clips.size());
}

}  // namespace
}  // namespace wc
