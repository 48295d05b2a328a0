#pragma once
// Writes the export's wave file: 24000 Hz stereo float frames in, converted
// by a 256-tap truncated sinc (one table per output phase) to the output rate
// or copied when the rates are equal, 16-bit PCM out, the end padded to whole
// CD sectors (1/75 s). Sizes are 64-bit throughout: an hour of pushed frames
// times 75 does not fit 32 bits.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/FrameSink.h"
#include "base/File.h"

namespace wc {

class WaveWriter final : public FrameSink {
 public:
  static constexpr int kTaps = 256;
  static constexpr int kCentreTap = 127;
  static constexpr int kSectorsPerSecond = 75;
  static constexpr uint32_t kHeaderBytes = 44;
  // The largest data chunk whose file still fits the 32-bit RIFF sizes
  // (header included, whole frames).
  static constexpr uint64_t kMaxDataBytes = 0x100000000ull - 44;
  // π as the 32-bit float one unit in the last place below the float nearest
  // to π; the phase tables are built with it.
  static constexpr float kTablePi = 3.14159250259399414f;

  // `maxDataBytes` lowers the size limit (tests reach it without gigabytes).
  explicit WaveWriter(uint64_t maxDataBytes = kMaxDataBytes) : maxDataBytes_(maxDataBytes) {}
  ~WaveWriter() override = default;
  WaveWriter(const WaveWriter&) = delete;
  WaveWriter& operator=(const WaveWriter&) = delete;

  // Takes the file, builds the phase tables and writes a placeholder header.
  // False (and nothing written) when `file` is null or a rate is not
  // positive. A failed write of the placeholder is reported by finish().
  bool open(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate);
  // One input frame at full scale (+-1.0); writes zero or more output frames.
  void pushFrame(float left, float right);
  void pushFrames(const float* left, const float* right, size_t count) override;
  // CD sectors covered by the frames pushed so far, rounded up.
  int64_t sectorsSoFar() const override;
  // Pads to whole sectors, writes the final header, closes the file and
  // frees the tables. False if any write, seek or close failed, or if the
  // data outgrew the 32-bit sizes of the header.
  bool finish() override;

  // The data chunk's size in bytes after `framesPushed` input frames and
  // finish(): whole sectors of output frames.
  static uint64_t predictedDataBytes(int64_t framesPushed, int32_t inRate, int32_t outRate);
  // The 44-byte RIFF/WAVE header of 16-bit stereo PCM at `outRate`.
  static void buildHeader(uint8_t* header, int32_t outRate, uint64_t dataBytes);
  // The header written while an export runs: the same layout with both sizes
  // and the sample rate (so the byte rate) 0, so that a file cut short by a
  // crash still reads as a wave file that claims no audio.
  static void buildPlaceholderHeader(uint8_t* header);
  // Table `phase` of `phaseCount` (kTaps floats): the truncated sinc sampled
  // at (127 - k + phase / phaseCount) * kTablePi.
  static void fillPhaseTable(int32_t phase, int32_t phaseCount, float* table);
  // The rates' greatest common divisor, by repeated subtraction (positive rates).
  static int32_t gcd(int32_t a, int32_t b);

  bool isOpen() const { return file_ != nullptr; }
  // True once a write or seek failed or the data outgrew the header.
  bool failed() const { return failed_ || tooLarge_; }
  int64_t framesWritten() const { return framesWritten_; }
  int64_t framesPushed() const { return framesPushed_; }
  int32_t phaseCount() const { return phaseCount_; }
  int32_t step() const { return step_; }
  // Phase table p (256 taps); valid between open() and finish().
  const float* phaseTable(int32_t p) const { return &phaseTables_[size_t(p) * kTaps]; }

 private:
  // Puts one frame into the ring and emits the frames it completes; at most
  // `limit` frames are written in all.
  void advance(float left, float right, int64_t limit);
  void emit(int32_t phase);
  void writeFrame(float left, float right);
  void writeBytes(const void* bytes, size_t size);
  void flush();

  std::vector<float> phaseTables_;  // phaseCount_ tables of kTaps
  int32_t phaseCount_ = 0;          // L = outRate / g
  int32_t step_ = 0;                // M = inRate / g
  std::array<float, kTaps> ringLeft_{};
  std::array<float, kTaps> ringRight_{};
  int32_t ringStart_ = 0;
  int32_t phase_ = 0;  // in 1/L input samples
  int32_t ringWrite_ = 0;
  int32_t ringFill_ = 0;
  std::unique_ptr<OutputFile> file_;
  std::vector<uint8_t> pendingBytes_;  // output not yet handed to the file
  int64_t framesWritten_ = 0;
  int64_t framesPushed_ = 0;  // the trailing silence of finish() not counted
  int32_t inRate_ = 0;
  int32_t outRate_ = 0;
  uint64_t maxDataBytes_;
  bool failed_ = false;
  bool tooLarge_ = false;
};

}  // namespace wc
