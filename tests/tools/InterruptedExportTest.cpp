// A command-line export stopped from outside: Ctrl+C, SIGTERM and a closed
// terminal remove the hidden temporaries before the process ends by the
// signal; after kill -9 they stay, and the next export into the folder
// sweeps them away. The files the export would have replaced keep their
// old content throughout.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "playlist/PlaylistFile.h"
#include "support/CliRun.h"
#include "support/LeftoverFiles.h"
#include "support/ViewFixture.h"

namespace wc::test {
namespace {

// Starts wavecrate-export with `arguments` in `directory`, output discarded.
pid_t startExport(const Path& directory, std::vector<std::string> arguments) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(directory.c_str()) != 0) ::_exit(127);
  const int null = ::open("/dev/null", O_RDWR);
  ::dup2(null, 0);
  ::dup2(null, 1);
  ::dup2(null, 2);
  const std::string program = WAVECRATE_BINARY_DIR "/wavecrate-export";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

TEST(InterruptedExportTest, SignalsRemoveTemporariesAndKilledOnesAreSweptNextTime) {
  ViewFixture f;
  const Path dir = f.disc.directory();
  // Long enough that the export is still writing when the signal comes.
  const PlaylistRecord song{testdisc::kMusic, testdisc::kSongs[1], 0, 0};
  writeBytes(dir / "long.wcpl", encodePlaylistFile(std::vector<PlaylistRecord>(99, song)));
  const struct {
    int signal;
    bool tracks;
  } cases[] = {{SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGKILL, false}, {SIGTERM, true}, {SIGKILL, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.tracks ? ", --tracks" : ", CD image"));
    const Path out = c.tracks ? dir / "album" : dir;
    std::filesystem::create_directories(out);
    const std::string kept = c.tracks ? "long.m3u8" : "out.wav";
    writeBytes(out / kept, std::vector<uint8_t>{'o', 'l', 'd'});
    const std::vector<std::string> arguments = c.tracks ? std::vector<std::string>{"--tracks", "album", "long.wcpl"}
                                                        : std::vector<std::string>{"long.wcpl", "out.wav"};

    const pid_t pid = startExport(dir, arguments);
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (leftoverTemporaries(out).empty() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    ASSERT_FALSE(leftoverTemporaries(out).empty()) << "the export never wrote";
    ::kill(pid, c.signal);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the export ended by itself";
    EXPECT_EQ(WTERMSIG(status), c.signal);
    EXPECT_EQ(leftoverTemporaries(out).empty(), c.signal != SIGKILL);
    EXPECT_EQ(readText(out / kept), "old");

    const std::string quoted = c.tracks ? "--tracks album long.wcpl" : "long.wcpl out.wav";
    ASSERT_EQ(runCli(dir, "wavecrate-export", quoted).status, 0);
    EXPECT_TRUE(leftoverTemporaries(out).empty());
    EXPECT_NE(readText(out / kept), "old");
  }
}

}  // namespace
}  // namespace wc::test
