#pragma once
// Splitting a station's clip list into song blocks (a song, then its intros,
// then its outros) and the clips between them. Every possible block is
// scored by the evidence for it (StationEvidence) and the segmentation of
// the whole station with the highest summed score is chosen at once, by
// dynamic programming over the clip order: no single doubtful junction
// decides, and no early decision commits the ones after it.
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/ClipFeatures.h"
#include "analysis/SpeechScore.h"
#include "analysis/StationEvidence.h"

namespace wc {

enum class ClipRole {
  Unreadable,  // no audio to judge (not loaded, no frames, silent): the clip stays as it was
  Song,
  Intro,
  Outro,
  Chatter,         // speech, with or without music beneath it
  Identification,  // short music that joins no song
};

struct RoleOfClip {
  ClipRole role = ClipRole::Unreadable;
  int32_t intros = 0;  // for a song
  int32_t outros = 0;
  // How sure the analysis is of this clip's block (a song with its intros
  // and outros, or a lone clip), 0 to 1; every clip of a block carries the
  // block's value. A lone clip's also says how sure its role is (chatter
  // or music). Below kUncertainBlock the user is asked to check it.
  double confidence = 1.0;
};

// Blocks less certain than this are named for the user to check.
inline constexpr double kUncertainBlock = 0.6;
// The most intros, and the most outros, one song is given.
inline constexpr int kMostFollowOns = 8;
// A music clip that joins nothing is a song from this length on, else a
// station identification, until the station's own songs say how long
// songs are there.
inline constexpr double kLoneSongSeconds = 60.0;

// How much a clip looks like an intro (or an outro) of a song: a linear
// score over the evidence of their junction and what the clip is alone,
// as ln odds. The weights are fitted on one family of test discs (a
// logistic regression over true follow-ons and the clips beside their
// blocks) and measured on others.
struct FollowOnModel {
  double waveform = 0.0;      // per unit of the waveform junction (both directions)
  double forward = 0.0;       // per unit of its better forward part
  double backward = 0.0;      // per unit of its better backward part
  double spectral = 0.0;      // per unit of the spectral junction
  double beat = 0.0;          // per unit of the beat junction
  double level = 0.0;         // per unit of the level junction
  double partials = 0.0;      // per unit of the partials junction
  double pauses = 0.0;        // per share of pauses in the clip
  double fadeOut = 0.0;       // per share of the clip fading out
  double length = 0.0;        // per ln of the clip's seconds
  double speech = 0.0;        // per unit of the speech penalty
  double waveformSeen = 0.0;  // when the waveform could be judged at all
  double voice = 0.0;         // per unit the clip sounds more like chatter than like an identification (0 to 2)
  double bias = 0.0;
};

struct SegmentationWeights {
  EvidenceWeights evidence;
  double blockCost = 1.0;  // a block needs this much evidence more than its clips alone
  // Fitted on tuning discs of eight songs a station: `hyperrogue` seeds
  // 1-3 and 6-10 and `synth` 4-10.
  FollowOnModel intro{0.208, 0.329,  0.090,  0.513, 0.404, 0.321,  0.702,
                      2.153, -7.048, -0.077, 0.154, 2.907, -0.267, 0.199};
  FollowOnModel outro{0.199,  0.076, 0.203, 0.660, 0.476, 0.262,  0.648,
                      -0.303, 6.408, 0.422, 0.124, 1.537, -0.441, -1.100};
  double shortSong = 2.0;   // against a song shorter than its intros or outros
  double songLength = 1.5;  // per ln of how many times longer a song is than its longest follow-on
  // Against a follow-on that begins in a quiet its seam does not lead
  // into, unless an earlier sibling vouches for it. On the tuning discs
  // 0.35% of true seams of real recordings do (none of synthetic ones),
  // against 35% of the false ones beside blocks (13% synthetic). Chosen on
  // those, `hyperrogue` 11-15 and `synthwide` 1-4.
  double quietSeam = 2.0;
  // Whether a clip that joins no song is chatter: among clips shorter than
  // the station's songs (against a station identification), and among
  // clips as long as songs (against a song whose intros and outros were
  // missed, where length says nothing, nor does a fade: songs end in
  // fades). The second was fitted on the same discs as the follow-on
  // models, the first on those and `hyperrogue` 11-15 and `synthwide` 1-4.
  SpeechModel amongShort{7.29, 1.32, 2.77, -7.63, 1.64, 0.05, -6.31, -1.00, -0.45};
  SpeechModel amongSongs{7.47, 2.70, 3.32, 0.0, 0.0, 1.85, -21.10, -1.19, -2.99};
  // Against a song, per unit of the second model's speech score above 0.
  double songSpeech = 1.5;
  // The most a song's length counts against it, beside the lengths of the
  // station's songs and of its other clips. It never counts for a song: a
  // long clip of talk is still talk. This and `songSpeech` were chosen on
  // the same discs.
  double songLengthFloor = 3.0;
};

// One role per clip, in order. A song's follow-ons never reach past the
// list or into a clip without audio.
std::vector<RoleOfClip> segmentStation(std::span<const ClipSummary> clips, const SegmentationWeights& weights = {});

}  // namespace wc
