// Arbitrary clip bytes through the song detection: the clip summary (head,
// tail, sampled windows, the undecoded first frames) and the junction tests
// between two such clips, as a damaged or half-copied pack delivers them.
//
// Input: the claimed channel length (32-bit), a split byte choosing where
// the bytes divide into two clips, then content bytes repeated to fill the
// buffers up to a little over one chunk each.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "analysis/Segmentation.h"
#include "base/LittleEndian.h"
#include "gamedata/ClipAudio.h"

namespace {

using namespace wc;

constexpr size_t kLargestBuffer = ClipAudio::kHeaderSize + ClipAudio::kChunkSize + 30000;

ClipAudio clipOf(uint32_t claimed, size_t length, const uint8_t* content, size_t contentSize) {
  std::vector<uint8_t> bytes(length % (kLargestBuffer + 1));
  if (contentSize)
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = content[i % contentSize];
  if (bytes.size() >= ClipAudio::kChannelLengthOffset + 4)
    writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, claimed);
  return ClipAudio(std::move(bytes));
}

void check(const ClipSummary& s, const ClipAudio& clip) {
  if (s.samples > clip.samples()) std::abort();
  if (s.head.size() > size_t(kEdgeSamples) || s.tail.size() > size_t(kEdgeSamples)) std::abort();
  if (!(s.cues.pauseShare >= 0.0 && s.cues.pauseShare <= 1.0)) std::abort();
  if (!(s.cues.fadeOutShare >= 0.0 && s.cues.fadeOutShare + s.cues.fadeInShare <= 1.0)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const uint32_t claimed = readU32LE(data);
  const uint8_t split = data[4];
  const uint8_t* content = data + 5;
  const size_t contentSize = size - 5;
  const ClipAudio first = clipOf(claimed, contentSize * 97u + split * 4099u, content, contentSize);
  const ClipAudio second = clipOf(claimed ^ (uint32_t(split) << 8), contentSize * 31u + split * 131u,
                                  content + contentSize * split / 256, contentSize - contentSize * split / 256);
  SpectrumAnalyser spectra;
  const ClipSummary a = summarizeClip(first, spectra);
  const ClipSummary b = summarizeClip(second, spectra);
  check(a, first);
  check(b, second);
  const ClipSummary both[] = {a, b};
  const std::vector<RoleOfClip> roles = segmentStation(both);
  if (roles.size() != 2) std::abort();
  if (roles[0].intros + roles[0].outros > 1 || roles[1].intros + roles[1].outros != 0) std::abort();
  for (const RoleOfClip& r : roles)
    if (!(r.confidence >= 0.0 && r.confidence <= 1.0)) std::abort();
  const StationEvidence evidence(both);
  if (std::isnan(evidence.junction(0, 1)) || std::isnan(evidence.junction(1, 0))) std::abort();
  return 0;
}
