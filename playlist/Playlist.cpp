#include "playlist/Playlist.h"

namespace wc {

Playlist::Playlist() { head_.next = head_.prev = &head_; }

Playlist::~Playlist() {
  // Nobody is told: whoever listened has gone or is going with the playlist.
  while (head_.next != &head_) {
    Track* t = head_.next;
    unlink(t);
    delete t;
  }
}

Track* Playlist::trackAt(int row) {
  Track* t = head_.next;
  while (row != 0 && t->clip) {
    t = t->next;
    --row;
  }
  return t == &head_ ? nullptr : t;
}

int Playlist::trackIndexOf(const Track* track) const {
  int index = 0;
  for (const Track* t = track->prev; t && t != &head_; t = t->prev) ++index;
  return index;
}

void Playlist::link(Track* track, Track* prev, Track* next) {
  track->prev = prev;
  track->next = next;
  prev->next = track;
  next->prev = track;
}

void Playlist::unlink(Track* track) {
  if (track->next) track->next->prev = track->prev;
  if (track->prev) track->prev->next = track->next;
  track->next = track->prev = nullptr;
}

Track* Playlist::insertBefore(std::unique_ptr<Track> track, Track* before) {
  Track* raw = track.release();  // owned by the ring from here on
  link(raw, before->prev, before);
  ++trackCount_;
  markEdited();
  return raw;
}

Track* Playlist::insertAfter(std::unique_ptr<Track> track, Track* after) {
  Track* raw = track.release();
  link(raw, after, after->next);
  ++trackCount_;
  markEdited();
  return raw;
}

void Playlist::moveBefore(Track* track, Track* before) {
  if (track == before || track->next == before) return;  // already there: no edit
  unlink(track);
  link(track, before->prev, before);
  markEdited();
}

void Playlist::moveAfter(Track* track, Track* after) {
  if (track == after || track->prev == after) return;
  unlink(track);
  link(track, after, after->next);
  markEdited();
}

void Playlist::removeTrack(Track* track) {
  beforeFree(track);
  unlink(track);
  delete track;
  --trackCount_;
  markEdited();
}

void Playlist::freeAll() {
  const bool hadTracks = head_.next != &head_;
  while (head_.next != &head_) {
    Track* t = head_.next;
    beforeFree(t);
    unlink(t);
    delete t;
  }
  trackCount_ = 0;
  if (hadTracks) markEdited();
}

void Playlist::markEdited() {
  ++revision_;
  edited();
}

int64_t Playlist::playlistSamples() const {
  int64_t total = 0;
  for (const Track* t = first(); t; t = after(t)) total += trackSamples(*t);
  return total;
}

std::vector<PlaylistRecord> Playlist::records() const {
  std::vector<PlaylistRecord> result;
  for (const Track* t = first(); t; t = after(t)) result.push_back({t->station, t->clipIndex, t->intro, t->outro});
  return result;
}

int Playlist::appendRecords(const Catalogue& catalogue, std::span<const PlaylistRecord> records,
                            const std::function<void(Track&)>& appended) {
  int count = 0;
  for (const PlaylistRecord& record : records) {
    auto track = createTrack(catalogue, record.station, record.clipIndex);
    if (!track) continue;
    track->intro = record.intro;
    track->outro = record.outro;
    Track& linked = *append(std::move(track));
    ++count;
    if (appended) appended(linked);
  }
  return count;
}

}  // namespace wc
