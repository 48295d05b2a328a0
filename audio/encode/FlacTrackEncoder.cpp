// FLAC through libFLAC's stream encoder, written to memory by callbacks.
#include <FLAC/stream_encoder.h>

#include <memory>

#include "audio/encode/EncodedBytes.h"
#include "audio/encode/TrackEncoders.h"
#include "audio/encode/TrackTagger.h"

namespace wc {
namespace {

FLAC__StreamEncoderWriteStatus writeBytes(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes, uint32_t,
                                          uint32_t, void* out) {
  static_cast<EncodedBytes*>(out)->write(buffer, bytes);
  return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}
FLAC__StreamEncoderSeekStatus seekTo(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* out) {
  static_cast<EncodedBytes*>(out)->seek(offset);
  return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}
FLAC__StreamEncoderTellStatus tellWhere(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* out) {
  *offset = static_cast<EncodedBytes*>(out)->tell();
  return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

struct FlacDeleter {
  void operator()(FLAC__StreamEncoder* e) const { FLAC__stream_encoder_delete(e); }
};

class FlacTrackEncoder final : public TrackEncoder {
 public:
  explicit FlacTrackEncoder(int level) : level_(level) {}
  TrackFormat format() const override { return TrackFormat::Flac; }

  std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                             const std::atomic<bool>& stop) const override {
    std::unique_ptr<FLAC__StreamEncoder, FlacDeleter> encoder(FLAC__stream_encoder_new());
    if (!encoder) return std::nullopt;
    FLAC__StreamEncoder* e = encoder.get();
    const size_t frameCount = frames.size() / kChannels;
    FLAC__stream_encoder_set_channels(e, kChannels);
    FLAC__stream_encoder_set_bits_per_sample(e, 16);
    FLAC__stream_encoder_set_sample_rate(e, kSampleRate);
    FLAC__stream_encoder_set_compression_level(e, unsigned(level_));
    FLAC__stream_encoder_set_total_samples_estimate(e, frameCount);
    EncodedBytes out;
    if (FLAC__stream_encoder_init_stream(e, writeBytes, seekTo, tellWhere, nullptr, &out) !=
        FLAC__STREAM_ENCODER_INIT_STATUS_OK)
      return std::nullopt;
    // libFLAC takes 32-bit samples.
    std::vector<FLAC__int32> block(kEncodeBlockFrames * kChannels);
    bool ok = true;
    for (size_t done = 0; ok && done < frameCount; done += kEncodeBlockFrames) {
      if (stop) ok = false;
      const size_t n = std::min(kEncodeBlockFrames, frameCount - done);
      for (size_t i = 0; ok && i < n * kChannels; ++i) block[i] = frames[done * kChannels + i];
      ok = ok && FLAC__stream_encoder_process_interleaved(e, block.data(), unsigned(n));
    }
    // finish() also rewrites the STREAMINFO block with the exact totals and MD5.
    ok = FLAC__stream_encoder_finish(e) && ok;
    if (!ok || !writeTrackTags(TrackFormat::Flac, out.data(), tags)) return std::nullopt;
    return std::move(out.data());
  }

 private:
  int level_;
};

}  // namespace

std::unique_ptr<TrackEncoder> makeFlacTrackEncoder(int level) { return std::make_unique<FlacTrackEncoder>(level); }

}  // namespace wc
