// Every writer that replaces a file goes through a fresh, exclusively created
// temporary: links planted where a temporary might go are never written
// through, a target that is a link keeps its link, and files the program must
// not replace (directories, devices, FIFOs) are refused, not destroyed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "base/FileReplacement.h"
#include "gamedata/AudioCache.h"
#include "gamedata/CatalogueFile.h"
#include "support/GameDataHarness.h"
#include "support/LeftoverFiles.h"

namespace wc::test {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kVictimBytes = {'k', 'e', 'e', 'p', ' ', 'm', 'e'};

// One writer of the program: writes its content to `target` (inside
// `harness.work` or its CACHE) and returns the bytes it meant to write.
struct Writer {
  const char* name;
  std::function<Path(GameDataHarness&)> target;
  std::function<std::optional<std::vector<uint8_t>>(GameDataHarness&, const Path&)> write;
};

std::vector<Writer> writers() {
  return {
      {"playlist or annotation save", [](GameDataHarness& h) { return h.work / "mix.wcpl"; },
       [](GameDataHarness& h, const Path& target) -> std::optional<std::vector<uint8_t>> {
         const std::vector<uint8_t> bytes = {1, 0, 0, 0, 4, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
         if (!replaceFileContents(h.fs, target, bytes)) return std::nullopt;
         return bytes;
       }},
      {"catalogue save", [](GameDataHarness& h) { return h.work / "WavecrateInfo.dat"; },
       [](GameDataHarness& h, const Path&) -> std::optional<std::vector<uint8_t>> {
         h.gameData->catalogue().stations[3].clipCount = 9;
         if (!h.gameData->saveCatalogue()) return std::nullopt;
         return serializeCatalogue(h.gameData->catalogue());
       }},
      {"cache copy", [](GameDataHarness& h) { return h.cache() / "CH.PAK"; },
       [](GameDataHarness& h, const Path& target) -> std::optional<std::vector<uint8_t>> {
         std::vector<uint8_t> bytes(70000);
         for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
         writeBytes(h.temp.path() / "source.pak", bytes);
         if (!copyIntoCache(h.fs, h.temp.path() / "source.pak", target.parent_path(), "CH.PAK", nullptr))
           return std::nullopt;
         return bytes;
       }},
  };
}

class TemporaryFileSafetyTest : public ::testing::TestWithParam<Writer> {
 protected:
  void SetUp() override { fs::create_directories(h.cache()); }
  GameDataHarness h;
};

TEST_P(TemporaryFileSafetyTest, PlantedLinksAreNeverWrittenThrough) {
  const Writer& writer = GetParam();
  const Path target = writer.target(h);
  const Path victim = h.temp.path() / "victim";
  writeBytes(victim, kVictimBytes);
  // The names a temporary of this target used to get, and a likely new one.
  for (const std::string& name :
       {"." + target.filename().string() + ".partial", "." + target.filename().string() + ".0000000000000000.partial"})
    fs::create_symlink(victim, target.parent_path() / name);

  const auto written = writer.write(h, target);
  ASSERT_TRUE(written);
  EXPECT_EQ(readBytes(target), *written);
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(readBytes(victim), kVictimBytes);
  // Only the planted links remain among the hidden names.
  EXPECT_EQ(leftoverTemporaries(target.parent_path()).size(), 2u);
}

TEST_P(TemporaryFileSafetyTest, ALinkedTargetKeepsItsLinkAndItsFileIsReplaced) {
  const Writer& writer = GetParam();
  const Path target = writer.target(h);
  const Path elsewhere = h.temp.path() / "elsewhere";
  fs::create_directories(elsewhere);
  const Path real = elsewhere / "real-file";
  writeBytes(real, kVictimBytes);
  fs::create_symlink(real, target);

  const auto written = writer.write(h, target);
  ASSERT_TRUE(written);
  EXPECT_TRUE(fs::is_symlink(target));
  EXPECT_EQ(fs::read_symlink(target), real);
  EXPECT_EQ(readBytes(real), *written);
  EXPECT_TRUE(leftoverTemporaries(elsewhere).empty());
  EXPECT_TRUE(leftoverTemporaries(target.parent_path()).empty());
}

TEST_P(TemporaryFileSafetyTest, ANonRegularTargetIsRefusedAndLeftAsItWas) {
  const Writer& writer = GetParam();
  const Path target = writer.target(h);
  ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
  EXPECT_FALSE(writer.write(h, target));
  EXPECT_TRUE(fs::is_fifo(target));
  EXPECT_TRUE(leftoverTemporaries(target.parent_path()).empty());
  fs::remove(target);

  fs::create_directory(target);
  EXPECT_FALSE(writer.write(h, target));
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_TRUE(leftoverTemporaries(target.parent_path()).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, TemporaryFileSafetyTest, ::testing::ValuesIn(writers()),
                         [](const auto& paramInfo) {
                           std::string name;
                           for (const char c : std::string(paramInfo.param.name)) name += std::isalnum(c) ? c : '_';
                           return name;
                         });

TEST(FileReplacementTest, TemporariesAreFreshHiddenAndDistinct) {
  ScopedTempDir dir;
  const Path target = dir.path() / "out.wav";
  FileReplacement first(realFileSystem(), target);
  FileReplacement second(realFileSystem(), target);
  ASSERT_TRUE(first.created());
  ASSERT_TRUE(second.created());
  EXPECT_NE(first.temporary(), second.temporary());
  EXPECT_EQ(leftoverTemporaries(dir.path()).size(), 2u);
  EXPECT_EQ(first.temporary().parent_path(), dir.path());
  // A replacement dropped without commit leaves neither target nor temporary.
  second.discard();
  EXPECT_EQ(leftoverTemporaries(dir.path()).size(), 1u);
  EXPECT_FALSE(fs::exists(target));
}

// Any name the file system takes can be replaced: the temporary's own name
// stays within 255 bytes however long the target's is (multi-byte
// characters are not cut in half).
TEST(FileReplacementTest, LongValidNamesAreReplaced) {
  ScopedTempDir dir;
  const std::string e = "\xc3\xa9";  // two bytes
  for (const std::string& name :
       {std::string(255, 'n'), std::string(229, 'n'), std::string(228, 'n') + e + ".wav", "a" + [&] {
          std::string s;
          for (int i = 0; i < 125; ++i) s += e;
          return s;
        }()}) {
    SCOPED_TRACE(name.size());
    ASSERT_LE(name.size(), 255u);
    const Path target = dir.path() / name;
    EXPECT_TRUE(replaceFileContents(realFileSystem(), target, kVictimBytes));
    EXPECT_EQ(readBytes(target), kVictimBytes);
    const std::string temporary = temporaryNameFor(target, ~uint64_t(0)).filename().string();
    EXPECT_LE(temporary.size(), 255u);
    const std::string kept = temporary.substr(1, temporary.size() - 26);
    EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
    if (kept.size() < name.size()) {
      EXPECT_NE(uint8_t(name[kept.size()]) & 0xC0, 0x80) << "a character was cut";
    }
  }
  EXPECT_TRUE(leftoverTemporaries(dir.path()).empty());
}

// A read-only file refuses to be replaced, as it refuses a plain open for
// writing (not testable as root, who may write anything).
TEST(FileReplacementTest, AReadOnlyTargetIsRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  ScopedTempDir dir;
  const Path target = dir.path() / "locked.wcpl";
  writeBytes(target, kVictimBytes);
  fs::permissions(target, fs::perms::owner_read);
  const ReplaceResult result = replaceFileContents(realFileSystem(), target, std::vector<uint8_t>{1, 2, 3});
  EXPECT_EQ(result.status, ReplaceStatus::NotCreated);
  EXPECT_FALSE(result.reason.empty());
  EXPECT_EQ(readBytes(target), kVictimBytes);
}

// Reading never blocks on a FIFO nor streams a device endlessly: only
// regular files open.
TEST(FileReplacementTest, OnlyRegularFilesOpenForReading) {
  ScopedTempDir dir;
  const Path fifo = dir.path() / "pipe.wcpl";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Path regular = dir.path() / "file.wcpl";
  writeBytes(regular, kVictimBytes);
  const Path linkToRegular = dir.path() / "link.wcpl";
  fs::create_symlink(regular, linkToRegular);
  const struct {
    Path path;
    bool opens;
  } cases[] = {{fifo, false},       {"/dev/zero", false}, {"/dev/null", false},
               {dir.path(), false}, {regular, true},      {linkToRegular, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    EXPECT_EQ(realFileSystem().openRead(c.path) != nullptr, c.opens);
  }
}

}  // namespace
}  // namespace wc::test
