#pragma once
// What the analysis keeps of one clip after decoding it once: the waveform
// at both ends (for the junction tests), their short-time spectra, a level
// envelope of the whole clip and what it says about speech and fades. A
// summary is some tens of kilobytes, so a station's summaries fit in memory
// where its clips would not.
#include <array>
#include <cstdint>
#include <vector>

#include "analysis/Spectrum.h"
#include "audio/Decoder.h"
#include "gamedata/ClipAudio.h"

namespace wc {

// Samples per channel (full scale ±1) kept at each end for the waveform
// tests: 171 ms.
inline constexpr int kEdgeSamples = 4096;
// Audio at each end turned into spectra: 1.5 s.
inline constexpr int kSpectralEdgeSamples = 36000;
// Frames at the start of a clip kept undecoded, so its head can be decoded
// again with the history another clip left behind.
inline constexpr int kRawHeadFrames = 16;
// Samples left out at a clip's start in its fine spectra (the first 16
// frames of a head decoded from a zeroed history may be off), and so also
// between the two fine stretches at either end.
inline constexpr int kFineGap = 16 * 28;
// The level envelope's step: 10 ms.
inline constexpr int kEnvelopeStep = 240;

struct StereoEdge {
  std::vector<float> left, right;
  size_t size() const { return left.size(); }
};

// What the level envelope says, measured away from fades.
struct LevelCues {
  // Share of 10 ms steps far below the level around them (within 0.2 s):
  // the pauses between words. Music seldom drops that far that fast.
  double pauseShare = 0.0;
  // Share of steps that fall to silence: speech alone, with no music bed.
  double silenceShare = 0.0;
  // The fades at either end, as shares of the clip's length (0: none). A
  // fade falls steadily from the clip's usual level to 12 dB and more below.
  double fadeOutShare = 0.0;
  double fadeInShare = 0.0;
  double medianDb = -120.0;  // of the envelope
  double loudDb = -120.0;    // what its loudest tenth reaches
  double endDb = -120.0;     // the last 50 ms
  double startDb = -120.0;   // the first 50 ms
};

struct ClipSummary {
  bool audible = false;  // decodable frames with some sound in them
  int64_t samples = 0;   // per channel, 24000 Hz
  StereoEdge head;       // first samples, decoded from a zeroed history
  StereoEdge tail;       // last samples
  std::vector<SpectralFrame> headSpectra, tailSpectra;
  // Fine spectra of two stretches at each end, one fine frame apart with a
  // gap of kFineGap samples: the head's after its unsettled first frames,
  // the tail's before its end. Empty where the clip is short or silent.
  std::vector<float> fineHead, fineHeadNext, fineTail, fineTailBefore;
  std::vector<float> envelopeDb;  // power per 10 ms, dB full scale
  LevelCues cues;
  // Decoder histories after the last frame, and the first frames' bytes:
  // together they give the head as it sounds when played after the tail.
  DecoderState endLeft, endRight;
  std::array<uint8_t, kRawHeadFrames * 16> rawLeft{}, rawRight{};
  int rawFrames = 0;

  double seconds() const { return double(samples) / 24000.0; }
};

ClipSummary summarizeClip(const ClipAudio& clip, SpectrumAnalyser& spectra);

// The head of `next` decoded with the history `previous` ends with, then
// the rest of its head as decoded alone.
StereoEdge headAfter(const ClipSummary& previous, const ClipSummary& next);
// Only the first `frames` frames of that head (fewer where the clip has
// fewer): enough for a look across the junction.
StereoEdge headStartAfter(const ClipSummary& previous, const ClipSummary& next, int frames);

// Cues from a level envelope (exposed for the tests of fades and speech).
LevelCues levelCues(const std::vector<float>& envelopeDb);

}  // namespace wc
