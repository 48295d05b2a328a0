#include "analysis/DiscAnalysis.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <future>
#include <thread>

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

namespace {

// The analysable stations among `stations`, each once, and the bytes of
// their clips (plus one per clip, so that empty clips count as work).
std::vector<int> analysableOnce(const Catalogue& catalogue, const std::vector<int>& stations, double& totalBytes) {
  std::vector<int> chosen;
  for (int station : stations) {
    if (!isAnalysableStation(catalogue, station)) continue;
    if (std::find(chosen.begin(), chosen.end(), station) != chosen.end()) continue;
    chosen.push_back(station);
    for (const Clip& c : catalogue.stations[station].validClips()) totalBytes += double(c.size) + 1.0;
  }
  return chosen;
}

}  // namespace

std::optional<DiscProposal> analyseStations(const Catalogue& catalogue, const std::vector<int>& stations,
                                            const ClipSource& source, const AnalysisProgress& progress,
                                            const std::atomic<bool>* cancel) {
  double totalBytes = 0.0;
  const std::vector<int> chosen = analysableOnce(catalogue, stations, totalBytes);
  auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

  // Each station's clips are read here, one at a time, and summarised on
  // up to one thread per core, each summary landing in its clip's place;
  // a station is segmented on a thread of its own while the next one's
  // clips are read.
  struct Pending {
    StationProposal proposal;
    std::vector<ClipSummary> summaries;
    std::future<std::vector<RoleOfClip>> roles;
  };
  std::deque<Pending> stationsDone;
  DiscProposal proposal;
  double doneBytes = 0.0;
  const size_t parallel = std::max(1u, std::thread::hardware_concurrency());
  for (int station : chosen) {
    const Station& s = catalogue.stations[station];
    const int count = s.validCount();
    Pending& pending = stationsDone.emplace_back();
    StationProposal& p = pending.proposal;
    p.station = station;
    pending.summaries.resize(size_t(count));
    std::deque<std::future<void>> running;
    for (int k = 0; k < count; ++k) {
      if (cancelled()) break;
      if (progress) progress(station, totalBytes > 0.0 ? doneBytes / totalBytes : 1.0);
      p.offsets.push_back(s.clips[k].offset);
      p.sizes.push_back(s.clips[k].size);
      std::shared_ptr<ClipAudio> clip = source ? source(station, k) : nullptr;
      if (clip) {
        while (running.size() >= parallel) {
          running.front().get();
          running.pop_front();
        }
        ClipSummary* into = &pending.summaries[size_t(k)];
        running.push_back(std::async(std::launch::async, [clip, into] {
          SpectrumAnalyser spectra;
          *into = summarizeClip(*clip, spectra);
        }));
      }
      doneBytes += double(s.clips[k].size) + 1.0;
    }
    for (auto& r : running) r.get();
    if (cancelled()) break;
    const std::vector<ClipSummary>* summaries = &pending.summaries;
    pending.roles = std::async(std::launch::async, [summaries] { return segmentStation(*summaries); });
  }
  // Every segmentation under way finishes before the summaries go.
  for (Pending& pending : stationsDone) {
    if (!pending.roles.valid()) continue;
    pending.proposal.roles = pending.roles.get();
    proposal.stations.push_back(std::move(pending.proposal));
  }
  if (cancelled()) return std::nullopt;
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
