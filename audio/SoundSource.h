#pragma once
// A source of stereo float frames for the mixer. The base class is a mono
// source fed in blocks by refill(); the base refill() has no data, so a bare
// SoundSource renders silence. Sources hang in a circular doubly linked list
// whose head is a SoundSource that is never rendered (see Mixer).
#include <cstdint>

namespace wc {

class SoundSource {
 public:
  SoundSource() = default;
  // Leaves whatever list the source is in, so neither order of destroying a
  // source and its list leaves a dangling link.
  virtual ~SoundSource();
  SoundSource(const SoundSource&) = delete;
  SoundSource& operator=(const SoundSource&) = delete;

  // Writes `frames` stereo frames (left, right) to `out`, overwriting it.
  virtual void render(float* out, int32_t frames);
  // The same, adding to what `out` holds.
  virtual void mix(float* out, int32_t frames);
  // Asks for the next block of mono samples. Returns -1 with a null block
  // when no more data follows.
  virtual int32_t refill(const float*& samples, int32_t& count);

  bool isLinked() const { return next != this; }
  // Out of any list; links to itself afterwards.
  void unlink();
  // Into the list right after `anchor`.
  void linkAfter(SoundSource& anchor);

  float gainLeft = 0.3f;
  float gainRight = 0.3f;
  SoundSource* next = this;
  SoundSource* prev = this;
  // The current block of the base behaviour and how many samples are left.
  const float* samples = nullptr;
  int32_t count = 0;

 private:
  template <bool kAdd>
  void renderBlocks(float* out, int32_t frames);
};

}  // namespace wc
