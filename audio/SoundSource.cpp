#include "audio/SoundSource.h"

namespace wc {

SoundSource::~SoundSource() { unlink(); }

void SoundSource::unlink() {
  next->prev = prev;
  prev->next = next;
  next = prev = this;
}

void SoundSource::linkAfter(SoundSource& anchor) {
  next = anchor.next;
  prev = &anchor;
  anchor.next->prev = this;
  anchor.next = this;
}

int32_t SoundSource::refill(const float*& block, int32_t& blockCount) {
  block = nullptr;
  blockCount = 0;
  return -1;
}

template <bool kAdd>
void SoundSource::renderBlocks(float* out, int32_t frames) {
  for (int32_t i = 0; i < frames; ++i) {
    if (count == 0) refill(samples, count);
    if (!samples) {
      // Rendering zeroes what no data covers; mixing leaves it alone.
      if (!kAdd)
        for (int32_t j = 2 * i; j < 2 * frames; ++j) out[j] = 0.0f;
      return;
    }
    const float s = *samples++;
    --count;
    if (kAdd) {
      out[2 * i] += gainLeft * s;
      out[2 * i + 1] += gainRight * s;
    } else {
      out[2 * i] = gainLeft * s;
      out[2 * i + 1] = gainRight * s;
    }
  }
}

void SoundSource::render(float* out, int32_t frames) { renderBlocks<false>(out, frames); }
void SoundSource::mix(float* out, int32_t frames) { renderBlocks<true>(out, frames); }

}  // namespace wc
