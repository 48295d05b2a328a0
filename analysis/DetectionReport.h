#pragma once
// What song detection tells the user, the same in the window and on the
// command line, and when the program offers to run it.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "analysis/DiscAnalysis.h"
#include "gamedata/AnnotationFile.h"

namespace wc {

// ---- Offering the analysis ----
// True if any clip of the catalogue is a song.
bool catalogueKnowsSongs(const Catalogue& catalogue);
// The start-up question is asked while the catalogue knows no song (whether
// it was built bare or read from a file without songs) and a radio station
// could be analysed, unless the user said not to ask again for this disc.
bool shouldOfferSongDetection(const Catalogue& catalogue, bool declinedForThisDisc);

// The discs the user asked not to be offered the analysis for again, by
// discFingerprint; kept in the program's settings between runs.
class DetectionOfferMemory {
 public:
  virtual ~DetectionOfferMemory() = default;
  virtual bool declined(const std::string& disc) = 0;
  virtual void decline(const std::string& disc) = 0;
};

// ---- Reporting the result ----
// Only a proposal that finds a song is worth writing: one without (nothing
// readable, or no music that holds together) would only store the bare
// catalogue, and the program would stop offering the analysis.
bool proposalFindsSongs(const DiscProposal& proposal);
// Why nothing was written, for a proposal without songs.
std::string noSongsFoundText(const DiscProposal& proposal);

// One block (a song with its intros and outros, or a lone clip) whose
// confidence is below kUncertainBlock; `clip` is its first clip's index.
struct UncertainBlock {
  int station = 0;
  int clip = 0;
  double confidence = 0.0;
};
// The uncertain blocks, least certain first (ties in clip order). Unreadable
// clips are left as they were and are not listed.
std::vector<UncertainBlock> uncertainBlocks(const DiscProposal& proposal);
// "Check these (least certain first):" and a line per block, at most
// `limit` of them: station label, clip number (as in "Clip #13"), the title
// the applied catalogue gives it and the confidence. Empty without blocks.
std::string checkTheseText(const Catalogue& applied, std::span<const UncertainBlock> blocks, size_t limit);

// The window's closing message after the proposal was applied: what each
// station now holds and the blocks to check.
std::string detectionSummary(const Catalogue& applied, const DiscProposal& proposal);

// The confidence as the CSV column and the messages write it: "0.42".
std::string confidenceText(double confidence);
// The annotation CSV's "confidence" column: each analysed clip's block
// confidence, empty for clips the analysis did not judge. The column reads
// `proposal`, which must outlive it.
AnnotationColumn confidenceColumn(const DiscProposal& proposal);

}  // namespace wc
