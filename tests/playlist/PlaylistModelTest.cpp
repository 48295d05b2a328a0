#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "base/LittleEndian.h"
#include "playlist/Playlist.h"

namespace wc {
namespace {

// A catalogue with one station holding: song 0 (2 intros, 1 outro), its
// intros 1-2 and outro 3, then a commercial at 4.
class PlaylistModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue = std::make_unique<Catalogue>();
    std::memset(catalogue.get(), 0, sizeof(Catalogue));
    Station& s = catalogue->stations[4];
    s.clipCount = 5;
    setClip(s.clips[0], "Song", 0, 2, 1);
    setClip(s.clips[1], "DJ talks", 2, 0, 0);
    setClip(s.clips[2], "", 2, 0, 0);
    setClip(s.clips[3], "Bye", 2, 0, 0);
    setClip(s.clips[4], "Advert", 1, 0, 0);
  }
  static void setClip(Clip& c, const char* title, int cls, int intros, int outros) {
    std::strncpy(c.title, title, sizeof c.title - 1);
    c.clipClass = cls;
    c.intros = intros;
    c.outros = outros;
  }
  Track* add(int clipIndex) { return playlist.append(createTrack(*catalogue, 4, clipIndex)); }
  std::vector<Track*> order() {
    std::vector<Track*> v;
    for (Track* t = playlist.first(); t; t = Playlist::after(t)) v.push_back(t);
    return v;
  }

  std::unique_ptr<Catalogue> catalogue;
  Playlist playlist;
};

TEST_F(PlaylistModelTest, CreateTrackPicksFirstIntroAndOutroWithoutSpeech) {
  std::unique_ptr<Track> song(createTrack(*catalogue, 4, 0));
  EXPECT_EQ(song->intro, 1);  // clip 2 has an empty title
  EXPECT_EQ(song->outro, 0);  // the only outro has speech: stays 0
  EXPECT_EQ(introClipIndexOf(*catalogue, *song), 2);
  EXPECT_EQ(outroClipIndexOf(*catalogue, *song), 3);

  std::unique_ptr<Track> advert(createTrack(*catalogue, 4, 4));
  EXPECT_EQ(advert->intro, 0);
  EXPECT_EQ(introClipOf(*catalogue, *advert), nullptr);
  EXPECT_EQ(outroClipOf(*catalogue, *advert), nullptr);

  EXPECT_EQ(createTrack(*catalogue, 4, 5), nullptr);
  EXPECT_EQ(createTrack(*catalogue, 16, 0), nullptr);
  EXPECT_EQ(createTrack(*catalogue, -1, 0), nullptr);
}

TEST_F(PlaylistModelTest, CountsReachingPastTheStationNeverIndexOutside) {
  Station& s = catalogue->stations[4];
  s.clips[4].intros = 1000;
  s.clips[4].outros = -7;
  std::unique_ptr<Track> t(createTrack(*catalogue, 4, 4));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(introClipOf(*catalogue, *t), nullptr);
  EXPECT_EQ(outroClipOf(*catalogue, *t), nullptr);
  t->intro = -3;
  EXPECT_EQ(introClipOf(*catalogue, *t), nullptr);
}

TEST_F(PlaylistModelTest, RingOperationsKeepTheCount) {
  EXPECT_EQ(playlist.trackAt(0), nullptr);
  EXPECT_EQ(playlist.trackAt(-1), nullptr);

  Track* a = playlist.insertAfter(createTrack(*catalogue, 4, 0), playlist.end());
  EXPECT_EQ(playlist.first(), a);
  EXPECT_EQ(playlist.last(), a);
  EXPECT_EQ(playlist.trackCount(), 1);

  Track* b = add(4);
  Track* c = add(0);
  EXPECT_EQ(playlist.trackAt(2), c);
  EXPECT_EQ(playlist.trackAt(3), nullptr);
  EXPECT_EQ(playlist.trackIndexOf(c), 2);
  EXPECT_EQ(playlist.trackIndexOf(a), 0);
  EXPECT_EQ(Playlist::after(c), nullptr);

  // Move the first behind the last: b, c, a; moves never change the count.
  playlist.moveAfter(a, c);
  EXPECT_EQ(order(), (std::vector<Track*>{b, c, a}));
  EXPECT_EQ(playlist.trackCount(), 3);

  // Moving a track in front of its own successor, or onto itself, changes nothing.
  playlist.moveBefore(c, c->next);
  playlist.moveBefore(c, c);
  playlist.moveAfter(c, c);
  EXPECT_EQ(order(), (std::vector<Track*>{b, c, a}));
  playlist.moveBefore(b, playlist.end());
  EXPECT_EQ(order(), (std::vector<Track*>{c, a, b}));
  playlist.moveBefore(b, c);

  // Every listener hears, until its subscription goes.
  std::vector<Track*> stopped;
  int secondListener = 0;
  const Subscription first = playlist.beforeFree.connect([&](Track* t) { stopped.push_back(t); });
  Subscription second = playlist.beforeFree.connect([&](Track*) { ++secondListener; });
  playlist.removeTrack(c);
  EXPECT_EQ(order(), (std::vector<Track*>{b, a}));
  EXPECT_EQ(playlist.trackCount(), 2);
  EXPECT_EQ(stopped, (std::vector<Track*>{c}));
  EXPECT_EQ(secondListener, 1);
  second.reset();

  playlist.freeAll();
  EXPECT_TRUE(playlist.empty());
  EXPECT_EQ(playlist.trackCount(), 0);
  EXPECT_EQ(stopped.size(), 3u);
  EXPECT_EQ(secondListener, 1);  // disconnected before freeAll
}

TEST_F(PlaylistModelTest, RecordsRoundTripAndInvalidOnesAreSkipped) {
  Track* song = add(0);
  song->intro = 1;
  song->outro = 0;
  add(4);
  const std::vector<PlaylistRecord> records = playlist.records();
  EXPECT_EQ(records, (std::vector<PlaylistRecord>{{4, 0, 1, 0}, {4, 4, 0, 0}}));

  Playlist copy;
  std::vector<int> heard;
  std::vector<PlaylistRecord> withInvalid = records;
  withInvalid.insert(withInvalid.begin() + 1, PlaylistRecord{4, 200, 0, 0});  // no such clip
  EXPECT_EQ(copy.appendRecords(*catalogue, withInvalid, [&](Track& t) { heard.push_back(t.clipIndex); }), 2);
  EXPECT_EQ(copy.records(), records);
  EXPECT_EQ(copy.trackCount(), 2);
  EXPECT_EQ(heard, (std::vector<int>{0, 4}));
}

TEST_F(PlaylistModelTest, RoomEndsAt99TracksButInsertionsStillCount) {
  for (int i = 0; i < kMaxCdTracks - 1; ++i) add(4);
  EXPECT_TRUE(playlist.hasRoom());
  add(4);
  EXPECT_FALSE(playlist.hasRoom());
  add(4);  // the tools may go past a CD's tracks
  EXPECT_EQ(playlist.trackCount(), 100);
  EXPECT_EQ(int(playlist.records().size()), 100);
}

std::unique_ptr<ClipAudio> audioOfFrames(uint32_t frames) {
  const uint32_t chunks = (frames + 4095) / 4096;
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + size_t(chunks) * ClipAudio::kChunkSize);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, frames * 16);
  return std::make_unique<ClipAudio>(std::move(bytes));
}

TEST_F(PlaylistModelTest, LengthsCountLoadedPartsAndRoundSecondsUp) {
  // 77:59 is 4679 s = 112296000 samples; the longest whole number of frames
  // within it is 4010571 frames = 112295988 samples.
  Track* t = add(0);
  t->songAudio = audioOfFrames(4010571);
  EXPECT_EQ(playlist.playlistSamples(), 112295988);
  EXPECT_EQ(roundedSeconds(playlist.playlistSamples()), 77 * 60 + 59);
  t->introAudio = audioOfFrames(1);  // 28 samples more: past 77:59
  EXPECT_EQ(trackSamples(*t), 112296016);
  EXPECT_EQ(roundedSeconds(playlist.playlistSamples()), 78 * 60);
}

TEST(ClipAudioTest, ClaimedLengthIsCutAtTheEndOfTheBuffer) {
  // Header claims 10000 frames, buffer holds one full chunk and the start of
  // a second whose right region has room for 3 frames.
  std::vector<uint8_t> bytes(ClipAudio::kHeaderSize + ClipAudio::kChunkSize + ClipAudio::kRightOffset + 3 * 16 + 5);
  writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, 10000 * 16);
  ClipAudio audio(std::move(bytes));
  EXPECT_EQ(audio.channelLength(), 160000u);
  EXPECT_EQ(audio.frames(), 4096u + 3u);
  EXPECT_EQ(audio.chunkCount(), 2u);
  EXPECT_NE(audio.rightFrame(1, 2), nullptr);
  EXPECT_EQ(audio.rightFrame(1, 3), nullptr);
  EXPECT_EQ(audio.leftFrame(2, 0), nullptr);

  ClipAudio headerOnly(std::vector<uint8_t>(ClipAudio::kHeaderSize));
  EXPECT_EQ(headerOnly.frames(), 0u);
  ClipAudio tooShort(std::vector<uint8_t>(100));
  EXPECT_EQ(tooShort.channelLength(), 0u);

  // A remainder below 16 bytes is ignored; 4097 frames need two chunks.
  auto odd = audioOfFrames(4097);
  EXPECT_EQ(odd->chunkCount(), 2u);
  EXPECT_EQ(odd->framesInChunk(1), 1u);
  EXPECT_EQ(odd->rightFrame(1, 0) - odd->data(),
            ptrdiff_t(ClipAudio::kHeaderSize + ClipAudio::kChunkSize + ClipAudio::kRightOffset));
}

}  // namespace
}  // namespace wc
