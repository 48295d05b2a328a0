#include "playlist/PlaylistTools.h"

#include "playlist/ClipPool.h"

namespace wc {
namespace {

// The ageing pools that Pad and Radio Mix draw chatter and commercials from,
// built in this order (each build draws nothing).
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
bool decideChatter(CRandom& random, int run, int songsLeft) {
  bool chatter = run == 2 ? (random.next() % 127 < 64) : run == 3;
  if (!chatter && songsLeft == 0) chatter = true;
  return chatter;
}

// Picks a clip from `pool`, makes a track of it (with a random intro and
// outro if asked) and links it behind `after`; null when the pool yields
// nothing.
Track* insertFromPool(const ToolContext& c, int station, ClipPool& pool, Track* after, bool randomizeIntroOutro) {
  const int clipIndex = pool.pick();
  if (clipIndex < 0) return nullptr;
  auto created = createTrack(c.catalogue, station, clipIndex);
  if (!created) return nullptr;
  if (randomizeIntroOutro) {
    const FollowOns f = c.catalogue.stations[station].followOns(clipIndex);
    if (f.intros > 0) created->intro = c.random.next() % f.intros;
    if (f.outros > 0) created->outro = c.random.next() % f.outros;
  }
  Track* track = c.playlist.insertAfter(std::move(created), after);
  c.observer.trackInserted(*track);
  if (c.loadAudio) c.loadAudio(*track);
  return track;
}

// Draws a new choice among `count` for `choice`; true when it changed, with
// the part's audio reloaded.
bool redraw(const ToolContext& c, Track& track, int32_t count, int32_t& choice, std::unique_ptr<ClipAudio>& audio) {
  if (count <= 1) return false;
  const int r = c.random.next() % count;
  if (r == choice) return false;
  choice = r;
  audio.reset();
  if (c.loadAudio) c.loadAudio(track);
  return true;
}

}  // namespace

bool stationHasSong(const Station& station) { return station.hasClassAnywhere(ClipClass::Song); }

bool playlistHasSong(const Playlist& playlist) {
  for (const Track* t = playlist.first(); t; t = Playlist::after(t))
    if (t->clip->isSong()) return true;
  return false;
}

void addAllSongs(const ToolContext& c) {
  ClipPool songs = buildPool(c.catalogue, c.station, PoolMask::Songs, false, c.random);
  while (insertFromPool(c, c.station, songs, c.playlist.end()->prev, false)) {
  }
}

void randomizeIntros(const ToolContext& c) {
  for (Track* t = c.playlist.first(); t; t = Playlist::after(t)) {
    // Both draws come in this order for every song with a choice, changed or not.
    const FollowOns f = c.catalogue.stations[t->station].followOns(t->clipIndex);
    const bool introChanged = redraw(c, *t, f.intros, t->intro, t->introAudio);
    const bool outroChanged = redraw(c, *t, f.outros, t->outro, t->outroAudio);
    if (introChanged || outroChanged) {
      c.playlist.markEdited();
      c.observer.trackChanged(*t);
    }
  }
}

void pad(const ToolContext& c) {
  ChatterPools pools(c.catalogue, c.station, c.random);
  auto& [commercials, five, twoSeven, six] = pools;

  Track* head = c.playlist.end();
  if (!insertFromPool(c, c.station, six, head, false)) insertFromPool(c, c.station, twoSeven, head, false);
  insertFromPool(c, c.station, five, head, false);

  int songsLeft = 0;
  for (Track* t = c.playlist.first(); t; t = Playlist::after(t))
    if (t->clip->isSong()) ++songsLeft;

  int run = 0;
  for (Track* p = c.playlist.first(); p; p = Playlist::after(p)) {
    if (!p->clip->isSong()) continue;
    // Without a commercial the chatter goes directly behind the song.
    Track* last = insertFromPool(c, kAdvertsStation, commercials, p, false);
    if (!last) last = p;
    --songsLeft;
    if (decideChatter(c.random, run, songsLeft)) {
      if (Track* chatter = insertFromPool(c, c.station, five, p, false)) last = chatter;
      run = 0;
      if (songsLeft == 0) continue;
      insertFromPool(c, c.station, twoSeven, last, false);
    } else {
      insertFromPool(c, c.station, twoSeven, last, false);
      ++run;
    }
  }
}

void appendRadioMix(const ToolContext& c) {
  ChatterPools pools(c.catalogue, c.station, c.random);
  auto& [commercials, five, twoSeven, six] = pools;
  ClipPool songs = buildPool(c.catalogue, c.station, PoolMask::Songs, false, c.random);

  auto append = [&](ClipPool& pool, int station, bool randomize = false) {
    return insertFromPool(c, station, pool, c.playlist.end()->prev, randomize);
  };
  append(five, c.station);
  if (!append(six, c.station)) append(twoSeven, c.station);

  int songsLeft = songs.capacity();
  int run = 0;
  while (songsLeft > 0) {
    append(songs, c.station, true);
    --songsLeft;
    append(commercials, kAdvertsStation);
    if (decideChatter(c.random, run, songsLeft)) {
      append(five, c.station);
      run = 0;
      if (songsLeft == 0) break;
      append(twoSeven, c.station);
    } else {
      append(twoSeven, c.station);
      ++run;
    }
  }
}

}  // namespace wc
