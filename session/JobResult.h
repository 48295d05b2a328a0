#pragma once
// How a long job ended, told to the observers once it is over, and the one
// line the status bar shows for it: what was written and how long it took.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace wc {

enum class JobKind { ExportCd, ExportWave, ExportTracks, CopyAudioFiles, DetectSongs };
enum class JobOutcome { Done, Cancelled, Failed };

struct JobResult {
  JobKind kind = JobKind::ExportCd;
  JobOutcome outcome = JobOutcome::Done;
  // What was written: a file or folder name for the exports, empty otherwise.
  std::string target;
  // Tracks exported, or stations in which songs were found.
  int count = 0;
  // Playing time of what was exported in seconds; negative when it means nothing.
  int64_t audioSeconds = -1;
  std::chrono::milliseconds elapsed{0};
};

// "Exported 15 tracks to mix.wav and mix.cue (12:34) in 8 s",
// "Export Tracks cancelled after 3 s", ...
std::string jobResultText(const JobResult& result);

// Where a job's time comes from; tests set their own.
using JobClock = std::function<std::chrono::steady_clock::time_point()>;

}  // namespace wc
