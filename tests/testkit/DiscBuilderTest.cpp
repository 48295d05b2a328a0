#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "base/File.h"
#include "base/LittleEndian.h"
#include "gamedata/CatalogueBuilder.h"
#include "gamedata/CatalogueFile.h"
#include "gamedata/ClipAudio.h"
#include "support/TestDisc.h"

namespace wc {
namespace {

using test::TestDisc;
namespace td = test::testdisc;

std::vector<uint8_t> fileBytes(const Path& path) {
  auto bytes = readWholeFile(realFileSystem(), path);
  EXPECT_TRUE(bytes.has_value()) << path;
  return bytes.value_or(std::vector<uint8_t>{});
}

// Checks that the files on disk describe the same clips: the lookup table
// read back, the catalogue file read back, and each clip's header in its pack.
void expectTableCatalogueAndPacksAgree(const TestDisc& disc) {
  const std::vector<LookupRecord> records = parseLookupTable(fileBytes(disc.lookupTable()));
  ASSERT_EQ(records.size(), disc.records().size());

  auto catalogue = std::make_unique<Catalogue>();
  parseCatalogue(fileBytes(disc.catalogueFile()), *catalogue);
  EXPECT_TRUE(catalogueMatchesLookup(*catalogue, records));

  int seen[kStationCount] = {};
  for (const LookupRecord& r : records) {
    ASSERT_LT(r.station, uint32_t(kStationCount));
    const Clip& clip = catalogue->stations[r.station].clips[seen[r.station]++];
    EXPECT_EQ(clip.offset, r.offset);
    EXPECT_EQ(clip.size, r.size);
  }
  for (int s = 0; s < kStationCount; ++s) {
    EXPECT_EQ(catalogue->stations[s].clipCount, seen[s]) << "station " << s;
    if (seen[s] == 0) continue;
    const std::vector<uint8_t> pack = fileBytes(disc.pack(s));
    for (int k = 0; k < seen[s]; ++k) {
      const Clip& clip = catalogue->stations[s].clips[k];
      ASSERT_LE(uint64_t(clip.offset) + clip.size + 8068, pack.size()) << "station " << s << " clip " << k;
      const ClipAudio audio({pack.begin() + clip.offset, pack.begin() + clip.offset + clip.size + 8068});
      EXPECT_EQ(audio.channelLength(), test::testDiscFrames(s, k) * 16) << "station " << s << " clip " << k;
      EXPECT_EQ(audio.frames(), test::testDiscFrames(s, k));
    }
  }
}

TEST(DiscBuilderTest, DefaultCacheTableCatalogueAndPacksAgree) {
  const TestDisc disc = TestDisc::cache();
  EXPECT_EQ(disc.audioRoot(), disc.directory() / "CACHE");
  EXPECT_TRUE(std::filesystem::exists(disc.directory() / "CACHE" / "TRAKLKUP.DAT"));
  EXPECT_TRUE(std::filesystem::exists(disc.directory() / "WavecrateInfo.dat"));
  EXPECT_EQ(std::filesystem::file_size(disc.catalogueFile()), kCatalogueFileSize);
  expectTableCatalogueAndPacksAgree(disc);

  // A cache holds the packs of the listed stations only.
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(disc.audioRoot()))
    files.insert(entry.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"ADVERTS.PAK", "CH.PAK", "TRAKLKUP.DAT"}));
}

TEST(DiscBuilderTest, DefaultLayoutIsAnnotatedAsDocumented) {
  const TestDisc disc = TestDisc::cache();
  const Catalogue& c = disc.catalogue();
  for (int s = 0; s < kStationCount; ++s) {
    EXPECT_STREQ(c.stations[s].name, kPackNames[size_t(s)]);
    EXPECT_EQ(c.stations[s].listed, s == td::kAdverts || s == td::kMusic) << "station " << s;
  }
  const Station& music = c.stations[td::kMusic];
  EXPECT_STREQ(music.label, "Test FM");
  EXPECT_STREQ(c.stations[td::kAdverts].label, "ADVERTS");
  ASSERT_EQ(music.clipCount, td::kMusicClipCount);
  for (int song : td::kSongs) {
    EXPECT_EQ(music.clips[song].kind(), ClipClass::Song);
    EXPECT_EQ(music.clips[song].intros, 2);
    EXPECT_EQ(music.clips[song].outros, 1);
    EXPECT_STRNE(music.clips[song + 1].title, "");
    EXPECT_STREQ(music.clips[song + 2].title, "");
    EXPECT_EQ(music.nextTopLevel(song), song + 4);
  }
  EXPECT_STREQ(music.clips[0].artist, "Artist A");
  EXPECT_EQ(music.clips[td::kChatter2].clipClass, 2);
  EXPECT_EQ(music.clips[td::kChatter5].clipClass, 5);
  EXPECT_EQ(music.clips[td::kChatter6].clipClass, 6);
  EXPECT_EQ(music.clips[td::kChatter7].clipClass, 7);
  ASSERT_EQ(c.stations[td::kAdverts].clipCount, td::kAdvertCount);
  for (int k = 0; k < td::kAdvertCount; ++k) EXPECT_EQ(c.stations[td::kAdverts].clips[k].clipClass, 1);
}

TEST(DiscBuilderTest, ClipsLieAlignedInOrderAndPastTheLeadIn) {
  const TestDisc disc = TestDisc::disc();
  for (int s : {td::kAdverts, td::kMusic}) {
    const Station& st = disc.catalogue().stations[s];
    uint64_t end = 0;
    for (int k = 0; k < st.clipCount; ++k) {
      const Clip& clip = st.clips[k];
      EXPECT_EQ(clip.offset % 2048, 0u);
      EXPECT_GE(clip.offset, std::max<uint64_t>(end, 2048)) << "clip " << k << " overlaps";
      EXPECT_EQ(clip.size, 135168u);
      end = uint64_t(clip.offset) + clip.size + 8068;
    }
    EXPECT_EQ(std::filesystem::file_size(disc.pack(s)), end) << "the pack ends with its last clip";
  }
}

TEST(DiscBuilderTest, DiscLayoutHasEveryPackEmptyOnesIncluded) {
  const TestDisc disc = TestDisc::disc();
  EXPECT_EQ(disc.audioRoot(), disc.directory() / "AUDIO");
  EXPECT_EQ(disc.lookupTable(), disc.directory() / "AUDIO" / "CONFIG" / "TRAKLKUP.DAT");
  for (int s = 0; s < kStationCount; ++s) {
    EXPECT_EQ(disc.pack(s), disc.directory() / "AUDIO" / "STREAMS" / (std::string(kPackNames[size_t(s)]) + ".PAK"));
    ASSERT_TRUE(std::filesystem::exists(disc.pack(s))) << kPackNames[size_t(s)];
    if (s != td::kAdverts && s != td::kMusic) {
      EXPECT_EQ(std::filesystem::file_size(disc.pack(s)), 0u);
    }
  }
  expectTableCatalogueAndPacksAgree(disc);
}

TEST(DiscBuilderTest, IsoNamesAreLowerCaseWithVersionSuffix) {
  DiscWriteOptions options;
  options.isoNames = true;
  const TestDisc disc = TestDisc::disc(test::defaultTestDiscPlan(), options);
  const Path root = disc.directory() / "audio";
  EXPECT_TRUE(std::filesystem::is_regular_file(root / "config" / "traklkup.dat;1"));
  EXPECT_TRUE(std::filesystem::is_regular_file(root / "streams" / "ch.pak;1"));
  EXPECT_TRUE(std::filesystem::is_regular_file(root / "streams" / "adverts.pak;1"));
  EXPECT_FALSE(std::filesystem::exists(disc.directory() / "AUDIO"));
  EXPECT_FALSE(std::filesystem::exists(root / "streams" / "ch.pak"));
  expectTableCatalogueAndPacksAgree(disc);
}

TEST(DiscBuilderTest, InterleavedTableAlternatesStationsButKeepsClipOrder) {
  DiscWriteOptions options;
  options.interleave = true;
  const TestDisc disc = TestDisc::cache(test::defaultTestDiscPlan(), options);
  const std::vector<LookupRecord>& records = disc.records();
  ASSERT_EQ(records.size(), size_t(td::kAdvertCount + td::kMusicClipCount));
  // Round robin in the order the stations are given: ADVERTS, then CH.
  for (int i = 0; i < 2 * td::kAdvertCount; ++i)
    EXPECT_EQ(records[size_t(i)].station, uint32_t(i % 2 == 0 ? td::kAdverts : td::kMusic)) << "record " << i;
  for (size_t i = 2 * td::kAdvertCount; i < records.size(); ++i) EXPECT_EQ(records[i].station, uint32_t(td::kMusic));
  expectTableCatalogueAndPacksAgree(disc);

  // Same clips, same places, as the grouped table.
  const TestDisc grouped = TestDisc::cache();
  EXPECT_EQ(serializeCatalogue(disc.catalogue()), serializeCatalogue(grouped.catalogue()));
  EXPECT_EQ(grouped.records().front().station, uint32_t(td::kAdverts));
  EXPECT_EQ(grouped.records()[td::kAdvertCount].station, uint32_t(td::kMusic));
}

TEST(DiscBuilderTest, StationsLeftOutKeepTheBareDefaults) {
  DiscPlan plan;
  StationPlan beats;
  beats.index = 3;
  beats.clips.push_back(ClipPlan{});
  beats.clips.back().signal = makeSilence(28 * 5);
  plan.stations.push_back(beats);
  test::ScopedTempDir dir;
  const auto written = writeDisc(plan, dir.path(), {});
  ASSERT_TRUE(written);
  for (int s = 0; s < kStationCount; ++s) {
    const bool listed = !(s == 0 || s == 2 || s == 3 || s == 7);
    EXPECT_EQ(written->catalogue->stations[s].listed, listed) << "station " << s;
    EXPECT_STREQ(written->catalogue->stations[s].label, kPackNames[size_t(s)]);
  }
  ASSERT_EQ(written->records.size(), 1u);
  EXPECT_EQ(written->records[0].station, 3u);
  EXPECT_EQ(written->records[0].size, 135168u);
}

TEST(DiscBuilderTest, ClipsOfSizeZeroAndGeneratorsAndLongTitles) {
  int generated = 0;
  DiscPlan plan;
  StationPlan st;
  st.index = 9;
  st.clips.resize(2);
  st.clips[0].title = std::string(100, 'x');
  st.clips[1].generate = [&generated] {
    ++generated;
    return makeSine(28 * 4097, 200.0, 200.0, 0.3);
  };
  plan.stations.push_back(st);
  test::ScopedTempDir dir;
  const auto written = writeDisc(plan, dir.path(), {});
  ASSERT_TRUE(written);
  EXPECT_EQ(generated, 1);
  const Station& hc = written->catalogue->stations[9];
  EXPECT_EQ(std::strlen(hc.clips[0].title), 63u);
  EXPECT_EQ(hc.clips[0].size, 0u);
  EXPECT_EQ(hc.clips[1].size, 2u * 135168u);
  EXPECT_GE(hc.clips[1].offset, hc.clips[0].offset + 8068);
}

TEST(DiscBuilderTest, ImpossiblePlansAreRefusedWithAReason) {
  test::ScopedTempDir dir;
  std::string error;

  auto station = [](int index) {
    StationPlan s;
    s.index = index;
    return s;
  };
  DiscPlan badIndex;
  badIndex.stations.push_back(station(16));
  EXPECT_FALSE(writeDisc(badIndex, dir.path(), {}, &error));
  EXPECT_NE(error.find("16"), std::string::npos);

  DiscPlan twice;
  twice.stations.push_back(station(4));
  twice.stations.push_back(station(4));
  EXPECT_FALSE(writeDisc(twice, dir.path(), {}, &error));

  DiscPlan nested;
  nested.stations.push_back(station(4));
  nested.stations[0].clips.resize(1);
  nested.stations[0].clips[0].intros.resize(1);
  nested.stations[0].clips[0].intros[0].outros.resize(1);
  EXPECT_FALSE(writeDisc(nested, dir.path(), {}, &error));

  DiscPlan crowded;
  crowded.stations.push_back(station(4));
  crowded.stations[0].clips.resize(200);
  crowded.stations[0].clips[0].intros.resize(57);
  EXPECT_FALSE(writeDisc(crowded, dir.path(), {}, &error));
  EXPECT_NE(error.find("256"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "AUDIO")) << "nothing is written for a refused plan";
}

}  // namespace
}  // namespace wc
