// Ogg Opus through libopusenc, which resamples to 48 kHz, writes the
// pre-skip and ends the stream on the exact granule position of the last
// input sample, so decoders trim the codec's delay and padding.
#include <opus/opusenc.h>

#include <memory>

#include "audio/encode/EncodedBytes.h"
#include "audio/encode/TrackEncoders.h"
#include "audio/encode/TrackTagger.h"

namespace wc {
namespace {

int writePage(void* out, const unsigned char* ptr, opus_int32 len) {
  static_cast<EncodedBytes*>(out)->write(ptr, size_t(len));
  return 0;
}
int closeStream(void*) { return 0; }

struct OpusEncDeleter {
  void operator()(OggOpusEnc* e) const { ope_encoder_destroy(e); }
};
struct CommentsDeleter {
  void operator()(OggOpusComments* c) const { ope_comments_destroy(c); }
};

class OpusTrackEncoder final : public TrackEncoder {
 public:
  explicit OpusTrackEncoder(int kbps) : kbps_(kbps) {}
  TrackFormat format() const override { return TrackFormat::Opus; }

  std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                             const std::atomic<bool>& stop) const override {
    // libopusenc asserts when drained without a single sample.
    if (frames.size() < kChannels) return std::nullopt;
    // Tags go in afterwards through TagLib; the encoder writes only its vendor string.
    std::unique_ptr<OggOpusComments, CommentsDeleter> comments(ope_comments_create());
    if (!comments) return std::nullopt;
    EncodedBytes out;
    const OpusEncCallbacks callbacks{writePage, closeStream};
    int error = OPE_OK;
    std::unique_ptr<OggOpusEnc, OpusEncDeleter> encoder(
        ope_encoder_create_callbacks(&callbacks, &out, comments.get(), kSampleRate, kChannels, 0, &error));
    if (!encoder || error != OPE_OK) return std::nullopt;
    if (ope_encoder_ctl(encoder.get(), OPUS_SET_BITRATE(kbps_ * 1000)) != OPE_OK) return std::nullopt;
    const size_t frameCount = frames.size() / kChannels;
    for (size_t done = 0; done < frameCount; done += kEncodeBlockFrames) {
      if (stop) return std::nullopt;
      const size_t n = std::min(kEncodeBlockFrames, frameCount - done);
      if (ope_encoder_write(encoder.get(), frames.data() + done * kChannels, int(n)) != OPE_OK) return std::nullopt;
    }
    if (ope_encoder_drain(encoder.get()) != OPE_OK) return std::nullopt;
    encoder.reset();
    if (!writeTrackTags(TrackFormat::Opus, out.data(), tags)) return std::nullopt;
    return std::move(out.data());
  }

 private:
  int kbps_;
};

}  // namespace

std::unique_ptr<TrackEncoder> makeOpusTrackEncoder(int kbps) { return std::make_unique<OpusTrackEncoder>(kbps); }

}  // namespace wc
