#pragma once
// A sound device without sound: the play cursor moves only when the test
// says so (advance), the ring keeps what the engine wrote, and writes or the
// opening can be made to fail. Owned by the AudioEngine once started; keep a
// raw pointer to steer it.
#include <cstdint>
#include <vector>

#include "audio/SoundDevice.h"

namespace wc {

class FakeSoundDevice final : public SoundDevice {
 public:
  struct Write {
    uint32_t offset;
    uint32_t bytes;
  };

  // --- steering ---
  bool failOpen = false;
  // The next prepareWrite() calls report Lost (then Failed) this many times.
  int lostWrites = 0;
  int failedWrites = 0;
  // restore() reports failure (the retry still asks prepareWrite()).
  bool failRestore = false;

  // Moves the cursor `bytes` forward (wrapping at kRingBytes) if playing, as
  // the device would in bytes / 96000 seconds.
  void advance(uint32_t bytes);
  // Puts the cursor anywhere, playing or not.
  void setPlayCursor(uint32_t offset) { cursor_ = offset % kRingBytes; }

  // --- observation ---
  bool isOpen() const { return open_; }
  bool isPlaying() const { return playing_; }
  const std::vector<uint8_t>& ring() const { return ring_; }
  // The 16-bit sample at `byteOffset` (little-endian) of the ring.
  int16_t sampleAt(uint32_t byteOffset) const;
  // Every write() in order; clearWrites() forgets them.
  const std::vector<Write>& writes() const { return writes_; }
  void clearWrites() { writes_.clear(); }
  int openCalls = 0;
  int closeCalls = 0;
  int playCalls = 0;
  int stopCalls = 0;
  int restoreCalls = 0;
  int prepareCalls = 0;

  // --- SoundDevice ---
  bool open() override;
  void close() override;
  uint32_t playCursor() override { return cursor_; }
  WriteStatus prepareWrite() override;
  void write(uint32_t offset, std::span<const uint8_t> bytes) override;
  bool restore() override;
  void play() override;
  void stop() override;

 private:
  std::vector<uint8_t> ring_ = std::vector<uint8_t>(kRingBytes, 0);
  std::vector<Write> writes_;
  uint32_t cursor_ = 0;
  bool open_ = false;
  bool playing_ = false;
};

}  // namespace wc
