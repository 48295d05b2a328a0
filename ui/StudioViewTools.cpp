// The Tools menu: the playlist tools run on the current station, with the
// busy mark shown and the playlist following the inserted tracks.
#include "audio/SoundOutput.h"
#include "playlist/PlaylistTools.h"
#include "ui/StudioView.h"

namespace wc {

// Follows a tool's work: each inserted track is scrolled into view and shown
// at once, each changed one repainted.
class StudioView::ToolDisplay final : public ToolObserver {
 public:
  explicit ToolDisplay(StudioView& view) : view_(view) {}

  void trackInserted(Track& track) override {
    const int index = view_.playlist_.trackIndexOf(&track);
    const int rows = view_.playlistRowsPerPage();
    if (index > view_.playlistScroll_ + rows) view_.playlistScroll_ = index - rows;
    view_.host_.repaintAll();
  }
  void trackChanged(Track&) override { view_.host_.repaintAll(); }

 private:
  StudioView& view_;
};

bool StudioView::canUseSongTools() const { return !transport_.somethingPlays() && stationHasSong(station()); }

bool StudioView::canUsePlaylistTools() const { return !transport_.somethingPlays() && playlistHasSong(playlist_); }

void StudioView::runTool(void (*tool)(const ToolContext&), bool keepScroll) {
  if (output_) output_->toolsAboutToDraw();
  ToolDisplay display(*this);
  const ToolContext context{catalogue(),
                            currentStation_,
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

void StudioView::onAddAllSongs() {
  if (transport_.somethingPlays()) return;
  runTool(&addAllSongs, true);
}

// Both mixes replace the playlist, as New does: unsaved changes are asked
// about first.
void StudioView::onCreateMusicMix() {
  if (transport_.somethingPlays() || !maySupersedePlaylist()) return;
  clearPlaylist();
  onAddAllSongs();
}

void StudioView::onRandomizeIntros() {
  if (transport_.somethingPlays()) return;
  runTool(&randomizeIntros, false);
}

void StudioView::onPad() {
  if (transport_.somethingPlays()) return;
  // The inserted tracks are followed from the top, then the list returns.
  const int savedScroll = playlistScroll_;
  playlistScroll_ = 0;
  runTool(&pad, false);
  playlistScroll_ = savedScroll;
}

void StudioView::onCreateRadioMix() {
  if (transport_.somethingPlays() || !maySupersedePlaylist()) return;
  clearPlaylist();
  runTool(&appendRadioMix, false);
  playlistScroll_ = 0;
}

}  // namespace wc
