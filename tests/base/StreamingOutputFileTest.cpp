// The export's wave file is written past the page cache in aligned pieces;
// whatever the pieces and the patch of the header at the end, the file must
// hold exactly the bytes written, and failures must be reported.
#include "base/StreamingOutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <vector>

#include "base/File.h"

namespace wc {
namespace {

class StreamingOutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("wavecrate-streaming-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
};

std::vector<uint8_t> pattern(size_t bytes) {
  std::vector<uint8_t> data(bytes);
  uint32_t state = 99;
  for (uint8_t& b : data) {
    state = state * 1664525u + 1013904223u;
    b = uint8_t(state >> 24);
  }
  return data;
}

TEST_F(StreamingOutputFileTest, PiecesOfEverySizeAndAPatchedHeaderGiveTheBytesWritten) {
  // A placeholder header, then data in pieces that straddle the 4 MiB direct
  // writes and end off any block boundary, then the header patched in.
  const std::vector<uint8_t> data = pattern(9'437'201);
  const std::vector<uint8_t> header = pattern(44);
  const Path path = dir_ / "image.wav";
  auto file = realFileSystem().openStreamingWrite(path);
  ASSERT_NE(file, nullptr);
  const std::vector<uint8_t> zeros(44, 0);
  ASSERT_TRUE(file->write(zeros.data(), zeros.size()));
  size_t at = 44;
  const size_t pieces[] = {1, 4095, 150'528, 3, 4'194'304, 77'777};
  for (size_t i = 0; at < data.size(); ++i) {
    const size_t take = std::min(pieces[i % std::size(pieces)], data.size() - at);
    ASSERT_TRUE(file->write(data.data() + at, take));
    at += take;
  }
  ASSERT_TRUE(file->seek(0));
  ASSERT_TRUE(file->write(header.data(), header.size()));
  ASSERT_TRUE(file->close());

  std::vector<uint8_t> expected = data;
  std::copy(header.begin(), header.end(), expected.begin());
  EXPECT_EQ(readWholeFile(realFileSystem(), path), expected);
}

TEST_F(StreamingOutputFileTest, ShortAndEmptyFilesAndAnOverwrittenFile) {
  const Path path = dir_ / "small.wav";
  {
    auto file = realFileSystem().openStreamingWrite(path);
    const std::vector<uint8_t> data = pattern(10'000'000);
    ASSERT_TRUE(file->write(data.data(), data.size()));
    ASSERT_TRUE(file->close());
  }
  {
    auto file = realFileSystem().openStreamingWrite(path);  // truncates
    const std::vector<uint8_t> data = pattern(100);
    ASSERT_TRUE(file->write(data.data(), data.size()));
    ASSERT_TRUE(file->close());
    EXPECT_EQ(readWholeFile(realFileSystem(), path), data);
  }
  {
    auto file = realFileSystem().openStreamingWrite(path);
    ASSERT_TRUE(file->close());
    EXPECT_EQ(readWholeFile(realFileSystem(), path), std::vector<uint8_t>{});
  }
  for (const size_t bytes : {size_t(5000), size_t(4'194'304 + 4096 + 5)}) {
    // Abandoned without close(): what was written still reaches the file,
    // the pieces past the cache and the buffered rest alike.
    auto file = realFileSystem().openStreamingWrite(path);
    const std::vector<uint8_t> data = pattern(bytes);
    ASSERT_TRUE(file->write(data.data(), data.size()));
    file.reset();
    EXPECT_EQ(readWholeFile(realFileSystem(), path), data) << bytes;
  }
}

TEST_F(StreamingOutputFileTest, FailuresAreReported) {
  EXPECT_EQ(realFileSystem().openStreamingWrite(dir_), nullptr);  // a directory
  EXPECT_EQ(realFileSystem().openStreamingWrite(dir_ / "missing" / "x.wav"), nullptr);
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto file = realFileSystem().openStreamingWrite("/dev/full");
  ASSERT_NE(file, nullptr);
  const std::vector<uint8_t> data = pattern(5'000'000);
  // The first full piece (or, buffered, the first write) meets the full disk.
  const bool written = file->write(data.data(), data.size());
  const bool closed = file->close();
  EXPECT_FALSE(written && closed);
  EXPECT_FALSE(closed);
}

}  // namespace
}  // namespace wc
