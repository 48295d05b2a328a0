// Playlists of a requested length over a generated catalogue, as the
// command-line export benchmark writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "gamedata/CatalogueBuilder.h"
#include "playlist/TrackAudio.h"
#include "support/GameDataHarness.h"
#include "testkit/discgen/LongPlaylist.h"

namespace wc {
namespace {

constexpr int64_t kRate = 24000;
constexpr int kMusic = 4;

int64_t seconds(double s) { return int64_t(s * kRate); }

// Silent frames: the planner only cares how long a clip is.
ClipPlan silentClip(double secondsLong, ClipClass clipClass, std::string title = "x") {
  ClipPlan c;
  c.title = std::move(title);
  c.clipClass = clipClass;
  const size_t frames = size_t(secondsLong * kRate / 28.0);
  c.frames = EncodedClip{std::vector<uint8_t>(frames * 16, 0), std::vector<uint8_t>(frames * 16, 0)};
  return c;
}

// Three songs of different lengths with two intros and two outros each,
// chatter of two lengths on the music station and commercials on ADVERTS.
DiscPlan smallStations() {
  DiscPlan plan;
  plan.unlistEmptyStations = true;
  StationPlan music;
  music.index = kMusic;
  for (double songSeconds : {10.0, 12.5, 15.0}) {
    ClipPlan song = silentClip(songSeconds, ClipClass::Song);
    song.intros = {silentClip(1.5, ClipClass::Chatter), silentClip(1.0, ClipClass::Chatter, "")};
    song.outros = {silentClip(2.0, ClipClass::Chatter), silentClip(0.5, ClipClass::Chatter, "")};
    music.clips.push_back(std::move(song));
  }
  music.clips.push_back(silentClip(2.0, ClipClass::Chatter));
  music.clips.push_back(silentClip(3.0, ClipClass::ChatterFive));
  StationPlan adverts;
  adverts.index = kAdvertsStation;
  adverts.clips.push_back(silentClip(2.5, ClipClass::Commercial));
  plan.stations = {std::move(adverts), std::move(music)};
  return plan;
}

TEST(LongPlaylistTest, WrittenFileOpensAsValidTracksOfTheRequestedLength) {
  test::GameDataHarness h;
  DiscWriteOptions options;
  options.layout = DiscLayout::Cache;
  const auto disc = writeDisc(smallStations(), h.work, options);
  ASSERT_TRUE(disc);
  LongPlaylistTarget target;
  target.minutes = 1.5;
  const Path file = h.work / "cd.wcpl";
  std::string error;
  const auto written = writeLongPlaylist(*disc, file, target, &error);
  ASSERT_TRUE(written) << error;

  // Opened as the export opens it: records checked against the catalogue
  // file, lengths summed over the audio loaded from the cache.
  h.gameData->loadCatalogue();
  const auto bytes = readWholeFile(realFileSystem(), file);
  ASSERT_TRUE(bytes);
  const auto records = decodePlaylistFile(*bytes, h.gameData->catalogue());
  EXPECT_EQ(records, written->records);
  EXPECT_EQ(bytes->size(), 4 + records.size() * kPlaylistRecordSize);
  ASSERT_LE(records.size(), size_t(kMaxCdTracks));

  int64_t total = 0;
  std::set<int> songs;
  std::set<std::pair<int, int>> pairs;
  for (const PlaylistRecord& r : records) {
    std::unique_ptr<Track> track(createTrack(h.gameData->catalogue(), r.station, r.clipIndex));
    ASSERT_TRUE(track);
    track->intro = r.intro;
    track->outro = r.outro;
    loadTrackAudio(*h.gameData, *track, true, LoadIndicatorMode::Silent, nullptr);
    total += trackSamples(*track);
    if (track->clip->isSong()) {
      EXPECT_TRUE(track->introAudio && track->outroAudio);
      songs.insert(r.clipIndex);
      pairs.insert({r.intro, r.outro});
    }
  }
  EXPECT_EQ(total, written->samples);
  EXPECT_EQ(written->targetSamples, seconds(90));
  EXPECT_LE(total, seconds(90));
  EXPECT_GT(total, seconds(90) - seconds(2.0));  // the shortest filler
  EXPECT_EQ(songs.size(), 3u);
  EXPECT_EQ(pairs.size(), 4u);  // every intro and outro pair comes up
}

TEST(LongPlaylistTest, NothingToFillWithIsAnErrorAndWritesNoFile) {
  test::GameDataHarness h;
  DiscPlan plan;
  StationPlan music;
  music.index = kMusic;
  music.clips.push_back(silentClip(30.0, ClipClass::Song));
  plan.stations.push_back(std::move(music));
  DiscWriteOptions options;
  options.layout = DiscLayout::Cache;
  const auto disc = writeDisc(plan, h.work, options);
  ASSERT_TRUE(disc);
  LongPlaylistTarget target;
  target.minutes = 0.25;  // shorter than the only song
  std::string error;
  EXPECT_FALSE(writeLongPlaylist(*disc, h.work / "cd.wcpl", target, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(h.work / "cd.wcpl"));
}

// A catalogue in memory with lengths from a table, for the planner alone.
struct Lengths {
  std::unique_ptr<Catalogue> catalogue = std::make_unique<Catalogue>();
  std::map<std::pair<int, int>, int64_t> samples;

  Lengths() { resetToBareCatalogue(*catalogue); }

  int add(int station, ClipClass clipClass, int64_t length, int32_t intros = 0, int32_t outros = 0) {
    Station& s = catalogue->stations[station];
    const int k = s.clipCount++;
    s.clips[k].setKind(clipClass);
    s.clips[k].intros = intros;
    s.clips[k].outros = outros;
    samples[{station, k}] = length;
    return k;
  }
  ClipSamplesFunction function() const {
    return [this](int station, int clip) {
      const auto it = samples.find({station, clip});
      return it == samples.end() ? int64_t(0) : it->second;
    };
  }
};

TEST(LongPlaylistTest, RecordLengthCountsTheChosenIntroAndOutro) {
  Lengths l;
  l.add(kMusic, ClipClass::Chatter, 7);
  const int song = l.add(kMusic, ClipClass::Song, 1000, 2, 2);
  l.add(kMusic, ClipClass::Chatter, 10);  // intro 0
  l.add(kMusic, ClipClass::Chatter, 20);  // intro 1
  l.add(kMusic, ClipClass::Chatter, 40);  // outro 0
  l.add(kMusic, ClipClass::Chatter, 80);  // outro 1
  const auto f = l.function();
  EXPECT_EQ(recordSamples(*l.catalogue, {kMusic, song, 0, 0}, f), 1050);
  EXPECT_EQ(recordSamples(*l.catalogue, {kMusic, song, 1, 0}, f), 1060);
  EXPECT_EQ(recordSamples(*l.catalogue, {kMusic, song, 0, 1}, f), 1090);
  EXPECT_EQ(recordSamples(*l.catalogue, {kMusic, 0, 0, 0}, f), 7);
  EXPECT_EQ(recordSamples(*l.catalogue, {kMusic, song, 2, 0}, f), 0);  // no such intro
}

TEST(LongPlaylistTest, StopsAtTheTrackLimitWithoutPassingTheLength) {
  Lengths l;
  for (int k = 0; k < 5; ++k) l.add(kMusic, ClipClass::Song, seconds(2.0 + k));
  l.add(kAdvertsStation, ClipClass::Commercial, seconds(1.0));
  LongPlaylistTarget target;
  target.minutes = 74.0;
  const LongPlaylist p = planLongPlaylist(*l.catalogue, l.function(), target);
  EXPECT_EQ(p.records.size(), size_t(kMaxCdTracks));
  EXPECT_LT(p.samples, p.targetSamples);

  target.maxTracks = 7;
  EXPECT_EQ(planLongPlaylist(*l.catalogue, l.function(), target).records.size(), 7u);
}

TEST(LongPlaylistTest, ClosesTheGapWithShortClipsSpreadBetweenTheSongs) {
  Lengths l;
  const int song = l.add(kMusic, ClipClass::Song, seconds(55));
  const int chatter = l.add(kMusic, ClipClass::ChatterFive, seconds(3));
  l.add(kAdvertsStation, ClipClass::Commercial, seconds(4));
  LongPlaylistTarget target;
  target.minutes = 5.0;  // five songs, then 25 s of short clips
  const LongPlaylist p = planLongPlaylist(*l.catalogue, l.function(), target);
  int64_t sum = 0;
  int songsSeen = 0, sinceSong = 0, most = 0, fewest = 99;
  for (const PlaylistRecord& r : p.records) {
    sum += recordSamples(*l.catalogue, r, l.function());
    const bool isSong = r.station == kMusic && r.clipIndex == song;
    if (isSong && songsSeen > 0) {
      most = std::max(most, sinceSong);
      fewest = std::min(fewest, sinceSong);
    }
    if (isSong)
      ++songsSeen, sinceSong = 0;
    else
      ++sinceSong;
  }
  EXPECT_EQ(sum, p.samples);
  EXPECT_EQ(songsSeen, 5);
  EXPECT_EQ(p.records.front(), (PlaylistRecord{kMusic, song, 0, 0}));
  EXPECT_LE(p.samples, seconds(300));
  EXPECT_GT(p.samples, seconds(300 - 3));
  EXPECT_LE(most - fewest, 1);  // not all piled up at the end
  EXPECT_NE(std::find(p.records.begin(), p.records.end(), PlaylistRecord{kMusic, chatter, 0, 0}), p.records.end());
}

TEST(LongPlaylistTest, NeverOutgrowsTheWaveFileLimit) {
  Lengths l;
  l.add(kMusic, ClipClass::Song, seconds(20));
  l.add(kMusic, ClipClass::Chatter, seconds(1));
  LongPlaylistTarget target;
  target.minutes = 10.0;
  target.maxCdDataBytes = 44100 * 4 * 90;  // 90 s of CD audio
  const LongPlaylist p = planLongPlaylist(*l.catalogue, l.function(), target);
  EXPECT_LE(WaveWriter::predictedDataBytes(p.samples, 24000, 44100), target.maxCdDataBytes);
  EXPECT_GT(p.samples, seconds(89));
}

TEST(LongPlaylistTest, SongsLongerThanAskedAreLeftOut) {
  Lengths l;
  l.add(kMusic, ClipClass::Song, seconds(120));
  const int chatter = l.add(kMusic, ClipClass::Chatter, seconds(20));
  LongPlaylistTarget target;
  target.minutes = 1.0;
  const LongPlaylist p = planLongPlaylist(*l.catalogue, l.function(), target);
  EXPECT_EQ(p.records, std::vector<PlaylistRecord>(3, {kMusic, chatter, 0, 0}));
  EXPECT_EQ(p.samples, seconds(60));

  target.minutes = 0.0;
  EXPECT_TRUE(planLongPlaylist(*l.catalogue, l.function(), target).records.empty());
}

}  // namespace
}  // namespace wc
