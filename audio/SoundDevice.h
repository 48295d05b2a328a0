#pragma once
// What the sound output needs of a device: a 96000-byte ring of 16-bit stereo
// frames at 24000 Hz (one second), played in a loop while running, whose
// play cursor can be read at any time. The engine calls every method on the
// user-interface thread; implementations that play on a thread of their own
// must keep the cursor and the ring safe against it.
#include <cstdint>
#include <span>

namespace wc {

class SoundDevice {
 public:
  static constexpr uint32_t kRate = 24000;       // frames per second
  static constexpr uint32_t kFrameBytes = 4;     // 16-bit left, 16-bit right, little-endian
  static constexpr uint32_t kRingBytes = 96000;  // one second
  static constexpr uint32_t kBytesPerSecond = 96000;

  // The state of the ring's memory when a write is about to start: Lost means
  // the memory must be restored (restore()) before it can be written.
  enum class WriteStatus { Ok, Lost, Failed };

  virtual ~SoundDevice() = default;

  // Opens the device with a silent ring, stopped, play cursor 0. False when
  // there is no usable device.
  virtual bool open() = 0;
  // Stops and releases the device; harmless when not open.
  virtual void close() = 0;

  // Byte offset (0 .. kRingBytes - 1) of the next byte to be played.
  virtual uint32_t playCursor() = 0;

  // Asked before each fill, so that a ring that cannot be written costs no
  // audio: the engine renders only after Ok.
  virtual WriteStatus prepareWrite() = 0;
  // Copies `bytes` into the ring at `offset`; offset + size never exceeds
  // kRingBytes (the engine splits a range at the wrap). The bytes become
  // audible as a whole.
  virtual void write(uint32_t offset, std::span<const uint8_t> bytes) = 0;
  // Makes lost ring memory usable again; true on success.
  virtual bool restore() = 0;

  // Starts or resumes looping at the play cursor.
  virtual void play() = 0;
  // Halts; the play cursor stays where it is.
  virtual void stop() = 0;
};

}  // namespace wc
