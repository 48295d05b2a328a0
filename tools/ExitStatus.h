#pragma once
// The exit statuses the command-line programs share, so scripts can tell a
// failure from a missing disc from a wrong command line whichever program
// they run.
namespace wc {

inline constexpr int kExitFailure = 1;  // the work failed (message on stderr)
inline constexpr int kExitNoDisc = 2;   // no game disc was found or given
inline constexpr int kExitUsage = 64;   // the command line was wrong (as sysexits' EX_USAGE)

}  // namespace wc
