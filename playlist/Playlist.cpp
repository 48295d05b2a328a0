#include "playlist/Playlist.h"

namespace wc {

Playlist::Playlist() { head.next = head.prev = &head; }

Playlist::~Playlist() {
  beforeFree = nullptr;
  freeAll();
}

Track* Playlist::trackAt(int row) {
  Track* t = head.next;
  while (row != 0 && t->clip) {
    t = t->next;
    --row;
  }
  return t == &head ? nullptr : t;
}

int Playlist::trackIndexOf(const Track* track) const {
  int index = 0;
  for (const Track* t = track->prev; t && t != &head; t = t->prev) ++index;
  return index;
}

void Playlist::insertBefore(Track* track, Track* before) {
  track->next = before;
  track->prev = before->prev;
  before->prev->next = track;
  before->prev = track;
}

void Playlist::insertAfter(Track* track, Track* after) {
  track->prev = after;
  track->next = after->next;
  after->next->prev = track;
  after->next = track;
}

void Playlist::unlink(Track* track) {
  if (track->next) track->next->prev = track->prev;
  if (track->prev) track->prev->next = track->next;
  track->next = track->prev = nullptr;
}

void Playlist::removeTrack(Track* track) {
  if (beforeFree) beforeFree(track);
  unlink(track);
  delete track;
  --trackCount;
}

void Playlist::freeAll() {
  while (head.next != &head) {
    Track* t = head.next;
    if (beforeFree) beforeFree(t);
    unlink(t);
    delete t;
  }
  trackCount = 0;
}

int64_t Playlist::playlistSamples() const {
  int64_t total = 0;
  for (const Track* t = head.next; t != &head && t->clip; t = t->next) total += trackSamples(*t);
  return total;
}

}  // namespace wc
