// The wave writer and the CUE sheet with extreme counts and positions: any
// sequence of pushed frames (beyond full scale included), sector queries and
// CUE lines for any track number and sector, onto a disk that may fill up and
// with a size limit that may be reached, then the header checked against the
// file.
//
// Input: a control byte (output rate), the data size limit and the disk's
// capacity (32-bit each, 0 meaning none), then operations, one byte each
// followed by their arguments.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/WaveWriter.h"
#include "base/LittleEndian.h"
#include "fuzz/FuzzSupport.h"
#include "playlist/CueSheet.h"
#include "support/MemoryOutputFile.h"

namespace wc::fuzz {
namespace {

void checkIndexLine(int64_t sectors) {
  const std::string line = cueIndexLine(sectors);
  if (sectors < 0) return;  // never asked for; only must not misbehave
  int minutes = -1, seconds = -1, frames = -1;
  if (line.size() != 23 || std::sscanf(line.c_str(), "    INDEX 01 %2d:%2d:%2d", &minutes, &seconds, &frames) != 3)
    std::abort();
  if (minutes >= 99 || seconds >= 60 || frames >= 75) std::abort();
  if (int64_t(minutes) * 4500 + seconds * 75 + frames != sectors % (99 * 4500)) std::abort();
}

void checkTrackLine(int number) {
  const std::string line = cueTrackLine(number);
  char expected[40];
  std::snprintf(expected, sizeof expected, "  TRACK %02d AUDIO\r\n", number);
  if (line != expected) std::abort();
}

// Whole sectors of output always cover every pushed frame.
void checkPrediction(int64_t pushed, int32_t outRate) {
  const uint64_t bytes = WaveWriter::predictedDataBytes(pushed, 24000, outRate);
  const uint64_t frames = bytes / 4;
  if (bytes % 4 || (frames * 75) % uint64_t(outRate) != 0) std::abort();
  if (frames * 24000 < uint64_t(pushed) * uint64_t(outRate)) std::abort();
  if (WaveWriter::predictedDataBytes(pushed + 1, 24000, outRate) < bytes) std::abort();
}

}  // namespace
}  // namespace wc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wc;
  using namespace wc::fuzz;
  FuzzInput input({data, size});
  const int32_t outRate = (input.byte() & 1) ? 44100 : 24000;
  const uint32_t limit = input.u32();
  const uint32_t capacity = input.u32();
  // Rate conversion costs 512 multiply-adds a frame; keep an input quick.
  const int64_t pushBudget = outRate == 44100 ? 1000 : 50000;

  MemoryFileContents contents;
  if (capacity) contents.capacity = capacity;
  WaveWriter writer(limit ? uint64_t(limit) : WaveWriter::kMaxDataBytes);
  if (!writer.open(MemoryOutputFile::on(contents), 24000, outRate)) std::abort();

  while (!input.empty()) {
    switch (input.byte() % 5) {
      case 0: {  // a run of frames: count, then a sample pair and a gain
        const uint32_t count = input.u32() % 4096;
        const float left = float(int16_t(input.u32())) / 32768.0f;
        const float right = float(int16_t(input.u32())) / 32768.0f;
        const float gain = 1.0f + float(input.byte()) / 64.0f;  // up to 5x full scale
        for (uint32_t i = 0; i < count && writer.framesPushed() < pushBudget; ++i)
          writer.pushFrame((i & 1 ? left : -left) * gain, right * gain);
        break;
      }
      case 1: checkIndexLine(writer.sectorsSoFar()); break;
      case 2: checkIndexLine(int64_t(uint64_t(input.u32()) << 32 | input.u32())); break;
      case 3: checkTrackLine(int32_t(input.u32())); break;
      case 4: checkPrediction(int64_t(uint64_t(input.u32()) << 8 | input.byte()), outRate); break;
    }
  }

  const int64_t pushed = writer.framesPushed();
  const bool finished = writer.finish();
  const uint64_t dataBytes = WaveWriter::predictedDataBytes(pushed, 24000, outRate);
  const bool fits = dataBytes <= (limit ? uint64_t(limit) : WaveWriter::kMaxDataBytes);
  const bool roomy = !capacity || 44 + dataBytes <= capacity;
  // The writer reports failure exactly when the disk or the size limit was
  // too small, and otherwise the header describes the file.
  if (finished != (fits && roomy)) std::abort();
  if (finished) {
    if (contents.bytes.size() != 44 + dataBytes) std::abort();
    if (readU32LE(contents.bytes.data() + 40) != dataBytes || readU32LE(contents.bytes.data() + 4) != 36 + dataBytes)
      std::abort();
    if (readU32LE(contents.bytes.data() + 24) != uint32_t(outRate)) std::abort();
  }
  return 0;
}
