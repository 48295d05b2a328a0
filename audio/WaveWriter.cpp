#include "audio/WaveWriter.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "audio/PcmConversion.h"
#include "base/LittleEndian.h"

namespace wc {
namespace {

constexpr size_t kFlushBytes = 64 * 1024;

int32_t gcdBySubtraction(int32_t a, int32_t b) {
  while (a != b) {
    if (a > b)
      a -= b;
    else
      b -= a;
  }
  return a;
}

uint64_t sectorsFor(int64_t framesPushed, int32_t inRate) {
  if (framesPushed <= 0 || inRate <= 0) return 0;
  return (uint64_t(framesPushed) * WaveWriter::kSectorsPerSecond + uint64_t(inRate) - 1) / uint64_t(inRate);
}

uint64_t targetFrames(uint64_t sectors, int32_t outRate) {
  return uint64_t(outRate) * sectors / WaveWriter::kSectorsPerSecond;
}

}  // namespace

bool WaveWriter::open(std::unique_ptr<OutputFile> file, int32_t inRate, int32_t outRate) {
  if (!file || inRate <= 0 || outRate <= 0) return false;
  ringLeft_.fill(0.0f);
  ringRight_.fill(0.0f);
  // The window starts with 127 samples of silence before the first frame.
  ringWrite_ = kCentreTap;
  ringFill_ = kCentreTap;
  ringStart_ = 0;
  phase_ = 0;
  framesWritten_ = 0;
  framesPushed_ = 0;
  failed_ = false;
  tooLarge_ = false;
  file_ = std::move(file);
  inRate_ = inRate;
  outRate_ = outRate;

  const int32_t g = gcdBySubtraction(inRate, outRate);
  phaseCount_ = outRate / g;
  step_ = inRate / g;

  phaseTables_.assign(size_t(phaseCount_) * kTaps, 0.0f);
  for (int32_t p = 0; p < phaseCount_; ++p) fillPhaseTable(p, phaseCount_, &phaseTables_[size_t(p) * kTaps]);

  pendingBytes_.clear();
  pendingBytes_.reserve(kFlushBytes + 8);
  uint8_t header[kHeaderBytes];
  buildPlaceholderHeader(header);
  writeBytes(header, sizeof header);
  flush();
  return true;
}

void WaveWriter::fillPhaseTable(int32_t phase, int32_t phaseCount, float* table) {
  const double pi = double(kTablePi);
  const double fraction = double(phase) / double(phaseCount);
  for (int k = 0; k < kTaps; ++k) {
    const double x = (double(kCentreTap - k) + fraction) * pi;
    // Table 0 is never read; its centre would be 0 / 0.
    table[k] = x == 0.0 ? 1.0f : float(std::sin(x) / x);
  }
}

int32_t WaveWriter::gcd(int32_t a, int32_t b) { return gcdBySubtraction(a, b); }

void WaveWriter::pushFrame(float left, float right) {
  if (!file_) return;
  ++framesPushed_;
  advance(left, right, std::numeric_limits<int64_t>::max());
}

void WaveWriter::pushFrames(const float* left, const float* right, size_t count) {
  for (size_t i = 0; i < count; ++i) pushFrame(left[i], right[i]);
}

void WaveWriter::advance(float left, float right, int64_t limit) {
  ringLeft_[size_t(ringWrite_)] = left;
  ringRight_[size_t(ringWrite_)] = right;
  ringWrite_ = (ringWrite_ + 1) % kTaps;
  if (ringFill_ < kTaps) ++ringFill_;
  if (ringFill_ < kTaps) return;  // the first output comes with the 129th frame
  while (phase_ < phaseCount_) {
    if (framesWritten_ < limit) emit(phase_);
    phase_ += step_;
  }
  ringStart_ = (ringStart_ + 1) % kTaps;
  phase_ -= phaseCount_;
}

void WaveWriter::emit(int32_t phase) {
  if (phase == 0) {
    const size_t centre = size_t((ringStart_ + kCentreTap) % kTaps);
    writeFrame(ringLeft_[centre], ringRight_[centre]);
    return;
  }
  // Each float product is exact in double; the sum runs in tap order and is
  // rounded to float once. The ring is read in place, split at its wrap.
  const float* h = phaseTable(phase);
  double sumLeft = 0.0;
  double sumRight = 0.0;
  const int firstPart = kTaps - ringStart_;
  for (int k = 0; k < firstPart; ++k) {
    sumLeft += double(h[k]) * double(ringLeft_[size_t(ringStart_ + k)]);
    sumRight += double(h[k]) * double(ringRight_[size_t(ringStart_ + k)]);
  }
  for (int k = firstPart; k < kTaps; ++k) {
    sumLeft += double(h[k]) * double(ringLeft_[size_t(k - firstPart)]);
    sumRight += double(h[k]) * double(ringRight_[size_t(k - firstPart)]);
  }
  writeFrame(float(sumLeft), float(sumRight));
}

void WaveWriter::writeFrame(float left, float right) {
  if (uint64_t(framesWritten_ + 1) * 4 > maxDataBytes_) {
    tooLarge_ = true;  // the header could not describe it: stop writing
    return;
  }
  uint8_t bytes[4];
  writeU16LE(bytes, uint16_t(floatToPcm(left)));
  writeU16LE(bytes + 2, uint16_t(floatToPcm(right)));
  writeBytes(bytes, sizeof bytes);
  ++framesWritten_;
}

void WaveWriter::writeBytes(const void* bytes, size_t size) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  pendingBytes_.insert(pendingBytes_.end(), p, p + size);
  if (pendingBytes_.size() >= kFlushBytes) flush();
}

void WaveWriter::flush() {
  if (pendingBytes_.empty()) return;
  if (!file_->write(pendingBytes_.data(), pendingBytes_.size())) failed_ = true;
  pendingBytes_.clear();
}

int64_t WaveWriter::sectorsSoFar() const { return int64_t(sectorsFor(framesPushed_, inRate_)); }

uint64_t WaveWriter::predictedDataBytes(int64_t framesPushed, int32_t inRate, int32_t outRate) {
  if (outRate <= 0) return 0;
  return targetFrames(sectorsFor(framesPushed, inRate), outRate) * 4;
}

// RIFF chunk tags are four bytes with no terminator.
// NOLINTBEGIN(bugprone-not-null-terminated-result)
void WaveWriter::buildHeader(uint8_t* h, int32_t outRate, uint64_t dataBytes) {
  std::memcpy(h, "RIFF", 4);
  writeU32LE(h + 4, uint32_t(36 + dataBytes));
  std::memcpy(h + 8, "WAVE", 4);
  std::memcpy(h + 12, "fmt ", 4);
  writeU32LE(h + 16, 16);
  writeU16LE(h + 20, 1);  // PCM
  writeU16LE(h + 22, 2);  // channels
  writeU32LE(h + 24, uint32_t(outRate));
  writeU32LE(h + 28, uint32_t(outRate) * 4);
  writeU16LE(h + 32, 4);   // block alignment
  writeU16LE(h + 34, 16);  // bits per sample
  std::memcpy(h + 36, "data", 4);
  writeU32LE(h + 40, uint32_t(dataBytes));
}
// NOLINTEND(bugprone-not-null-terminated-result)

void WaveWriter::buildPlaceholderHeader(uint8_t* h) {
  buildHeader(h, 0, 0);
  writeU32LE(h + 4, 0);  // RIFF size: 0 rather than 36, nothing is final yet
}

bool WaveWriter::finish() {
  if (!file_) return false;
  const int64_t target = int64_t(targetFrames(sectorsFor(framesPushed_, inRate_), outRate_));
  // Flushes the interpolator's 128-frame delay and fills the last sector;
  // silence pushed here is not counted in framesPushed.
  while (framesWritten_ < target && !tooLarge_) advance(0.0f, 0.0f, target);
  flush();

  uint8_t header[kHeaderBytes];
  buildHeader(header, outRate_, uint64_t(framesWritten_) * 4);
  if (!file_->seek(0) || !file_->write(header, sizeof header)) failed_ = true;
  if (!file_->close()) failed_ = true;
  file_.reset();
  phaseTables_.clear();
  phaseTables_.shrink_to_fit();
  return !failed();
}

}  // namespace wc
