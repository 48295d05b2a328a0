// wavecrate-annotate run as a user would, in a working directory with a
// bare cache: exit statuses, what it writes and what --dry-run, --force,
// --station and --csv change.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gamedata/AnnotationFile.h"
#include "gamedata/CatalogueFile.h"
#include "support/BareDiscRun.h"
#include "support/CliRun.h"

namespace wc::test {
namespace {

CliResult runIn(const Path& directory, const std::string& arguments) {
  return runCli(directory, "wavecrate-annotate", arguments);
}

std::unique_ptr<Catalogue> catalogueIn(const Path& directory) {
  const std::string bytes = readText(directory / "WavecrateInfo.dat");
  if (bytes.size() != kCatalogueFileSize) return nullptr;
  auto c = std::make_unique<Catalogue>();
  parseCatalogue({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, *c);
  return c;
}

BareItem block(int intros, int outros) {
  BareItem item;
  item.seconds = 4.0;
  item.intros = intros;
  item.outros = outros;
  return item;
}

class AnnotateCliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { run = new BareDiscRun({{4, {block(1, 2), block(2, 1)}}, {8, {block(1, 1)}}}, 3); }
  static void TearDownTestSuite() { delete run; }
  static BareDiscRun* run;
  const Path& dir() const { return run->temp.path(); }
  void SetUp() override { std::filesystem::remove(dir() / "WavecrateInfo.dat"); }
};
BareDiscRun* AnnotateCliTest::run = nullptr;

TEST_F(AnnotateCliTest, UsageAndMissingCacheStatuses) {
  ScopedTempDir empty;
  const struct {
    const char* arguments;
    bool inEmptyDirectory;
    int status;
    const char* says;
  } cases[] = {
      {"--bogus", false, 64, "unexpected argument --bogus"},
      {"--station", false, 64, "unexpected argument --station"},
      {"--station AA", false, 64, "AA is not a radio station"},
      {"", true, 2, "the game disc is needed but was not found"},
      {"--help", true, 0, "Usage: wavecrate-annotate"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliResult r = runIn(c.inEmptyDirectory ? empty.path() : dir(), c.arguments);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir() / "WavecrateInfo.dat"));
}

// Failures give their real reason on one line and exit 1, never an
// uncaught exception or a stale errno.
TEST_F(AnnotateCliTest, FailuresNameTheirRealReason) {
  const struct {
    const char* arguments;
    const char* before;  // shell command run first, in dir()
    const char* says;
  } cases[] = {
      {"", "mkdir -p gone && cd gone && rmdir ../gone", "the working directory cannot be used: No such file"},
      {"--csv /dev/full", "", "cannot write /dev/full: it is not a regular file\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliResult r = runCli(dir(), "wavecrate-annotate", c.arguments, c.before);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
}

TEST_F(AnnotateCliTest, WritesTheCatalogueAndTheCsvUnlessDryRun) {
  const CliResult dry = runIn(dir(), "--dry-run --csv dry.csv");
  ASSERT_EQ(dry.status, 0) << dry.output;
  EXPECT_FALSE(std::filesystem::exists(dir() / "WavecrateInfo.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir() / "dry.csv"));
  // What the window's command would write: the same analysis, applied.
  const auto proposal = run->analyse();
  ASSERT_TRUE(proposal);
  Catalogue expected = *run->bare;
  ASSERT_EQ(applyProposal(expected, *proposal), ApplyResult::Applied);
  const RoleTally ch = proposal->stations.at(0).tally();
  char row[128];
  std::snprintf(row, sizeof row, "%-8s %6d %7d %7d %8d %16d", "CH", ch.songs, ch.intros, ch.outros, ch.chatter,
                ch.identifications);
  EXPECT_NE(dry.output.find(row), std::string::npos) << dry.output << "\nwanted: " << row;

  const CliResult done = runIn(dir(), "--csv out.csv");
  ASSERT_EQ(done.status, 0) << done.output;
  const auto written = catalogueIn(dir());
  ASSERT_TRUE(written);
  EXPECT_EQ(serializeCatalogue(*written), serializeCatalogue(expected));
  EXPECT_EQ(readText(dir() / "out.csv"), exportAnnotations(expected));

  // A second run finds every station annotated and changes nothing.
  const std::string before = readText(dir() / "WavecrateInfo.dat");
  const CliResult again = runIn(dir(), "");
  EXPECT_EQ(again.status, 0) << again.output;
  EXPECT_NE(again.output.find("No station to analyse"), std::string::npos) << again.output;
  EXPECT_EQ(readText(dir() / "WavecrateInfo.dat"), before);
}

TEST_F(AnnotateCliTest, ForceRedoesAStationAndKeepsTypedTitles) {
  ASSERT_EQ(runIn(dir(), "").status, 0);
  // The user types a title and changes a class on CH; DS gets a title too.
  auto edited = catalogueIn(dir());
  ASSERT_TRUE(edited);
  const auto detected = catalogueIn(dir());
  std::strcpy(edited->stations[4].clips[0].title, "Harbour Lights");
  const int32_t lastClass = edited->stations[4].clips[6].clipClass;
  edited->stations[4].clips[6].setKind(ClipClass::ChatterSeven);
  std::strcpy(edited->stations[8].clips[0].title, "Night Bus");
  const auto bytes = serializeCatalogue(*edited);
  ASSERT_TRUE(replaceFileAtomically(realFileSystem(), dir() / "WavecrateInfo.dat", bytes));

  const CliResult refused = runIn(dir(), "--station CH");
  EXPECT_EQ(refused.status, 0) << refused.output;
  EXPECT_NE(refused.output.find("--force"), std::string::npos) << refused.output;
  EXPECT_EQ(catalogueIn(dir())->stations[4].clips[6].kind(), ClipClass::ChatterSeven);

  const CliResult forced = runIn(dir(), "--station ch --force");
  ASSERT_EQ(forced.status, 0) << forced.output;
  const auto after = catalogueIn(dir());
  EXPECT_EQ(after->stations[4].clips[6].clipClass, lastClass);
  EXPECT_EQ(after->stations[4].clips[0].clipClass, detected->stations[4].clips[0].clipClass);
  // Clip 0 keeps its typed title where its role stayed the same.
  if (after->stations[4].clips[0].kind() == ClipClass::Song) {
    EXPECT_STREQ(after->stations[4].clips[0].title, "Harbour Lights");
  }
  EXPECT_STREQ(after->stations[8].clips[0].title, "Night Bus");
}

}  // namespace
}  // namespace wc::test
