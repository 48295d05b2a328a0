// The Tools menu: the playlist tools run on the current station, with the
// busy mark shown and the playlist following the inserted tracks.
#include "audio/SoundOutput.h"
#include "playlist/PlaylistTools.h"
#include "session/StudioSession.h"

namespace wc {

// Follows a tool's work: each inserted track is scrolled into view and shown
// at once, each changed one repainted.
class StudioSession::ToolDisplay final : public ToolObserver {
 public:
  explicit ToolDisplay(StudioSession& session) : session_(session) {}

  void trackInserted(Track& track) override {
    const int index = session_.playlist_.trackIndexOf(&track);
    session_.notify([index](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Reveal, index); });
    session_.repaintAll();
  }
  void trackChanged(Track&) override { session_.repaintAll(); }

 private:
  StudioSession& session_;
};

bool StudioSession::canUseSongTools() const { return !transport_.somethingPlays() && stationHasSong(currentStation()); }

bool StudioSession::canUsePlaylistTools() const { return !transport_.somethingPlays() && playlistHasSong(playlist_); }

void StudioSession::runTool(void (*tool)(const ToolContext&), bool keepScroll, const char* name) {
  PlaylistHistory::Group step(history_, name);
  if (output_) output_->toolsAboutToDraw();
  ToolDisplay display(*this);
  const ToolContext context{catalogue(),
                            station_,
                            playlist_,
                            toolRandom_,
                            [this](Track& track) { loadTrackAudio(track, true, LoadIndicatorMode::Silent); },
                            display};
  {
    BusyScope busy(*this, keepScroll);
    tool(context);
  }
  reportPlaylistStatus();  // the edits made while busy were not reported one by one
}

void StudioSession::onAddAllSongs() {
  if (transport_.somethingPlays()) return;
  runTool(&addAllSongs, true, "Add all Songs");
}

// Both mixes replace the playlist, as New does: unsaved changes are asked
// about first.
void StudioSession::onCreateMusicMix() {
  if (transport_.somethingPlays() || !maySupersedePlaylist()) return;
  PlaylistHistory::Group step(history_, "Create Music Mix");
  clearPlaylist();
  onAddAllSongs();
}

void StudioSession::onRandomizeIntros() {
  if (transport_.somethingPlays()) return;
  runTool(&randomizeIntros, false, "Randomize Intros");
}

void StudioSession::onPad() {
  if (transport_.somethingPlays()) return;
  // The inserted tracks are followed from the top, then the list returns.
  notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Keep, 0); });
  notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Top, 0); });
  runTool(&pad, false, "Pad");
  notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Return, 0); });
}

void StudioSession::onCreateRadioMix() {
  if (transport_.somethingPlays() || !maySupersedePlaylist()) return;
  PlaylistHistory::Group step(history_, "Create Radio Mix");
  clearPlaylist();
  runTool(&appendRadioMix, false, "Create Radio Mix");
  notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Top, 0); });
}

}  // namespace wc
