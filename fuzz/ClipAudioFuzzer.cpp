// A clip buffer of arbitrary bytes whose header claims an arbitrary channel
// length, as a damaged or half-copied pack delivers it: walked to its end by
// the live Voice and rendered offline into a wave file.
//
// Input: the claimed channel length (32-bit), the buffer's length (32-bit,
// taken modulo a little under three chunks), a control byte choosing the
// parts the clip fills and where playback starts, then content bytes that
// are repeated to fill the buffer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/WaveWriter.h"
#include "base/LittleEndian.h"
#include "fuzz/FuzzSupport.h"
#include "playlist/OfflineRenderer.h"
#include "playlist/Voice.h"
#include "support/MemoryOutputFile.h"

namespace wc::fuzz {
namespace {

// Two whole chunks and most of a third: every way a buffer can end.
constexpr size_t kLargestBuffer = ClipAudio::kHeaderSize + 2 * ClipAudio::kChunkSize + 70000;

std::vector<uint8_t> clipBytes(uint32_t claimed, uint32_t length, std::span<const uint8_t> content) {
  std::vector<uint8_t> bytes(length % (kLargestBuffer + 1));
  if (!content.empty())
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = content[i % content.size()];
  if (bytes.size() >= ClipAudio::kChannelLengthOffset + 4)
    writeU32LE(bytes.data() + ClipAudio::kChannelLengthOffset, claimed);
  return bytes;
}

// Position reports of the live voice: never backwards within its track.
Track* lastTrack = nullptr;
int64_t lastPosition = 0;
void checkReport(Track* track, int32_t position) {
  if (track && track == lastTrack && position < lastPosition) std::abort();
  lastTrack = track;
  lastPosition = position;
}

int64_t samplesOf(const std::unique_ptr<ClipAudio>& clip) { return clip ? clip->samples() : 0; }

void fill(Track& track, const std::vector<uint8_t>& bytes, uint8_t control) {
  if (control & 1) track.introAudio = std::make_unique<ClipAudio>(bytes);
  if (control & 2) track.songAudio = std::make_unique<ClipAudio>(bytes);
  if (control & 4) track.outroAudio = std::make_unique<ClipAudio>(bytes);
}

void checkClip(const ClipAudio& clip) {
  if (clip.frames() > (clip.channelLength() >> 4)) std::abort();
  uint64_t frames = 0;
  for (uint32_t chunk = 0; chunk < clip.chunkCount(); ++chunk) frames += clip.framesInChunk(chunk);
  if (frames != clip.frames()) std::abort();
}

void playLive(const std::vector<uint8_t>& bytes, uint8_t control) {
  auto preview = std::make_unique<Track>();
  fill(*preview, bytes, control);
  const int64_t total = samplesOf(preview->introAudio) + samplesOf(preview->songAudio) + samplesOf(preview->outroAudio);
  Voice voice;
  voice.callback = &checkReport;
  lastTrack = nullptr;
  const StartPart part = StartPart((control >> 3) % 3);
  Track* played = preview.get();
  voice.playPreview(std::move(preview));
  if (part != StartPart::Intro) voice.play(played, part);
  std::vector<float> block(2 * 4096);
  int64_t blocks = 0;
  while (voice.track()) {
    if (++blocks > total / 4096 + 2) std::abort();  // must end once its audio is used up
    if (blocks % 2)
      voice.render(block.data(), 4096);
    else
      voice.mix(block.data(), 4096);
    for (float v : block)
      if (!(v >= -1.0f && v <= 1.0f)) std::abort();
  }
}

void renderOffline(const std::vector<uint8_t>& bytes, uint8_t control) {
  Track track;
  fill(track, bytes, control);
  const int64_t total = samplesOf(track.introAudio) + samplesOf(track.songAudio) + samplesOf(track.outroAudio);
  // Rate conversion costs 512 multiply-adds a frame: only for short clips.
  const int32_t outRate = (control & 0x40) && total <= 12000 ? 44100 : 24000;

  MemoryFileContents contents;
  WaveWriter writer;
  if (!writer.open(MemoryOutputFile::on(contents), 24000, outRate)) std::abort();
  const OfflineRenderer renderer;
  const int32_t position = renderer.renderTrack(&track, writer);
  if (position != total || writer.framesPushed() != total) std::abort();
  if (!writer.finish()) std::abort();
  const uint64_t dataBytes = WaveWriter::predictedDataBytes(total, 24000, outRate);
  if (contents.bytes.size() != 44 + dataBytes || readU32LE(contents.bytes.data() + 40) != dataBytes) std::abort();
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc::fuzz;
  FuzzInput input({data, size});
  const uint32_t claimed = input.u32();
  const uint32_t length = input.u32();
  const uint8_t control = input.byte();
  const auto bytes = clipBytes(claimed, length, input.rest());

  checkClip(wc::ClipAudio(bytes));
  playLive(bytes, control);
  renderOffline(bytes, control);
  return 0;
}
