#include "analysis/DiscAnalysis.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gamedata/CatalogueBuilder.h"

namespace wc {
namespace {

// The roles a catalogue already gives a station's clips: a song, the
// follow-ons its counts claim, and everything else by class.
std::vector<ClipRole> currentRoles(const Station& s) {
  const int count = s.validCount();
  std::vector<ClipRole> roles(size_t(count), ClipRole::Chatter);
  for (int k = 0; k < count;) {
    const Clip& c = s.clips[k];
    if (c.isSong()) {
      roles[size_t(k)] = ClipRole::Song;
      const int introEnd = k + 1 + s.followOns(k).intros;
      const int outroEnd = s.nextTopLevel(k);
      for (int i = k + 1; i < outroEnd; ++i) roles[size_t(i)] = i < introEnd ? ClipRole::Intro : ClipRole::Outro;
      k = std::max(k + 1, outroEnd);
      continue;
    }
    if (c.kind() == ClipClass::Other3) roles[size_t(k)] = ClipRole::Intro;
    if (c.kind() == ClipClass::Other4) roles[size_t(k)] = ClipRole::Outro;
    if (c.kind() == ClipClass::ChatterFive) roles[size_t(k)] = ClipRole::Identification;
    ++k;
  }
  return roles;
}

// Chatter and identifications are both "a clip between song blocks": a
// typed title of one stays when the analysis calls it the other.
bool sameRole(ClipRole a, ClipRole b) {
  auto between = [](ClipRole r) { return r == ClipRole::Chatter || r == ClipRole::Identification; };
  return a == b || (between(a) && between(b));
}

bool stillMatches(const Catalogue& catalogue, const StationProposal& p) {
  if (p.station < 0 || p.station >= kStationCount) return false;
  const Station& s = catalogue.stations[p.station];
  const size_t count = size_t(s.validCount());
  if (p.roles.size() != count || p.offsets.size() != count || p.sizes.size() != count) return false;
  for (size_t k = 0; k < count; ++k)
    if (s.clips[k].offset != p.offsets[k] || s.clips[k].size != p.sizes[k]) return false;
  return true;
}

}  // namespace

bool isAnalysableStation(const Catalogue& catalogue, int station) {
  if (station < 0 || station >= kStationCount || station == kAdvertsStation) return false;
  const Station& s = catalogue.stations[station];
  return s.listed && s.validCount() > 0;
}

bool stationHasSongs(const Station& station) { return station.hasClassAnywhere(ClipClass::Song); }

std::vector<int> stationsWithoutSongs(const Catalogue& catalogue) {
  std::vector<int> stations;
  for (int i = 0; i < kStationCount; ++i)
    if (isAnalysableStation(catalogue, i) && !stationHasSongs(catalogue.stations[i])) stations.push_back(i);
  return stations;
}

RoleTally StationProposal::tally() const {
  RoleTally t;
  for (const RoleOfClip& r : roles) {
    switch (r.role) {
      case ClipRole::Song: ++t.songs; break;
      case ClipRole::Intro: ++t.intros; break;
      case ClipRole::Outro: ++t.outros; break;
      case ClipRole::Chatter: ++t.chatter; break;
      case ClipRole::Identification: ++t.identifications; break;
      case ClipRole::Unreadable: ++t.unreadable; break;
    }
  }
  return t;
}

std::optional<DiscProposal> analyseStations(const Catalogue& catalogue, const std::vector<int>& stations,
                                            const ClipSource& source, const AnalysisProgress& progress,
                                            const std::atomic<bool>* cancel) {
  std::vector<int> chosen;
  double totalBytes = 0.0;
  for (int station : stations) {
    if (!isAnalysableStation(catalogue, station)) continue;
    if (std::find(chosen.begin(), chosen.end(), station) != chosen.end()) continue;
    chosen.push_back(station);
    const Station& s = catalogue.stations[station];
    for (const Clip& c : s.validClips()) totalBytes += double(c.size) + 1.0;
  }
  auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

  DiscProposal proposal;
  double doneBytes = 0.0;
  for (int station : chosen) {
    const Station& s = catalogue.stations[station];
    const int count = s.validCount();
    StationProposal p;
    p.station = station;
    std::vector<ClipSummary> summaries;
    summaries.reserve(size_t(count));
    for (int k = 0; k < count; ++k) {
      if (cancelled()) return std::nullopt;
      if (progress) progress(station, totalBytes > 0.0 ? doneBytes / totalBytes : 1.0);
      p.offsets.push_back(s.clips[k].offset);
      p.sizes.push_back(s.clips[k].size);
      const std::unique_ptr<ClipAudio> clip = source ? source(station, k) : nullptr;
      summaries.push_back(clip ? summarizeClip(*clip) : ClipSummary{});
      doneBytes += double(s.clips[k].size) + 1.0;
    }
    if (cancelled()) return std::nullopt;
    p.roles = segmentStation(summaries);
    proposal.stations.push_back(std::move(p));
  }
  if (progress && !chosen.empty()) progress(chosen.back(), 1.0);
  return proposal;
}

ClipClass classOfRole(ClipRole role) {
  switch (role) {
    case ClipRole::Song: return ClipClass::Song;
    case ClipRole::Intro: return ClipClass::Other3;
    case ClipRole::Outro: return ClipClass::Other4;
    case ClipRole::Identification: return ClipClass::ChatterFive;
    case ClipRole::Chatter:
    case ClipRole::Unreadable: break;
  }
  return ClipClass::Chatter;
}

std::string songTitle(int songNumber, uint32_t clipSize) {
  const uint32_t seconds = clipSeconds(clipSize);
  char text[64];
  std::snprintf(text, sizeof text, "Song %d %02u:%02u", songNumber, seconds / 60, seconds % 60);
  return text;
}

ApplyResult applyProposal(Catalogue& catalogue, const DiscProposal& proposal) {
  for (const StationProposal& p : proposal.stations)
    if (!stillMatches(catalogue, p)) return ApplyResult::CatalogueChanged;
  for (const StationProposal& p : proposal.stations) {
    Station& s = catalogue.stations[p.station];
    const std::vector<ClipRole> before = currentRoles(s);
    int songNumber = 0;
    for (size_t k = 0; k < p.roles.size(); ++k) {
      const RoleOfClip& now = p.roles[k];
      if (now.role == ClipRole::Song) ++songNumber;
      if (now.role == ClipRole::Unreadable) continue;
      Clip& c = s.clips[k];
      c.setKind(classOfRole(now.role));
      s.setFollowOns(int(k), {now.intros, now.outros});
      if (sameRole(before[k], now.role)) continue;
      c.setArtist({});
      if (now.role == ClipRole::Song)
        c.setTitle(songTitle(songNumber, c.size));
      else
        formatDefaultTitle(c.title, int(k), c.size);
    }
  }
  return ApplyResult::Applied;
}

}  // namespace wc
