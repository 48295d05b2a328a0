// File Open refuses what is not a playlist, so that a later Save cannot
// write over it: the current playlist and its path stay, and the box names
// the file. What a playlist file may hold keeps its meaning: a count above 99
// takes the first 99 records, a count of 0 or below opens an empty playlist,
// invalid records among valid ones are skipped.
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
  } cases[] = {
      {"150 records", encodePlaylistFile(std::vector<PlaylistRecord>(150, good)), 99, 51},
      {"count 0", encodePlaylistFile({}), 0, 0},
      {"negative count with records", withCount(encodePlaylistFile(std::vector<PlaylistRecord>{good}), -5), 0, 0},
      {"one valid among invalid", encodePlaylistFile(std::vector<PlaylistRecord>{bad, good, bad}), 1, 2},
      {"count larger than the file", withCount(encodePlaylistFile(std::vector<PlaylistRecord>{good, good}), 5), 2, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PlaylistFileContents contents = inspectPlaylistFile(c.bytes, f.catalogue());
    EXPECT_EQ(contents.problem, PlaylistFileProblem::None);
    EXPECT_EQ(contents.records.size(), c.records);
    EXPECT_EQ(contents.skipped, c.skipped);
  }
}

// A file far larger than any playlist (sparse, so it costs no disk) is read
// only as far as the format reaches: it opens at once, without the memory
// its size would need.
TEST(PlaylistFileReaderTest, AHugeFileReadsOnlyWhatTheFormatCanUse) {
  SessionFixture f;
  ScopedTempDir dir;
  const Path path = dir.path() / "huge.wcpl";
  const PlaylistRecord good{testdisc::kMusic, testdisc::kChatter2, 0, 0};
  writeBytes(path, encodePlaylistFile(std::vector<PlaylistRecord>(3, good)));
  fs::resize_file(path, uint64_t(1) << 40);  // a terabyte of zeros after the records
  FaultyFileSystem counting;
  const PlaylistFileContents contents = readPlaylistFile(counting, path, f.catalogue());
  EXPECT_EQ(contents.problem, PlaylistFileProblem::None);
  EXPECT_EQ(contents.records.size(), 3u);
  EXPECT_LE(counting.bytesRead(), kMaxPlaylistFileBytes);
}

}  // namespace
}  // namespace wc::test
