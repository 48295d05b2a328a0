#pragma once
// What becomes of the hidden temporaries (".NAME.<hex>.partial") that files
// are written under before they replace their targets, when the writer does
// not get to finish: a process ended by a signal removes the ones it still
// holds, and one killed outright leaves them for the next export into that
// folder to sweep away.
#include <cstdint>
#include <span>
#include <string>

#include "base/File.h"

namespace wc {

// The 16 hex digits of a temporary's name: this process's id (so a later
// sweep can tell whether the writer still runs), then 32 random bits.
uint64_t temporarySuffix(uint32_t random);

// Temporaries the real file system created and has neither renamed nor
// removed yet. Thread-safe and lock-free; a name that does not fit the fixed
// table is simply not removed on a signal (the sweep still finds it).
void trackTemporary(const Path& path);
void untrackTemporary(const Path& path);
// Unlinks every tracked temporary. Async-signal-safe.
void removeTrackedTemporaries();

// Makes SIGINT, SIGTERM and SIGHUP remove the tracked temporaries and then
// end the process as the signal would have.
void removeTemporariesOnSignals();

// Removes the temporaries in `folder` that were made for one of `targets`
// (names within the folder) by a process that no longer runs. Returns how
// many went.
int sweepStaleTemporaries(FileSystem& fs, const Path& folder, std::span<const std::string> targets);

}  // namespace wc
