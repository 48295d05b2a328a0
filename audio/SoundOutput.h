#pragma once
// What playback and the export need of the sound output: somewhere to link a
// source, and a way to halt the device while an export blocks the
// user-interface thread. AudioEngine implements it; the view gets it handed
// in, so tests run with or without a device.
namespace wc {

class SoundSource;

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Links `source` into the mix; it must stay alive until shut-down or
  // until it is no longer linked.
  virtual void addSource(SoundSource& source) = 0;
  // Halts the device; nothing is rendered until resumeOutput().
  virtual void pauseOutput() = 0;
  // Starts the device again from an empty ring.
  virtual void resumeOutput() = 0;
  // Called before a track or preview starts, so that an output that sleeps
  // while nothing sounds is awake for the first sample.
  virtual void soundComing() {}
  // Called right before a playlist tool draws from the generator the sound
  // timer reseeds, so that an output whose timer sleeps can bring the tick
  // count (and the seed) up to the time since start first.
  virtual void toolsAboutToDraw() {}
};

}  // namespace wc
