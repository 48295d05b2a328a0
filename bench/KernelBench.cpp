// Throughput of the interpolation kernels on one thread: one block of
// full-scale noise interpolated over and over, reported as multiply-adds per
// second (two channels x 256 taps per output frame) and as seconds per
// 74 minutes of CD audio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/FastWaveWriter.h"
#include "audio/ResamplePlan.h"
#include "bench/DiscardingFile.h"

namespace wc {
namespace {

void BM_ResampleKernel(benchmark::State& state) {
  const SimdLevel level = SimdLevel(state.range(0));
  if (!simdLevelAvailable(level)) {
    state.SkipWithError("not available on this processor");
    return;
  }
  const ResamplePlan plan(24000, 44100);
  const BlockKernel kernel = kernelFor(level);
  const size_t span = size_t(plan.blockInputSpan());
  std::vector<float> left(span), right(span);
  uint32_t seed = 12345;
  for (size_t i = 0; i < span; ++i) {
    seed = seed * 1664525u + 1013904223u;
    left[i] = float(int32_t(seed) >> 16) / 32768.0f;
    right[i] = float(int16_t(seed)) / 32768.0f;
  }
  std::vector<double> storage(size_t(plan.scratchDoubles()) + 8);
  double* scratch = storage.data();
  while (reinterpret_cast<uintptr_t>(scratch) % 64 != 0) ++scratch;
  const size_t outputs = 2 * size_t(plan.phaseCount()) * size_t(plan.periodsPerBlock());
  std::vector<int16_t> out(outputs);
  std::vector<uint32_t> uncertain(outputs);
  for (auto _ : state) {
    int32_t count = 0;
    kernel(plan.kernel(), left.data(), right.data(), plan.periodsPerBlock(), scratch, out.data(), uncertain.data(),
           &count);
    benchmark::DoNotOptimize(out.data());
  }
  const double framesPerIteration = double(plan.phaseCount()) * plan.periodsPerBlock();
  state.counters["GMAC_per_s"] =
      benchmark::Counter(framesPerIteration * 2 * 256 / 1e9, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["s_per_74min"] =
      benchmark::Counter(framesPerIteration / (74.0 * 60.0 * 44100.0),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(simdLevelName(level));
}
BENCHMARK(BM_ResampleKernel)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

using bench::DiscardingFile;

// The fast writer's threads without decoding or a disk: ten minutes of noise
// pushed in the renderer's 28-frame pieces, the output thrown away.
void BM_FastWriterThreads(benchmark::State& state) {
  constexpr size_t kFrames = 600 * 24000;
  std::vector<float> left(kFrames), right(kFrames);
  uint32_t seed = 777;
  for (size_t i = 0; i < kFrames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    left[i] = float(int16_t(seed >> 16)) / 32768.0f;
    right[i] = float(int16_t(seed)) / 32768.0f;
  }
  for (auto _ : state) {
    FastWaveWriter writer({bestSimdLevel(), int(state.range(0))});
    writer.open(std::make_unique<DiscardingFile>(), 24000, 44100);
    for (size_t i = 0; i < kFrames; i += 28) writer.pushFrames(&left[i], &right[i], 28);
    writer.finish();
  }
  state.counters["s_per_74min"] =
      benchmark::Counter(double(kFrames) / (74.0 * 60.0 * 24000.0),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FastWriterThreads)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace wc
