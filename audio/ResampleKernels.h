#pragma once
// The interpolation kernels behind the fast wave writer, one per instruction
// set, all giving the same bytes. This header is included by the translation
// units compiled with -mavx2 / -mavx512f, so it holds only plain data and
// function declarations: an inline function or template instantiated in such
// a unit could be merged with the baseline copy by the linker and then run on
// a processor without those instructions.
#include <cstddef>
#include <cstdint>

namespace wc {

enum class SimdLevel : int { Portable = 0, Avx2 = 1, Avx512 = 2 };

// Taps per table after the shift that aligns every load (256 + up to 7 zeros
// in front, rounded up to whole 8-double vectors).
inline constexpr int32_t kPaddedTaps = 264;
// Input samples before a block's first centre: 128 from the window's start
// (centre - 127) rounded down to a multiple of 8.
inline constexpr int32_t kBlockLead = 128;

// Up to four output rows of one period whose windows start at the same
// aligned input offset, so the rows share every input load.
struct RowTile {
  int32_t base;  // aligned window start, input samples from the period's start
  int32_t count;
  int32_t rows[4];
};

// For kernels that give each vector lane its own period: up to
// kLaneTileRows consecutive rows whose windows start at most 8 samples apart.
// The tile's tables start at the earliest window; each row's table is shifted
// to its own start and the rows are interleaved by tap (tap k of row i of the
// tile at k * count + i), so one pass over the taps feeds every row.
inline constexpr int32_t kLaneTileRows = 6;
struct LaneTile {
  int32_t start;     // earliest window start, input samples from the period's start
  int32_t taps;      // 256 + the spread of the rows' starts, at most kPaddedTaps
  int32_t firstRow;  // rows firstRow .. firstRow + count - 1
  int32_t count;
  const double* tables;
};

// Everything a kernel reads; owned by ResamplePlan. Output row r of a period
// (0 <= r < phaseCount) is output frame phaseCount * q + r: its centre is
// input step * q + rowCentre[r], its phase (r * step) mod phaseCount.
struct KernelPlan {
  int32_t phaseCount;       // L: output frames per period
  int32_t step;             // M: input frames per period, a multiple of 8 when L > 1
  int32_t periodsPerBlock;  // periods handed to one kernel call at most
  // Row r's table in double, shifted so that its window starts at the
  // aligned offset; kPaddedTaps per row, rows 1..L-1, 64-byte aligned.
  const double* alignedTables;
  // Per output slot 2r + channel: the bound factor of the rounding check
  // (see ResamplePlan.cpp); 0 for row 0, which copies its centre.
  const double* boundScale;
  const RowTile* tiles;
  int32_t tileCount;
  const LaneTile* laneTiles;
  int32_t laneTileCount;
  // Input samples of each period a lane kernel reads, from the period's
  // start: every lane tile's start + taps, rounded up to whole vectors.
  int32_t laneSpan;
  // Doubles of 64-byte aligned scratch a kernel call needs.
  int32_t scratchDoubles;
  // The reference's float tables, 256 taps per phase, and each row's phase
  // and centre offset, for the in-order sums.
  const float* phaseTables;
  const int32_t* rowPhase;
  const int32_t* rowCentre;
};

// One block of `periods` (<= periodsPerBlock) periods. `left` and `right`
// hold the input as pushed, from kBlockLead samples before the block's first
// centre on, step * periods + kPaddedTaps + 8 samples in all. `out` receives
// 2 * L * periods interleaved 16-bit samples. Outputs the kernel could not
// prove equal to the in-order sum are listed in `uncertain` (indices into
// `out`, at most 2 * L * periods) and must be recomputed by the caller.
// `scratch` holds plan.scratchDoubles doubles, 64-byte aligned.
using BlockKernel = void (*)(const KernelPlan& plan, const float* left, const float* right, int32_t periods,
                             double* scratch, int16_t* out, uint32_t* uncertain, int32_t* uncertainCount);

void resampleBlockPortable(const KernelPlan&, const float*, const float*, int32_t, double*, int16_t*, uint32_t*,
                           int32_t*);
void resampleBlockAvx2(const KernelPlan&, const float*, const float*, int32_t, double*, int16_t*, uint32_t*, int32_t*);
void resampleBlockAvx512(const KernelPlan&, const float*, const float*, int32_t, double*, int16_t*, uint32_t*,
                         int32_t*);

// The in-order double sum of output slot `slot` (2r + channel) of period
// `period` of a block, rounded to float and converted to a 16-bit sample:
// exactly what the reference writer computes.
int16_t exactBlockOutput(const KernelPlan& plan, const float* left, const float* right, int32_t period, int32_t slot);

}  // namespace wc
