// The Tools menu: Add all Songs, Randomize Intros, Pad, Create Music Mix and
// Create Radio Mix. Each draws its random choices from the process generator
// in a fixed order, so a seeded run is reproducible.
#include "base/CRandom.h"
#include "playlist/ClipPool.h"
#include "ui/StudioView.h"

namespace wc {
namespace {

bool hasSongTrack(const Playlist& playlist) {
  for (const Track* t = playlist.head.next; t != &playlist.head && t->clip; t = t->next)
    if (t->clip->clipClass == ClipClass::Song) return true;
  return false;
}

// The ageing pools that Pad and Create Radio Mix draw chatter and
// commercials from, built in this order (each build draws nothing).
struct ChatterPools {
  ChatterPools(const Catalogue& catalogue, int station, CRandom& random)
      : commercials(buildPool(catalogue, kAdvertsStation, PoolMask::Commercials, true, random)),
        five(buildPool(catalogue, station, PoolMask::Five, true, random)),
        twoSeven(buildPool(catalogue, station, PoolMask::TwoSeven, true, random)),
        six(buildPool(catalogue, station, PoolMask::Six, true, random)) {}
  ClipPool commercials, five, twoSeven, six;
};

// The chatter decision after a song: a coin toss after two songs without
// class 5 chatter, always after three, and always after the last song.
bool decideChatter(int run, int songsLeft) {
  bool chatter = run == 2 ? (processRandom().next() % 127 < 64) : run == 3;
  if (!chatter && songsLeft == 0) chatter = true;
  return chatter;
}

}  // namespace

bool StudioView::canUseSongTools() const {
  if (somethingPlays()) return false;
  const Station& s = station();
  const int count = validClipCount(s);
  for (int k = 0; k < count; ++k)
    if (s.clips[k].clipClass == ClipClass::Song) return true;
  return false;
}

bool StudioView::canUsePlaylistTools() const { return !somethingPlays() && hasSongTrack(playlist); }

Track* StudioView::insertFromPool(int stationIndex, ClipPool& pool, Track* after, bool randomizeIntroOutro) {
  const int clipIndex = pool.pick();
  if (clipIndex < 0) return nullptr;
  Track* track = createTrack(catalogue(), stationIndex, clipIndex);
  if (!track) return nullptr;
  if (randomizeIntroOutro) {
    const int32_t intros = clampCount(track->clip->intros);
    const int32_t outros = clampCount(track->clip->outros);
    if (intros > 0) track->intro = processRandom().next() % intros;
    if (outros > 0) track->outro = processRandom().next() % outros;
  }
  ++playlist.trackCount;
  playlist.insertAfter(track, after);
  const int index = playlist.trackIndexOf(track);
  const int rows = playlistRowsPerPage();
  if (index > playlistScroll + rows) playlistScroll = index - rows;
  host.repaintAll();
  loadTrackAudio(*track, true, LoadIndicatorMode::Silent);
  return track;
}

void StudioView::onAddAllSongs() {
  if (somethingPlays()) return;
  ClipPool songs = buildPool(catalogue(), currentStation, PoolMask::Songs, false, processRandom());
  const int savedScroll = playlistScroll;
  busy = true;
  while (insertFromPool(currentStation, songs, playlist.head.prev, false)) {
  }
  busy = false;
  playlistScroll = savedScroll;
  host.invalidate();
}

void StudioView::onCreateMusicMix() {
  if (somethingPlays()) return;
  clearPlaylist();
  onAddAllSongs();
}

void StudioView::onRandomizeIntros() {
  if (somethingPlays()) return;
  busy = true;
  for (Track* t = playlist.head.next; t != &playlist.head && t->clip; t = t->next) {
    const int32_t n = clampCount(t->clip->intros);
    const int32_t m = clampCount(t->clip->outros);
    if (n <= 1 && m <= 1) continue;
    bool introChanged = false;
    if (n > 1) {
      const int r = processRandom().next() % n;
      if (r != t->intro) {
        t->intro = r;
        t->introAudio.reset();
        loadTrackAudio(*t, true, LoadIndicatorMode::Silent);
        introChanged = true;
      }
    }
    if (m > 1) {
      const int r = processRandom().next() % m;
      if (r != t->outro) {
        t->outro = r;
        t->outroAudio.reset();
        loadTrackAudio(*t, true, LoadIndicatorMode::Silent);
        host.repaintAll();
        continue;
      }
    }
    if (introChanged) host.repaintAll();
  }
  busy = false;
  host.invalidate();
}

void StudioView::onPad() {
  if (somethingPlays()) return;
  ChatterPools pools(catalogue(), currentStation, processRandom());
  auto& [commercials, five, twoSeven, six] = pools;

  const int savedScroll = playlistScroll;
  busy = true;
  playlistScroll = 0;
  Track* head = &playlist.head;
  if (!insertFromPool(currentStation, six, head, false)) insertFromPool(currentStation, twoSeven, head, false);
  insertFromPool(currentStation, five, head, false);

  int songsLeft = 0;
  for (Track* t = head->next; t != head && t->clip; t = t->next)
    if (t->clip->clipClass == ClipClass::Song) ++songsLeft;

  int run = 0;
  for (Track* p = head->next; p != head && p->clip; p = p->next) {
    if (p->clip->clipClass != ClipClass::Song) continue;
    // Without a commercial the chatter goes directly behind the song.
    Track* last = insertFromPool(kAdvertsStation, commercials, p, false);
    if (!last) last = p;
    --songsLeft;
    if (decideChatter(run, songsLeft)) {
      if (Track* c = insertFromPool(currentStation, five, p, false)) last = c;
      run = 0;
      if (songsLeft == 0) continue;
      insertFromPool(currentStation, twoSeven, last, false);
    } else {
      insertFromPool(currentStation, twoSeven, last, false);
      ++run;
    }
  }
  busy = false;
  playlistScroll = savedScroll;
  host.invalidate();
}

void StudioView::onCreateRadioMix() {
  if (somethingPlays()) return;
  clearPlaylist();
  ChatterPools pools(catalogue(), currentStation, processRandom());
  auto& [commercials, five, twoSeven, six] = pools;
  ClipPool songs = buildPool(catalogue(), currentStation, PoolMask::Songs, false, processRandom());

  busy = true;
  auto append = [&](ClipPool& pool, int stationIndex, bool randomize = false) {
    return insertFromPool(stationIndex, pool, playlist.head.prev, randomize);
  };
  append(five, currentStation);
  if (!append(six, currentStation)) append(twoSeven, currentStation);

  int songsLeft = songs.capacity();
  int run = 0;
  while (songsLeft > 0) {
    append(songs, currentStation, true);
    --songsLeft;
    append(commercials, kAdvertsStation);
    if (decideChatter(run, songsLeft)) {
      append(five, currentStation);
      run = 0;
      if (songsLeft == 0) break;
      append(twoSeven, currentStation);
    } else {
      append(twoSeven, currentStation);
      ++run;
    }
  }
  busy = false;
  playlistScroll = 0;
  host.invalidate();
}

}  // namespace wc
