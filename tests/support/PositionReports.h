#pragma once
// Records what a Voice's position callback hears, for tests that check the
// sequence of (track, position) reports.
#include <cstdint>
#include <vector>

#include "playlist/Track.h"

namespace wc::test {

struct Report {
  Track* track;
  int32_t position;
  bool operator==(const Report&) const = default;
};

// The reports heard so far; tests clear it in their set-up.
inline std::vector<Report> gReports;
inline void recordReport(Track* track, int32_t position) { gReports.push_back({track, position}); }

}  // namespace wc::test
