#pragma once
// The export's wave writer: the same file as WaveWriter, byte for byte, in a
// fraction of the time. The thread that pushes frames (the export's, usually
// the user-interface thread) only copies them into a job; worker threads
// interpolate whole jobs (blocks of 80-input / 147-output periods, every
// output depending only on the input history), and a writer thread writes
// the finished jobs in order. Jobs live in a fixed ring of reused slots, so
// the memory does not grow with the length of the export.
//
// Threads: open(), pushFrames(), sectorsSoFar(), finish() and the destructor
// belong to the one calling thread; the workers and the writer thread exist
// from open() to finish() (or the destructor) and touch only the slots and
// the file, under the pipeline's mutex.
#include <cstdint>
#include <memory>

#include "audio/FrameSink.h"
#include "audio/ResampleKernels.h"
#include "audio/WaveWriter.h"
#include "base/File.h"

namespace wc {

struct FastWriterOptions {
  SimdLevel level = SimdLevel::Avx512;  // lowered to what the processor has
  int workers = 0;                      // interpolating threads; 0: one per processor
  uint64_t maxDataBytes = WaveWriter::kMaxDataBytes;
};

class FastWaveWriter final : public FrameSink {
 public:
  explicit FastWaveWriter(FastWriterOptions options = {});
  // An export abandoned without finish(): the threads stop, the file closes.
  ~FastWaveWriter() override;
  FastWaveWriter(const FastWaveWriter&) = delete;
  FastWaveWriter& operator=(const FastWaveWriter&) = delete;

  // Whether these rates have a fast path (24000 to 44100 and equal rates do).
  static bool supports(int32_t inRate, int32_t outRate);

  // Takes the file, writes the placeholder header and starts the threads.
  // False (nothing written) for a null file or unsupported rates.
  bool open(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate);
  void pushFrames(const float* left, const float* right, size_t count) override;
  int64_t sectorsSoFar() const override;
  // Pads to whole sectors, waits for the threads, writes the final header
  // and closes the file. False if a write, the seek or the close failed or
  // the data outgrew the header's 32-bit sizes.
  bool finish() override;

  int64_t framesPushed() const { return framesPushed_; }
  // Output frames in the file; valid after finish().
  int64_t framesWritten() const { return framesWritten_; }
  SimdLevel level() const { return level_; }
  int workers() const { return workers_; }
  // Outputs whose fast sum lay too near a rounding boundary and were summed
  // again in tap order; valid after finish().
  int64_t recomputedOutputs() const { return recomputed_; }

 private:
  struct Pipeline;

  FastWriterOptions options_;
  SimdLevel level_ = SimdLevel::Portable;
  int workers_ = 1;
  int32_t inRate_ = 0;
  int32_t outRate_ = 0;
  int64_t framesPushed_ = 0;
  int64_t framesWritten_ = 0;
  int64_t recomputed_ = 0;
  std::unique_ptr<Pipeline> pipeline_;
};

// What the export writes its wave file with.
struct WaveSinkOptions {
  bool reference = false;  // the straightforward WaveWriter instead of the fast one
  FastWriterOptions fast;
};

// Opens the wave file's writer: the fast one when it supports the rates and
// `options` do not ask for the reference. Null when the file is null or a
// rate is not positive.
std::unique_ptr<FrameSink> openWaveSink(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate,
                                        const WaveSinkOptions& options = {});

}  // namespace wc
