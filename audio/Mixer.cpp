#include "audio/Mixer.h"

#include <algorithm>

namespace wc {

Mixer::~Mixer() { detachAll(); }

void Mixer::addSource(SoundSource& source) {
  if (source.isLinked()) source.unlink();
  source.linkAfter(anchor_);
}

void Mixer::detachAll() {
  while (anchor_.isLinked()) anchor_.next->unlink();
}

void Mixer::mixSources(int16_t* out, int32_t frames, float* scratch) {
  if (empty()) {
    std::fill(out, out + 2 * frames, int16_t(0));
    return;
  }
  bool first = true;
  for (SoundSource* s = anchor_.next; s != &anchor_; s = s->next) {
    if (first)
      s->render(scratch, frames);
    else
      s->mix(scratch, frames);
    first = false;
  }
  for (int32_t i = 0; i < 2 * frames; ++i) out[i] = mixerSample(scratch[i]);
}

}  // namespace wc
