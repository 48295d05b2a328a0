#include "base/TemporaryCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace wc {
namespace {

// Room for every file of the largest export (99 tracks and their playlist)
// with some to spare; a slot is claimed and released with atomics only, so
// the signal handler may read it at any moment.
constexpr size_t kSlots = 256;
constexpr size_t kPathBytes = 1024;

enum SlotState : int { kFree, kBusy, kHeld };

struct Slot {
  std::atomic<int> state{kFree};
  char path[kPathBytes];
};
std::array<Slot, kSlots> slots;

constexpr std::string_view kPartialSuffix = ".partial";
constexpr size_t kHexDigits = 16;

void onSignal(int signal) {
  const int saved = errno;
  removeTrackedTemporaries();
  errno = saved;
  // The default action, so the parent sees the process end by this signal.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

bool isHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

uint64_t temporarySuffix(uint32_t random) { return (uint64_t(uint32_t(::getpid())) << 32) | random; }

void trackTemporary(const Path& path) {
  const std::string& text = path.native();
  if (text.size() >= kPathBytes) return;
  for (Slot& slot : slots) {
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kBusy)) continue;
    std::memcpy(slot.path, text.c_str(), text.size() + 1);
    slot.state.store(kHeld);
    return;
  }
}

void untrackTemporary(const Path& path) {
  const std::string& text = path.native();
  for (Slot& slot : slots) {
    int expected = kHeld;
    if (slot.state.load() != kHeld || std::strcmp(slot.path, text.c_str()) != 0) continue;
    if (slot.state.compare_exchange_strong(expected, kBusy)) {
      slot.state.store(kFree);
      return;
    }
  }
}

void removeTrackedTemporaries() {
  for (Slot& slot : slots)
    if (slot.state.load() == kHeld) ::unlink(slot.path);
}

void removeTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int sweepStaleTemporaries(FileSystem& fs, const Path& folder, std::span<const std::string> targets) {
  int removed = 0;
  for (const std::string& name : fs.listDirectory(folder)) {
    // "." NAME "." 16 hex digits ".partial", NAME possibly shortened.
    if (name.size() < 1 + 1 + kHexDigits + kPartialSuffix.size() || name[0] != '.' || !name.ends_with(kPartialSuffix))
      continue;
    const size_t hexAt = name.size() - kPartialSuffix.size() - kHexDigits;
    if (name[hexAt - 1] != '.' || !isHex(std::string_view(name).substr(hexAt, kHexDigits))) continue;
    const Path candidate = folder / name;
    const bool ours = std::any_of(targets.begin(), targets.end(), [&](const std::string& target) {
      const std::string made = temporaryNameFor(folder / target, 0).filename().string();
      return made.size() == name.size() && made.compare(0, hexAt, name, 0, hexAt) == 0;
    });
    if (!ours) continue;
    const auto pid = pid_t(std::stoull(name.substr(hexAt, 8), nullptr, 16));
    // Signal 0 only asks whether the process exists; EPERM means it does.
    if (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH)) continue;
    if (fs.remove(candidate)) ++removed;
  }
  return removed;
}

}  // namespace wc
