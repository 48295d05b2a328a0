#pragma once
// Real recorded music for bare discs: the files of a Debian game-music
// package, decoded with libsndfile and brought to 24000 Hz with
// libsamplerate, so the detection meets reverb, fades, sparse passages and
// real mixes rather than our own synthesiser alone.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "testkit/discgen/MixBuffer.h"

namespace wc {

// Where one family's recordings lie: the files in `directory` whose names
// start with `prefix` and end in `.ogg`, from the Debian package `package`.
struct RecordingShelf {
  const char* directory;
  const char* prefix;
  const char* package;
};

// A shelf's recordings in name order, each decoded when first asked for and
// kept; safe to share between threads.
class RecordingSet {
 public:
  explicit RecordingSet(std::vector<std::string> paths);
  ~RecordingSet();
  RecordingSet(const RecordingSet&) = delete;
  RecordingSet& operator=(const RecordingSet&) = delete;

  size_t size() const { return paths_.size(); }
  // Recording i at 24000 Hz stereo; silence of a second if it cannot be
  // decoded after all.
  const MixBuffer& audio(size_t i) const;

 private:
  struct Slot;
  std::vector<std::string> paths_;
  std::unique_ptr<Slot[]> slots_;
};

// The shelf's set, one per process. Null with the reason when the package
// is not installed or a file is no recording libsndfile can open.
std::shared_ptr<const RecordingSet> loadRecordings(const RecordingShelf& shelf, std::string& why);

// `input` (mono) from `fromRate` to `toRate` with libsamplerate; as long as
// the input in time.
std::vector<float> convertRate(std::span<const float> input, int fromRate, int toRate);

}  // namespace wc
