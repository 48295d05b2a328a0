#include "session/JobResult.h"

#include <cstdio>

namespace wc {
namespace {

std::string plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "8 s", "2 min 5 s": a job's time, to the second.
std::string durationText(std::chrono::milliseconds elapsed) {
  const int64_t seconds = (elapsed.count() + 500) / 1000;
  if (seconds < 60) return std::to_string(seconds) + " s";
  return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
}

// "12:34" or "1:02:03": playing time as players show it.
std::string playingTimeText(int64_t seconds) {
  char text[32];
  if (seconds >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  return text;
}

const char* jobName(JobKind kind) {
  switch (kind) {
    case JobKind::ExportCd: return "Export CD";
    case JobKind::ExportWave: return "Export Wave";
    case JobKind::ExportTracks: return "Export Tracks";
    case JobKind::CopyAudioFiles: return "Copy Audio Files";
    case JobKind::DetectSongs: return "Detect Songs";
  }
  return "";
}

std::string doneText(const JobResult& r) {
  const std::string length = r.audioSeconds >= 0 ? " (" + playingTimeText(r.audioSeconds) + ")" : "";
  switch (r.kind) {
    case JobKind::ExportCd:
    case JobKind::ExportWave:
    case JobKind::ExportTracks: return "Exported " + plural(r.count, "track", "tracks") + " to " + r.target + length;
    case JobKind::CopyAudioFiles: return "Copied the audio files to the local cache";
    case JobKind::DetectSongs:
      return r.count == 0 ? "Detect Songs found no songs" : "Found songs in " + plural(r.count, "station", "stations");
  }
  return "";
}

}  // namespace

std::string jobResultText(const JobResult& result) {
  const std::string time = durationText(result.elapsed);
  switch (result.outcome) {
    case JobOutcome::Done: return doneText(result) + " in " + time;
    case JobOutcome::Cancelled: return std::string(jobName(result.kind)) + " cancelled after " + time;
    case JobOutcome::Failed: return std::string(jobName(result.kind)) + " failed after " + time;
  }
  return "";
}

}  // namespace wc
