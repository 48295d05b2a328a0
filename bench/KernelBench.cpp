// Throughput of the interpolation kernels on one thread: one block of
// full-scale noise interpolated over and over, reported as multiply-adds per
// second (two channels x 256 taps per output frame) and as seconds per
// 74 minutes of CD audio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/ResamplePlan.h"

namespace wc {
namespace {

void BM_ResampleKernel(benchmark::State& state) {
  const SimdLevel level = SimdLevel(state.range(0));
  if (!simdLevelAvailable(level)) {
    state.SkipWithError("not available on this processor");
    return;
  }
  const ResamplePlan plan(24000, 44100);
  const KernelSet kernels = kernelsFor(level);
  const size_t span = size_t(plan.blockInputSpan());
  std::vector<float> left(span), right(span);
  uint32_t seed = 12345;
  for (size_t i = 0; i < span; ++i) {
    seed = seed * 1664525u + 1013904223u;
    left[i] = float(int32_t(seed) >> 16) / 32768.0f;
    right[i] = float(int16_t(seed)) / 32768.0f;
  }
  std::vector<double> storage(2 * span + 16 + size_t(plan.scratchDoubles()) + 8);
  double* base = storage.data();
  while (reinterpret_cast<uintptr_t>(base) % 64 != 0) ++base;
  double* xl = base;
  double* xr = xl + ((span + 7) & ~size_t(7));
  double* sums = xr + ((span + 7) & ~size_t(7));
  const size_t outputs = 2 * size_t(plan.phaseCount()) * size_t(plan.periodsPerBlock());
  std::vector<int16_t> out(outputs);
  std::vector<uint32_t> uncertain(outputs);
  kernels.widen(left.data(), right.data(), span, xl, xr);
  for (auto _ : state) {
    int32_t count = 0;
    kernels.block(plan.kernel(), xl, xr, plan.periodsPerBlock(), sums, out.data(), uncertain.data(), &count);
    benchmark::DoNotOptimize(out.data());
  }
  const double framesPerIteration = double(plan.phaseCount()) * plan.periodsPerBlock();
  state.counters["GMAC_per_s"] = benchmark::Counter(framesPerIteration * 2 * 256 / 1e9,
                                                    benchmark::Counter::kIsIterationInvariantRate);
  state.counters["s_per_74min"] =
      benchmark::Counter(framesPerIteration / (74.0 * 60.0 * 44100.0),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(simdLevelName(level));
}
BENCHMARK(BM_ResampleKernel)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace wc
