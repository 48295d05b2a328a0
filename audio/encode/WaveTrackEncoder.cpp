// The simplest encoder: the samples as they are behind a 44-byte header.
#include <bit>
#include <cstring>

#include "audio/WaveWriter.h"
#include "audio/encode/EncodedBytes.h"
#include "audio/encode/TrackEncoders.h"
#include "audio/encode/TrackTagger.h"

namespace wc {
namespace {

class WaveTrackEncoder final : public TrackEncoder {
 public:
  TrackFormat format() const override { return TrackFormat::Wave; }
  std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                             const std::atomic<bool>& stop) const override {
    static_assert(std::endian::native == std::endian::little, "the samples are copied as little-endian bytes");
    if (stop) return std::nullopt;
    std::vector<uint8_t> file(WaveWriter::kHeaderBytes + frames.size_bytes());
    WaveWriter::buildHeader(file.data(), kSampleRate, frames.size_bytes());
    if (!frames.empty()) std::memcpy(file.data() + WaveWriter::kHeaderBytes, frames.data(), frames.size_bytes());
    if (!writeTrackTags(TrackFormat::Wave, file, tags)) return std::nullopt;
    return file;
  }
};

}  // namespace

std::unique_ptr<TrackEncoder> makeWaveTrackEncoder() { return std::make_unique<WaveTrackEncoder>(); }

}  // namespace wc
