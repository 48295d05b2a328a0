// Undo and Redo: the playlist given back a state the history kept.
#include "session/StudioSession.h"

namespace wc {

void StudioSession::stepHistory(bool forward) {
  const auto target = forward ? history_.redo() : history_.undo();
  if (!target) return;
  {
    PlaylistHistory::Restoring restoring(history_);
    BusyScope busy(*this, true);
    restorePlaylist(target->records);
  }
  playlistPath_ = target->path;
  // Back at what the file holds, nothing is unsaved; any other state differs
  // from the saved one, and restoring it moved the revision past it.
  if (target->saved) savedRevision_ = playlist_.revision();
  reportPlaylistStatus();
  notify([](SessionObserver& o) { o.commandStatesChanged(); });
}

void StudioSession::restorePlaylist(const std::vector<PlaylistRecord>& records) {
  std::vector<Track*> existing;
  for (Track* t = playlist_.first(); t; t = Playlist::after(t)) existing.push_back(t);
  std::vector<bool> kept(existing.size(), false);
  std::vector<Track*> order(records.size(), nullptr);
  for (size_t i = 0; i < records.size(); ++i) {
    const PlaylistRecord& r = records[i];
    for (size_t j = 0; j < existing.size() && !order[i]; ++j) {
      const Track& t = *existing[j];
      if (kept[j] || t.station != r.station || t.clipIndex != r.clipIndex || t.intro != r.intro || t.outro != r.outro)
        continue;
      kept[j] = true;
      order[i] = existing[j];
    }
  }
  for (size_t j = 0; j < existing.size(); ++j)
    if (!kept[j]) playlist_.removeTrack(existing[j]);  // stopped first if it plays
  // Each track in turn to the end: they end up in the records' order.
  for (size_t i = 0; i < records.size(); ++i) {
    if (order[i]) {
      playlist_.moveBefore(order[i], playlist_.end());
      continue;
    }
    auto track = createTrack(catalogue(), records[i].station, records[i].clipIndex);
    if (!track) continue;  // the catalogue no longer has the clip
    // Annotations imported since may have taken the choice away.
    const FollowOns counts = catalogue().stations[records[i].station].followOns(records[i].clipIndex);
    if (records[i].intro < counts.intros) track->intro = records[i].intro;
    if (records[i].outro < counts.outros) track->outro = records[i].outro;
    Track* linked = playlist_.append(std::move(track));
    loadTrackAudio(*linked, true, LoadIndicatorMode::Silent);
  }
}

}  // namespace wc
