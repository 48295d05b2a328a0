#include "testkit/discgen/AdpcmEncoder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wc {
namespace {

// What the decoder adds for a nibble at a shift of at most 12: the nibble as
// the top four bits of an int16, shifted arithmetically.
int residualFor(int nibble, int shift) { return int(int16_t(uint16_t((nibble & 15) << 12))) >> shift; }

struct Candidate {
  double error = std::numeric_limits<double>::infinity();
  int8_t nibbles[kSamplesPerFrame] = {};
};

// What a filter output costs against the wanted sample: the error of the
// sample the decoder will output (after its +0.5, truncation and clamp), plus
// the distance past full scale. An output beyond the 16-bit range clamps to
// the right sample now, but the unclamped history would carry the overshoot
// into the predictions of the samples after it.
double sampleCost(double y, int16_t wanted) {
  const double d = double(filterOutputToSample(y)) - double(wanted);
  const double over = y > 32767.0 ? y - 32767.0 : (y < -32768.5 ? -32768.5 - y : 0.0);
  return d * d + over * over;
}

// Quantises one frame with a fixed filter and shift, following the decoder's
// arithmetic exactly; each sample takes the better of the two nibbles that
// bracket it. Gives up once the error reaches `bound`.
void tryFilterAndShift(const int16_t* x, const DecoderState& start, int filter, int shift, double bound,
                       Candidate& out) {
  const double c0 = kFilters[filter].c0;
  const double c1 = kFilters[filter].c1;
  const double perStep = 1.0 / double(1 << (12 - shift));  // exact: a power of two
  double h1 = start.h1;
  double h2 = start.h2;
  double error = 0.0;
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    const double prediction = c1 * h2 + c0 * h1;
    const double wanted = (double(x[j]) - prediction) * perStep;
    const int low = int(std::clamp(std::floor(wanted), -8.0, 7.0));
    const int high = std::min(low + 1, 7);
    const double yLow = prediction + residualFor(low, shift);
    const double yHigh = prediction + residualFor(high, shift);
    const double costLow = sampleCost(yLow, x[j]);
    const double costHigh = sampleCost(yHigh, x[j]);
    const bool takeHigh = costHigh < costLow;
    error += takeHigh ? costHigh : costLow;
    if (error >= bound) return;
    out.nibbles[j] = int8_t(takeHigh ? high : low);
    h2 = h1;
    h1 = takeHigh ? yHigh : yLow;
  }
  out.error = error;
}

// The shift whose step just covers the largest residual the filter would
// leave if the history followed the input; the search starts there so that
// the early exit in tryFilterAndShift cuts most of the other candidates short.
int estimatedShift(const int16_t* x, const DecoderState& start, int filter) {
  const double c0 = kFilters[filter].c0;
  const double c1 = kFilters[filter].c1;
  double h1 = start.h1;
  double h2 = start.h2;
  double largest = 0.0;
  for (int j = 0; j < kSamplesPerFrame; ++j) {
    largest = std::max(largest, std::fabs(double(x[j]) - (c1 * h2 + c0 * h1)));
    h2 = h1;
    h1 = x[j];
  }
  int shift = kMaxEncoderShift;
  while (shift > 0 && largest > 7.5 * double(1 << (12 - shift))) --shift;
  return shift;
}

}  // namespace

void AdpcmEncoder::encodeFrame(const int16_t* samples, uint8_t* frame) {
  Candidate best;
  int bestFilter = 0;
  int bestShift = 0;
  for (int filter = 0; filter < 5; ++filter) {
    const int first = estimatedShift(samples, state_, filter);
    // Nearest shifts first, then the rest, so the bound tightens early.
    for (int distance = 0; distance <= kMaxEncoderShift; ++distance) {
      for (const int shift : {first - distance, first + distance}) {
        if (shift < 0 || shift > kMaxEncoderShift || (distance == 0 && shift != first)) continue;
        Candidate c;
        tryFilterAndShift(samples, state_, filter, shift, best.error, c);
        if (c.error < best.error) {
          best = c;
          bestFilter = filter;
          bestShift = shift;
        }
      }
    }
  }

  frame[0] = uint8_t(bestFilter << 4 | bestShift);
  frame[1] = 0;
  for (int j = 0; j < kSamplesPerFrame; j += 2)
    frame[2 + j / 2] = uint8_t((best.nibbles[j] & 15) | (best.nibbles[j + 1] & 15) << 4);

  // The history comes from the decoder itself, never from our simulation.
  int16_t decoded[kSamplesPerFrame];
  decodeFrame(frame, decoded, state_);
}

std::vector<uint8_t> encodeChannel(std::span<const int16_t> samples) {
  const size_t frames = (samples.size() + kSamplesPerFrame - 1) / kSamplesPerFrame;
  std::vector<uint8_t> out(frames * kAdpcmFrameBytes);
  AdpcmEncoder encoder;
  int16_t block[kSamplesPerFrame];
  for (size_t f = 0; f < frames; ++f) {
    const size_t first = f * kSamplesPerFrame;
    const size_t n = std::min<size_t>(kSamplesPerFrame, samples.size() - first);
    std::fill(std::copy_n(samples.begin() + ptrdiff_t(first), n, block), block + kSamplesPerFrame, int16_t(0));
    encoder.encodeFrame(block, out.data() + f * kAdpcmFrameBytes);
  }
  return out;
}

}  // namespace wc
