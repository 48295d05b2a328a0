// The portable kernel: every output is the reference's in-order sum, so it
// needs no rounding check. Compiled for the baseline processor.
#include "audio/PcmConversion.h"
#include "audio/ResampleKernels.h"
#include "audio/WaveWriter.h"

namespace wc {

int16_t exactBlockOutput(const KernelPlan& plan, const float* left, const float* right, int32_t period, int32_t slot) {
  const int32_t r = slot / 2;
  const float* x = (slot & 1) ? right : left;
  const int32_t centre = plan.step * period + plan.rowCentre[r] + kBlockLead;
  if (r == 0) return floatToPcm(float(x[centre]));
  const float* h = plan.phaseTables + size_t(plan.rowPhase[r]) * WaveWriter::kTaps;
  const float* window = x + centre - WaveWriter::kCentreTap;
  double sum = 0.0;
  for (int k = 0; k < WaveWriter::kTaps; ++k) sum += double(h[k]) * double(window[k]);
  return floatToPcm(float(sum));
}

void resampleBlockPortable(const KernelPlan& plan, const float* left, const float* right, int32_t periods,
                           double* /*scratch*/, int16_t* out, uint32_t* /*uncertain*/, int32_t* uncertainCount) {
  const int32_t slots = 2 * plan.phaseCount;
  for (int32_t q = 0; q < periods; ++q)
    for (int32_t slot = 0; slot < slots; ++slot)
      out[size_t(q) * size_t(slots) + size_t(slot)] = exactBlockOutput(plan, left, right, q, slot);
  *uncertainCount = 0;
}

}  // namespace wc
