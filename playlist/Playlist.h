#pragma once
// The CD playlist: a circular doubly linked ring of tracks through a sentinel
// `head` that has no clip and so marks the end for every walk. The playlist
// owns the linked tracks; linking and unlinking never touch `trackCount`,
// callers that add or drop a track count it themselves.
#include <cstdint>
#include <functional>

#include "playlist/Track.h"

namespace wc {

inline constexpr int kMaxCdTracks = 99;

class Playlist {
 public:
  Playlist();
  ~Playlist();
  Playlist(const Playlist&) = delete;
  Playlist& operator=(const Playlist&) = delete;

  Track head;
  int32_t trackCount = 0;

  Track* first() { return head.next == &head ? nullptr : head.next; }
  Track* last() { return head.prev == &head ? nullptr : head.prev; }
  bool empty() const { return head.next == &head; }

  // The track at position `row` from 0, or null at or past the end.
  Track* trackAt(int row);
  // Number of tracks in front of `track`.
  int trackIndexOf(const Track* track) const;

  void insertBefore(Track* track, Track* before);
  void insertAfter(Track* track, Track* after);
  void append(Track* track) { insertBefore(track, &head); }
  static void unlink(Track* track);

  // Called with a track just before removeTrack or freeAll frees it, so that
  // playback can stop before the audio it reads is gone.
  std::function<void(Track*)> beforeFree;

  // Unlinks and frees `track` and its audio; trackCount -= 1.
  void removeTrack(Track* track);
  // Frees every track; trackCount = 0.
  void freeAll();

  // Samples per channel of all loaded audio.
  int64_t playlistSamples() const;
};

// Whole seconds of `samples` at 24000 Hz, rounded up.
inline int64_t roundedSeconds(int64_t samples) { return (samples + 23999) / 24000; }

}  // namespace wc
