#pragma once
// The precomputed data of the fast interpolator for one pair of rates: the
// phase tables in double, shifted for aligned loads, the grouping of output
// rows into tiles that share their input loads, and the bounds of the
// rounding check. Built once per export (about 300 KB at 24000 to 44100 Hz).
#include <cstdint>
#include <vector>

#include "audio/ResampleKernels.h"

namespace wc {

// Whether this machine can run `level` (Portable always).
bool simdLevelAvailable(SimdLevel level);
// The fastest level this machine can run.
SimdLevel bestSimdLevel();
const char* simdLevelName(SimdLevel level);
BlockKernel kernelFor(SimdLevel level);

class ResamplePlan {
 public:
  // Whether the fast interpolator handles these rates: equal rates, or an
  // input step (inRate / gcd) that is a multiple of 8 so that every row's
  // window keeps its alignment from one period to the next.
  static bool supports(int32_t inRate, int32_t outRate);

  ResamplePlan(int32_t inRate, int32_t outRate);
  ResamplePlan(const ResamplePlan&) = delete;
  ResamplePlan& operator=(const ResamplePlan&) = delete;

  const KernelPlan& kernel() const { return kernel_; }
  int32_t phaseCount() const { return kernel_.phaseCount; }
  int32_t step() const { return kernel_.step; }
  int32_t periodsPerBlock() const { return kernel_.periodsPerBlock; }
  // Input doubles a block reads per channel, from its origin.
  int32_t blockInputSpan() const { return kernel_.step * kernel_.periodsPerBlock + kPaddedTaps + 8; }
  int32_t scratchDoubles() const { return kernel_.scratchDoubles; }

 private:
  void buildLaneTiles(const std::vector<int32_t>& rowStart);

  std::vector<float> phaseTables_;
  std::vector<double> alignedStorage_;  // over-allocated for 64-byte alignment
  std::vector<double> boundScale_;
  std::vector<RowTile> tiles_;
  std::vector<LaneTile> laneTiles_;
  std::vector<double> laneTables_;
  std::vector<int32_t> rowPhase_;
  std::vector<int32_t> rowCentre_;
  KernelPlan kernel_{};
};

}  // namespace wc
