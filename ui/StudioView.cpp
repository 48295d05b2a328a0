#include "ui/StudioView.h"

#include "playlist/Voice.h"
#include "gamedata/GameData.h"
#include "ui/CommandIds.h"

namespace wc {
namespace {

StudioView* theView = nullptr;

int firstListedStation(const Catalogue& catalogue) {
  for (int i = 0; i < kStationCount; ++i)
    if (catalogue.stations[i].listed) return i;
  return 0;  // nothing listed: show station 0 rather than nothing at all
}

}  // namespace

StudioView::StudioView(GameData& gameData, ViewHost& host, ViewDialogs& dialogs, FileSystem& fs)
    : gameData(gameData), host(host), dialogs(dialogs), fs(fs) {
  currentStation = firstListedStation(gameData.catalogue());
  // Playback must stop before the audio it reads is freed.
  playlist.beforeFree = [this](Track* track) {
    if (isPlaying(track)) playTrack(nullptr, 0);
  };
  theView = this;
}

StudioView::~StudioView() {
  if (theView == this) theView = nullptr;
  playlist.beforeFree = nullptr;
  // The Voice may hold a playlist track; let go of it before the tracks go.
  if (voice) voice->play(nullptr, 0);
}

StudioView* StudioView::instance() { return theView; }

const Catalogue& StudioView::catalogue() const { return gameData.catalogue(); }

bool StudioView::somethingPlays() const { return playingTrack || (voice && voice->track()); }

bool StudioView::isPlaying(const Track* track) const {
  return track && (track == playingTrack || (voice && voice->track() == track));
}

void StudioView::loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode) {
  wc::loadTrackAudio(gameData, track, withIntroOutro, mode, this);
}

void StudioView::clearPlaylist() {
  if (playlist.trackCount != 0 || !playlist.empty()) {
    playTrack(nullptr, 0);
    playlist.freeAll();
    playlistScroll = 0;
    host.invalidate();
  }
  playlistPath.clear();
}

void StudioView::removeTrack(Track* track) {
  playlist.removeTrack(track);  // the beforeFree hook stops it if it plays
}

bool StudioView::onCommand(int id) {
  switch (id) {
    case cmd::FileNew: onFileNew(); return true;
    case cmd::FileOpen: onFileOpen(); return true;
    case cmd::FileSave: if (playlist.trackCount != 0) onFileSave(); return true;
    case cmd::FileSaveAs: if (playlist.trackCount != 0) onFileSaveAs(); return true;
    case cmd::ExportCd: if (playlist.trackCount != 0) exportPlaylist(true); return true;
    case cmd::ExportWave: if (playlist.trackCount != 0) exportPlaylist(false); return true;
    case cmd::ExportTracks: onExportTracks(); return true;
    case cmd::CopyAudioFiles: onCopyAudioFiles(); return true;
    case cmd::ImportAnnotations: onImportAnnotations(); return true;
    case cmd::ExportAnnotations: onExportAnnotations(); return true;
    case cmd::Play: onPlay(); return true;
    case cmd::Stop: onStop(); return true;
    case cmd::Previous: onPrevious(); return true;
    case cmd::Next: onNext(); return true;
    case cmd::AddAllSongs: onAddAllSongs(); return true;
    case cmd::RandomizeIntros: onRandomizeIntros(); return true;
    case cmd::Pad: onPad(); return true;
    case cmd::CreateMusicMix: onCreateMusicMix(); return true;
    case cmd::CreateRadioMix: onCreateRadioMix(); return true;
    case cmd::ShowAllClips: onShowAllClips(); return true;
    case cmd::SaveCatalogue: if (catalogueModified) onSaveCatalogue(); return true;
    default: return false;
  }
}

std::optional<CommandState> StudioView::commandState(int id) const {
  const bool hasTracks = playlist.trackCount != 0;
  switch (id) {
    case cmd::FileNew:
    case cmd::FileOpen: return CommandState{true, false};
    case cmd::FileSave:
    case cmd::FileSaveAs:
    case cmd::ExportCd:
    case cmd::ExportWave:
    case cmd::ExportTracks: return CommandState{hasTracks, false};
    case cmd::CopyAudioFiles: return CommandState{!somethingPlays(), false};
    case cmd::ImportAnnotations:
    case cmd::ExportAnnotations: return CommandState{true, false};
    case cmd::Play: return CommandState{canPlay(), false};
    case cmd::Stop: return CommandState{canStop(), false};
    case cmd::Previous: return CommandState{canPrevious(), false};
    case cmd::Next: return CommandState{canNext(), false};
    case cmd::AddAllSongs:
    case cmd::CreateMusicMix:
    case cmd::CreateRadioMix: return CommandState{canUseSongTools(), false};
    case cmd::RandomizeIntros:
    case cmd::Pad: return CommandState{canUsePlaylistTools(), false};
    case cmd::ShowAllClips: return CommandState{true, showAllClips};
    case cmd::SaveCatalogue: return CommandState{catalogueModified, false};
    default: return std::nullopt;
  }
}

void StudioView::onSaveCatalogue() {
  if (gameData.saveCatalogue()) {
    catalogueModified = false;
  } else {
    dialogs.messageBox("The clip annotations could not be saved to " + std::string(kCatalogueFileName) +
                           ".\nThe previous file was left unchanged.",
                       "Error");
  }
}

}  // namespace wc
