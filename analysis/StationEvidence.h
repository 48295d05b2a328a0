#pragma once
// Every piece of evidence the segmentation weighs, for one station, as log
// likelihood ratios (positive: for; negative: against; 0: no opinion):
//  - junctions: the end of one clip runs on into the start of another
//    (waveform prediction both ways, and the timbre and harmony on either
//    side measured against how much they change inside the clips);
//  - siblings: two intros of one song end on the same music, two outros of
//    one song begin on it;
//  - what each clip is alone: music, speech over music, speech alone, a
//    fade at its end.
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "analysis/ClipFeatures.h"
#include "analysis/Junction.h"
#include "analysis/Spectrum.h"

namespace wc {

// Mean band levels and chroma over a stretch of frames.
struct Timbre {
  std::array<double, kSpectrumBands> bands{};
  std::array<double, kChromaBins> chroma{};
  bool valid = false;
};

// The weights of the evidence. The defaults were chosen on one family of
// test discs and are measured on others (see the evaluation program).
struct EvidenceWeights {
  // Waveform junction, per direction: the likelihood ratio's bounds.
  double waveFloor = 6.0;
  double waveCap = 4.0;
  // Spectral continuity: the likelihood ratio's bounds.
  double spectralFloor = 1.0;
  double spectralCap = 1.5;
  // Partials across the seam (fine spectra): the likelihood ratio's bounds.
  double partialFloor = 1.0;
  double partialCap = 1.0;
  // Beat continuity: the likelihood ratio's bounds.
  double beatFloor = 3.0;
  double beatCap = 3.0;
  // Siblings: correlation from `unlike` (no opinion) to `alike` (full say).
  // Against, it grows to `siblingAgainst` at no likeness at all: on the
  // tuning discs true siblings are a few hundred times rarer than false
  // ones there, but one whose voice runs into the seam is among them.
  double siblingAlike = 0.9;
  double siblingUnlike = 0.5;
  double siblingFor = 6.0;
  double siblingAgainst = 4.0;
  // Unlike waveforms count against siblings only while the way their band
  // levels change from frame to frame is no more alike than this, nor than
  // either clip's with any unrelated clip: a voice over one hides the
  // shared music from the waveform, not from the changes around the voice.
  double changesAlike = 0.3;
  // Waveforms only partly alike count for siblings only while those changes
  // are at least this alike: the same drum hit may open clips that share
  // no music after it.
  double changesUnlike = 0.15;
  // A seam in quiet on both sides: the earlier clip ends this far (dB)
  // below its own median level and the later one begins this far below its own.
  double quietEnd = 15.0;
  double quietStart = 10.0;
  // A seam the level falls away at: the later clip begins this far (dB)
  // below its own median level and below where the earlier one ends.
  double quietDrop = 15.0;
  // A fade into a level this much louder (dB) is no junction.
  double levelJump = 15.0;
  double fadeIntoMusic = 4.0;
  // Speech alone never joins a song block.
  double speechAlone = 12.0;
  // Unrelated clips nearer than this to a clip are left out of what an
  // unrelated clip looks like to it (they may be its intros or outros),
  // while enough others remain.
  size_t nullDistance = 8;
};

// A station's clips with their predictors, and the evidence between them.
class StationEvidence {
 public:
  explicit StationEvidence(std::span<const ClipSummary> clips, const EvidenceWeights& weights = {});
  ~StationEvidence();
  StationEvidence(const StationEvidence&) = delete;
  StationEvidence& operator=(const StationEvidence&) = delete;

  size_t size() const { return clips_.size(); }
  const ClipSummary& clip(size_t k) const { return clips_[k]; }
  // The end of `earlier` (by time) runs on into the start of `later`.
  double junction(size_t earlier, size_t later) const;
  double waveformJunction(size_t earlier, size_t later) const;
  // Its parts: each direction, with the later head decoded alone and
  // decoded after the earlier clip (the better pair counts).
  struct WaveformParts {
    double forward = 0.0, backward = 0.0, carriedForward = 0.0, carriedBackward = 0.0;
    // The junction they make together.
    double combined() const;
    // Whether the waveform could be judged at all (every part is 0 when not).
    bool seen() const { return forward != 0.0 || backward != 0.0 || carriedForward != 0.0 || carriedBackward != 0.0; }
  };
  WaveformParts waveformParts(size_t earlier, size_t later) const;
  double spectralJunction(size_t earlier, size_t later) const;
  double levelJunction(size_t earlier, size_t later) const;
  double beatJunction(size_t earlier, size_t later) const;
  double partialJunction(size_t earlier, size_t later) const;
  // Whether the later clip begins in a quiet the earlier does not lead
  // into: both lie in quiet at the seam (a song faded out, speech rising
  // from silence), or the level falls away across it (a song ends loud and
  // talk rises from silence). One piece of music cut anywhere almost never
  // does either, as the later clip begins at the level the earlier ends on.
  bool quietSeam(size_t earlier, size_t later) const;
  // Clips `a` and `b` are intros of one song: they end on the same music
  // (and do not begin on it more alike than they end).
  double introSiblings(size_t a, size_t b) const;
  // Outros of one song: they begin on the same music.
  double outroSiblings(size_t a, size_t b) const;
  // Against `k` being part of a song block: it is speech.
  double speechPenalty(size_t k) const;

 private:
  struct Sides;
  // What clip k's measures look like inside it (one performance), and
  // across cuts into the station's unrelated clips.
  void measureInside(size_t k);
  void measureAgainstUnrelated(size_t k);
  // Which clips stand for "unrelated" to clip k.
  std::vector<size_t> unrelatedTo(size_t k) const;
  void measureCarriedAgainstUnrelated(size_t k, const std::vector<size_t>& all);
  double forwardEvidence(size_t earlier, const StereoEdge& laterHead, bool carried) const;
  double backwardEvidence(size_t earlier, const Sides& later, const std::optional<StereoEdge>& carriedHead) const;
  // Whether two clips hold the same music at their ends (`atEnd`) or starts.
  double edgeSiblings(size_t a, size_t b, bool atEnd) const;

  std::span<const ClipSummary> clips_;
  EvidenceWeights w_;
  std::vector<Sides> sides_;
  std::vector<std::optional<Timbre>> ends_, starts_;
};

}  // namespace wc
