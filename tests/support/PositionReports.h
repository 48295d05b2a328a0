#pragma once
// Records what a position callback hears, for tests that check the sequence
// of (track, position) reports.
#include <cstdint>
#include <vector>

#include "playlist/PositionReport.h"
#include "playlist/Track.h"

namespace wc::test {

struct Report {
  Track* track;
  int32_t position;
  bool operator==(const Report&) const = default;
};

struct ReportLog {
  std::vector<Report> reports;
  // A callback that appends to this log; the log must outlive its use.
  PositionCallback callback() {
    return [this](Track* track, int32_t position) { reports.push_back({track, position}); };
  }
};

}  // namespace wc::test
