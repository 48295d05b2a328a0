// File Open refuses what is not a playlist, so that a later Save cannot
// write over it: the current playlist and its path stay, and the box names
// the file. What a playlist file may hold keeps its meaning: a count above 99
// takes the first 99 records, a count of 0 or below opens an empty playlist,
// invalid records among valid ones are skipped; but the file must be as long
// as its count makes it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/LittleEndian.h"
#include "playlist/PlaylistFileReader.h"
#include "support/DiscFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> text(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> withCount(std::vector<uint8_t> bytes, int32_t count) {
  writeI32LE(bytes.data(), count);
  return bytes;
}

class OpenRejectsNonPlaylistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.addTrack(testdisc::kSongs[0]);
    f.addTrack(testdisc::kSongs[1]);
    const std::string current = f.workPath("current.wcpl").string();
    ASSERT_TRUE(f.session->writePlaylistFile(current));
    ASSERT_TRUE(f.session->openPlaylistFile(current));  // the current file
  }
  void expectRefusedAndKept(const Path& path) {
    EXPECT_FALSE(f.session->openPlaylistFile(path.string()));
    EXPECT_EQ(f.session->playlist().trackCount(), 2);
    EXPECT_EQ(f.session->playlistPath(), f.workPath("current.wcpl").string());
    ASSERT_EQ(f.dialogs.boxes.size(), 1u);
    EXPECT_NE(f.dialogs.boxes[0].text.find(path.string()), std::string::npos);
    f.dialogs.boxes.clear();
  }

  SessionFixture f;
  ScopedTempDir dir;
};

TEST_F(OpenRejectsNonPlaylistsTest, FilesThatAreNoPlaylistAreRefused) {
  const PlaylistRecord good{testdisc::kMusic, testdisc::kChatter2, 0, 0};
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"a text file", text("Dear diary, today I made a radio mix of my favourite songs.\n")},
      {"an empty file", {}},
      {"three bytes", {1, 0, 0}},
      {"a count with no record", withCount(std::vector<uint8_t>(4), 3)},
      {"only invalid records", encodePlaylistFile(std::vector<PlaylistRecord>{{99, 0, 0, 0}, {-1, 2, 0, 0}})},
      {"a huge count of zero records past the first 99",
       withCount(encodePlaylistFile(std::vector<PlaylistRecord>(99, {testdisc::kMusic, 4000, 0, 0})), 100000)},
      {"a JPEG (negative count)", {0xff, 0xd8, 0xff, 0xe0, 0, 0x10, 'J', 'F', 'I', 'F', 0}},
      {"UTF-8 text with a non-ASCII fourth byte", text("Ol\xc3\xa9, mix of the week\n")},
      {"four zero bytes and more", {0, 0, 0, 0, 'P', 'K', 3, 4}},
      {"a negative count with records", withCount(encodePlaylistFile(std::vector<PlaylistRecord>{good}), -5)},
      {"a count larger than the file", withCount(encodePlaylistFile(std::vector<PlaylistRecord>{good, good}), 5)},
      {"a valid playlist with a tail",
       [&] {
         auto bytes = encodePlaylistFile(std::vector<PlaylistRecord>{good});
         bytes.push_back(0);
         return bytes;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Path path = dir.path() / "file.wcpl";
    writeBytes(path, c.bytes);
    expectRefusedAndKept(path);
  }
}

TEST_F(OpenRejectsNonPlaylistsTest, DevicesFifosAndDirectoriesAreRefusedWithoutBlocking) {
  const Path fifo = dir.path() / "pipe.wcpl";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const Path& path : {fifo, Path("/dev/zero"), Path("/dev/null"), dir.path()}) {
    SCOPED_TRACE(path.string());
    expectRefusedAndKept(path);
  }
}

// What the format defines still opens, and says how much it left out.
TEST(PlaylistFileReaderTest, DefinedContentsOpenAndCountWhatWasSkipped) {
  SessionFixture f;
  const PlaylistRecord good{testdisc::kMusic, testdisc::kChatter2, 0, 0};
  const PlaylistRecord bad{testdisc::kMusic, 4000, 0, 0};
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    size_t records;
    int64_t skipped;
    int lost = 0;  // tracks without the intro or outro they chose
  } cases[] = {
      {"150 records", encodePlaylistFile(std::vector<PlaylistRecord>(150, good)), 99, 51},
      {"count 0", encodePlaylistFile({}), 0, 0},
      {"negative count alone", withCount(encodePlaylistFile({}), -5), 0, 0},
      {"one valid among invalid", encodePlaylistFile(std::vector<PlaylistRecord>{bad, good, bad}), 1, 2},
      {"intro and outro a clip lacks",
       encodePlaylistFile(std::vector<PlaylistRecord>{{testdisc::kMusic, testdisc::kChatter2, 1, 0},
                                                      {testdisc::kMusic, testdisc::kChatter2, 0, 1},
                                                      {testdisc::kMusic, testdisc::kSongs[0], 1, 0}}),
       3, 0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PlaylistFileContents contents = inspectPlaylistFile(c.bytes, f.catalogue());
    EXPECT_EQ(contents.problem, PlaylistFileProblem::None);
    EXPECT_EQ(contents.records.size(), c.records);
    EXPECT_EQ(contents.skipped, c.skipped);
    EXPECT_EQ(contents.lostIntroOrOutro, c.lost);
  }
}

// A file far larger than any playlist (sparse, so it costs no disk) is read
// only as far as the format reaches: it is refused at once, without the
// memory its size would need.
TEST(PlaylistFileReaderTest, AHugeFileReadsOnlyWhatTheFormatCanUse) {
  SessionFixture f;
  ScopedTempDir dir;
  const Path path = dir.path() / "huge.wcpl";
  const PlaylistRecord good{testdisc::kMusic, testdisc::kChatter2, 0, 0};
  writeBytes(path, encodePlaylistFile(std::vector<PlaylistRecord>(3, good)));
  fs::resize_file(path, uint64_t(1) << 40);  // a terabyte of zeros after the records
  FaultyFileSystem counting;
  const PlaylistFileContents contents = readPlaylistFile(counting, path, f.catalogue());
  EXPECT_EQ(contents.problem, PlaylistFileProblem::WrongSize);
  EXPECT_LE(counting.bytesRead(), kMaxPlaylistFileBytes);
}

}  // namespace
}  // namespace wc::test
