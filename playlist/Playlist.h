#pragma once
// The CD playlist: a circular doubly linked ring of tracks through a sentinel
// that has no clip and so marks the end for every walk. The playlist owns the
// linked tracks and counts them: every insertion and removal goes through it.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/Signal.h"
#include "playlist/PlaylistFile.h"
#include "playlist/Track.h"

namespace wc {

inline constexpr int kMaxCdTracks = 99;

class Playlist {
 public:
  Playlist();
  ~Playlist();
  Playlist(const Playlist&) = delete;
  Playlist& operator=(const Playlist&) = delete;

  int32_t trackCount() const { return trackCount_; }
  bool empty() const { return head_.next == &head_; }
  // Whether a CD has room for one more track. Drops check this; the
  // playlist tools add tracks past it on purpose (a station's every song).
  bool hasRoom() const { return trackCount_ < kMaxCdTracks; }

  Track* first() { return head_.next == &head_ ? nullptr : head_.next; }
  const Track* first() const { return head_.next == &head_ ? nullptr : head_.next; }
  Track* last() { return head_.prev == &head_ ? nullptr : head_.prev; }
  // The track behind `track`, or null after the last one.
  static Track* after(Track* track) { return track->next && track->next->clip ? track->next : nullptr; }
  static const Track* after(const Track* track) { return track->next && track->next->clip ? track->next : nullptr; }
  // The sentinel: `track->next == end()` marks the last track, and
  // insertBefore(..., end()) appends.
  Track* end() { return &head_; }

  // The track at position `row` from 0, or null at or past the end.
  Track* trackAt(int row);
  // Number of tracks in front of `track`.
  int trackIndexOf(const Track* track) const;

  // Link a new track and count it; each returns the linked track.
  Track* insertBefore(std::unique_ptr<Track> track, Track* before);
  Track* insertAfter(std::unique_ptr<Track> track, Track* after);
  Track* append(std::unique_ptr<Track> track) { return insertBefore(std::move(track), &head_); }
  // Moves a linked track in front of / behind another one (or end()).
  void moveBefore(Track* track, Track* before);
  void moveAfter(Track* track, Track* after);

  // Told of a track just before removeTrack or freeAll frees it, so that
  // playback can stop before the audio it reads is gone.
  Signal<Track*> beforeFree;

  // Counts the edits of the playlist: every insertion, move and removal, and
  // every markEdited() for a change made inside a track (its intro or outro).
  // Whoever keeps the file compares it with the revision it last saved.
  uint64_t revision() const { return revision_; }
  void markEdited();
  // Told of every edit, after it was made.
  Signal<> edited;

  // Unlinks and frees `track` and its audio.
  void removeTrack(Track* track);
  // Frees every track.
  void freeAll();

  // Samples per channel of all loaded audio.
  int64_t playlistSamples() const;

  // The playlist as the file stores it, one record per track in order.
  std::vector<PlaylistRecord> records() const;
  // Appends a track for every record that names a clip of the catalogue,
  // with the record's intro and outro; `appended` hears each new track (to
  // load its audio and show it). Returns the number appended.
  int appendRecords(const Catalogue& catalogue, std::span<const PlaylistRecord> records,
                    const std::function<void(Track&)>& appended = {});

 private:
  static void link(Track* track, Track* prev, Track* next);
  static void unlink(Track* track);

  Track head_;
  int32_t trackCount_ = 0;
  uint64_t revision_ = 0;
};

// Whole seconds of `samples` at 24000 Hz, rounded up.
inline int64_t roundedSeconds(int64_t samples) { return (samples + 23999) / 24000; }

}  // namespace wc
