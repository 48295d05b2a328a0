// MP3 through LAME in VBR mode. The first frame LAME writes is a placeholder
// for its info tag; after the flush it is replaced by the real one, which
// carries the frame count and the encoder delay and padding that gapless
// decoders trim.
#include <lame/lame.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "audio/encode/EncodedBytes.h"
#include "audio/encode/TrackEncoders.h"
#include "audio/encode/TrackTagger.h"

namespace wc {
namespace {

struct LameDeleter {
  void operator()(lame_global_flags* l) const { lame_close(l); }
};

class Mp3TrackEncoder final : public TrackEncoder {
 public:
  explicit Mp3TrackEncoder(int vbrLevel) : vbrLevel_(vbrLevel) {}
  TrackFormat format() const override { return TrackFormat::Mp3; }

  std::optional<std::vector<uint8_t>> encode(std::span<const int16_t> frames, const TrackTags& tags,
                                             const std::atomic<bool>& stop) const override {
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) return std::nullopt;
    lame_global_flags* l = lame.get();
    lame_set_in_samplerate(l, kSampleRate);
    lame_set_out_samplerate(l, kSampleRate);
    lame_set_num_channels(l, kChannels);
    lame_set_VBR(l, vbr_default);
    lame_set_VBR_q(l, vbrLevel_);
    lame_set_bWriteVbrTag(l, 1);
    lame_set_write_id3tag_automatic(l, 0);
    if (lame_init_params(l) < 0) return std::nullopt;

    // LAME's documented worst case for a block: 1.25 * samples + 7200 bytes.
    std::vector<unsigned char> block(kEncodeBlockFrames * 5 / 4 + 7200);
    EncodedBytes out;
    const size_t frameCount = frames.size() / kChannels;
    for (size_t done = 0; done < frameCount; done += kEncodeBlockFrames) {
      if (stop) return std::nullopt;
      const size_t n = std::min(kEncodeBlockFrames, frameCount - done);
      // LAME takes a non-const pointer but does not write through it.
      const int bytes = lame_encode_buffer_interleaved(l, const_cast<short*>(frames.data() + done * kChannels), int(n),
                                                       block.data(), int(block.size()));
      if (bytes < 0) return std::nullopt;
      out.write(block.data(), size_t(bytes));
    }
    const int tail = lame_encode_flush(l, block.data(), int(block.size()));
    if (tail < 0) return std::nullopt;
    out.write(block.data(), size_t(tail));

    const size_t tagBytes = lame_get_lametag_frame(l, block.data(), block.size());
    if (tagBytes == 0 || tagBytes > block.size() || tagBytes > out.data().size()) return std::nullopt;
    std::memcpy(out.data().data(), block.data(), tagBytes);
    if (!writeTrackTags(TrackFormat::Mp3, out.data(), tags)) return std::nullopt;
    return std::move(out.data());
  }

 private:
  int vbrLevel_;
};

}  // namespace

std::unique_ptr<TrackEncoder> makeMp3TrackEncoder(int vbrLevel) { return std::make_unique<Mp3TrackEncoder>(vbrLevel); }

}  // namespace wc
