#include "analysis/DetectionReport.h"

#include <algorithm>
#include <cstdio>

namespace wc {
namespace {

// The window names no more blocks than fit in a message box.
constexpr size_t kBlocksInSummary = 10;

std::string labelOf(const Catalogue& catalogue, int station) {
  const Station& s = catalogue.stations[station];
  return std::string(s.labelText().empty() ? s.nameText() : s.labelText());
}

RoleTally totalOf(const DiscProposal& proposal) {
  RoleTally sum;
  for (const StationProposal& p : proposal.stations) {
    const RoleTally t = p.tally();
    sum.songs += t.songs;
    sum.intros += t.intros;
    sum.outros += t.outros;
    sum.chatter += t.chatter;
    sum.identifications += t.identifications;
    sum.unreadable += t.unreadable;
  }
  return sum;
}

std::string plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

bool catalogueKnowsSongs(const Catalogue& catalogue) {
  for (int i = 0; i < kStationCount; ++i)
    if (stationHasSongs(catalogue.stations[i])) return true;
  return false;
}

bool shouldOfferSongDetection(const Catalogue& catalogue, bool declinedForThisDisc) {
  return !declinedForThisDisc && !catalogueKnowsSongs(catalogue) && !stationsWithoutSongs(catalogue).empty();
}

bool proposalFindsSongs(const DiscProposal& proposal) { return totalOf(proposal).songs > 0; }

std::string noSongsFoundText(const DiscProposal& proposal) {
  const RoleTally t = totalOf(proposal);
  const int clips = t.songs + t.intros + t.outros + t.chatter + t.identifications + t.unreadable;
  if (t.unreadable == clips)
    return "None of the " + plural(clips, "clip", "clips") +
           " could be read, so no song was found and the catalogue was left as it was.";
  std::string text =
      "No song was found in the audio of " + plural(clips, "clip", "clips") + ", so the catalogue was left as it was.";
  if (t.unreadable > 0) text += " " + plural(t.unreadable, "clip", "clips") + " could not be read.";
  return text;
}

std::vector<UncertainBlock> uncertainBlocks(const DiscProposal& proposal) {
  std::vector<UncertainBlock> blocks;
  for (const StationProposal& p : proposal.stations) {
    const int count = int(p.roles.size());
    for (int k = 0; k < count;) {
      const RoleOfClip& r = p.roles[size_t(k)];
      if (r.role != ClipRole::Unreadable && r.confidence < kUncertainBlock)
        blocks.push_back({p.station, k, r.confidence});
      // Every clip of a block carries the block's confidence: one entry each.
      const int length = r.role == ClipRole::Song ? 1 + std::max(0, r.intros) + std::max(0, r.outros) : 1;
      k += length;
    }
  }
  std::stable_sort(blocks.begin(), blocks.end(),
                   [](const UncertainBlock& a, const UncertainBlock& b) { return a.confidence < b.confidence; });
  return blocks;
}

std::string confidenceText(double confidence) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", std::clamp(confidence, 0.0, 1.0));
  return text;
}

AnnotationColumn confidenceColumn(const DiscProposal& proposal) {
  return {"confidence", [&proposal](int station, int clip) -> std::string {
            for (const StationProposal& p : proposal.stations) {
              if (p.station != station || clip < 0 || size_t(clip) >= p.roles.size()) continue;
              const RoleOfClip& r = p.roles[size_t(clip)];
              return r.role == ClipRole::Unreadable ? std::string() : confidenceText(r.confidence);
            }
            return {};
          }};
}

std::string checkTheseText(const Catalogue& applied, std::span<const UncertainBlock> blocks, size_t limit) {
  if (blocks.empty()) return {};
  std::string text = "Check these (least certain first):";
  const size_t shown = std::min(limit, blocks.size());
  for (size_t i = 0; i < shown; ++i) {
    const UncertainBlock& b = blocks[i];
    if (b.station < 0 || b.station >= kStationCount) continue;
    const Clip* clip = applied.stations[b.station].clipAt(b.clip);
    const std::string title(clip ? clip->titleText() : std::string_view());
    text += "\n  " + labelOf(applied, b.station) + " clip " + std::to_string(b.clip + 1) + " \"" + title +
            "\": confidence " + confidenceText(b.confidence);
  }
  if (shown < blocks.size()) text += "\n  and " + plural(int(blocks.size() - shown), "more block", "more blocks");
  return text;
}

std::string detectionSummary(const Catalogue& applied, const DiscProposal& proposal) {
  std::string text = "The catalogue now knows:\n";
  for (const StationProposal& p : proposal.stations) {
    const RoleTally t = p.tally();
    text += "\n" + labelOf(applied, p.station) + ": " + std::to_string(t.songs) + " songs, " +
            std::to_string(t.intros) + " intros, " + std::to_string(t.outros) + " outros, " +
            std::to_string(t.chatter) + " chatter, " + std::to_string(t.identifications) + " identifications";
    if (t.unreadable > 0) text += ", " + std::to_string(t.unreadable) + " unreadable";
  }
  const std::vector<UncertainBlock> blocks = uncertainBlocks(proposal);
  if (!blocks.empty()) text += "\n\n" + checkTheseText(applied, blocks, kBlocksInSummary);
  text += "\n\nCheck them with a right click on a clip (Edit Clip) and type the song titles there.";
  return text;
}

}  // namespace wc
