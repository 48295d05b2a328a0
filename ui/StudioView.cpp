#include "ui/StudioView.h"

#include "gamedata/GameData.h"
#include "ui/CommandIds.h"

namespace wc {
namespace {

int firstListedStation(const Catalogue& catalogue) {
  for (int i = 0; i < kStationCount; ++i)
    if (catalogue.stations[i].listed) return i;
  return 0;  // nothing listed: show station 0 rather than nothing at all
}

}  // namespace

StudioView::StudioView(GameData& gameData, ViewHost& host, ViewDialogs& dialogs, CRandom& toolRandom,
                       SoundOutput* output, FileSystem& fs)
    : gameData_(gameData),
      host_(host),
      dialogs_(dialogs),
      toolRandom_(toolRandom),
      output_(output),
      fs_(fs),
      transport_(playlist_, output) {
  currentStation_ = firstListedStation(gameData_.catalogue());
  // Playback must stop before the audio it reads is freed.
  playlist_.beforeFree = [this](Track* track) {
    if (transport_.isPlaying(track)) transport_.stop();
  };
  transport_.changed = [this](PlaybackChange change) { onPlaybackChange(change); };
  // Loading a file or running a tool reports once, when it ends. The track
  // count is what Play, Save and the exports are enabled by.
  playlist_.edited = [this] {
    if (marks_.busy) return;
    reportPlaylistStatus();
    host_.commandStatesChanged();
  };
}

StudioView::~StudioView() {
  playlist_.beforeFree = nullptr;
  playlist_.edited = nullptr;
  transport_.changed = nullptr;
}

const Catalogue& StudioView::catalogue() const { return gameData_.catalogue(); }

const Station& StudioView::station() const { return catalogue().stations[currentStation_]; }

void StudioView::loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode) {
  wc::loadTrackAudio(gameData_, track, withIntroOutro, mode, this);
}

void StudioView::onPlaybackChange(PlaybackChange change) {
  // During an export every report redraws the transport at once: the event
  // loop does not run until the export ends.
  if (marks_.rendering) {
    host_.repaintTransport(false);
    return;
  }
  switch (change) {
    case PlaybackChange::Track:
      host_.invalidate();  // highlights move in both panes
      host_.commandStatesChanged();
      break;
    case PlaybackChange::Second: host_.repaintTransport(false); break;
    case PlaybackChange::None: break;
  }
}

void StudioView::clearPlaylist() {
  // Forgotten first, so that freeing the tracks reports no change mark.
  playlistPath_.clear();
  if (playlist_.trackCount() != 0 || !playlist_.empty()) {
    transport_.stop();
    playlist_.freeAll();
    playlistScroll_ = 0;
    host_.invalidate();
  }
  markPlaylistSaved();
  host_.commandStatesChanged();
}

void StudioView::removeTrack(Track* track) {
  playlist_.removeTrack(track);  // the beforeFree hook stops it if it plays
}

bool StudioView::onCommand(int id) {
  const bool hasTracks = playlist_.trackCount() != 0;
  switch (id) {
    case cmd::FileNew: onFileNew(); return true;
    case cmd::FileOpen: onFileOpen(); return true;
    case cmd::FileSave:
      if (hasTracks) onFileSave();
      return true;
    case cmd::FileSaveAs:
      if (hasTracks) onFileSaveAs();
      return true;
    case cmd::ExportCd:
      if (hasTracks) exportPlaylist(true);
      return true;
    case cmd::ExportWave:
      if (hasTracks) exportPlaylist(false);
      return true;
    case cmd::ExportTracks: onExportTracks(); return true;
    case cmd::CopyAudioFiles: onCopyAudioFiles(); return true;
    case cmd::ImportAnnotations: onImportAnnotations(); return true;
    case cmd::ExportAnnotations: onExportAnnotations(); return true;
    case cmd::Play: transport_.playFromStart(); return true;
    case cmd::Stop: transport_.stop(); return true;
    case cmd::Previous: transport_.previous(); return true;
    case cmd::Next: transport_.next(); return true;
    case cmd::AddAllSongs: onAddAllSongs(); return true;
    case cmd::RandomizeIntros: onRandomizeIntros(); return true;
    case cmd::Pad: onPad(); return true;
    case cmd::CreateMusicMix: onCreateMusicMix(); return true;
    case cmd::CreateRadioMix: onCreateRadioMix(); return true;
    case cmd::DetectSongs: onDetectSongs(); return true;
    case cmd::ShowAllClips: onShowAllClips(); return true;
    case cmd::SaveCatalogue:
      if (catalogueModified_) onSaveCatalogue();
      return true;
    default: return false;
  }
}

std::optional<CommandState> StudioView::commandState(int id) const {
  const bool hasTracks = playlist_.trackCount() != 0;
  switch (id) {
    case cmd::FileNew:
    case cmd::FileOpen: return CommandState{true, false};
    case cmd::FileSave:
    case cmd::FileSaveAs:
    case cmd::ExportCd:
    case cmd::ExportWave:
    case cmd::ExportTracks: return CommandState{hasTracks, false};
    case cmd::CopyAudioFiles: return CommandState{!transport_.somethingPlays(), false};
    case cmd::ImportAnnotations:
    case cmd::ExportAnnotations: return CommandState{true, false};
    case cmd::Play: return CommandState{transport_.canPlay(), false};
    case cmd::Stop: return CommandState{transport_.canStop(), false};
    case cmd::Previous: return CommandState{transport_.canPrevious(), false};
    case cmd::Next: return CommandState{transport_.canNext(), false};
    case cmd::AddAllSongs:
    case cmd::CreateMusicMix:
    case cmd::CreateRadioMix: return CommandState{canUseSongTools(), false};
    case cmd::RandomizeIntros:
    case cmd::Pad: return CommandState{canUsePlaylistTools(), false};
    case cmd::DetectSongs: return CommandState{true, false};
    case cmd::ShowAllClips: return CommandState{true, showAllClips_};
    case cmd::SaveCatalogue: return CommandState{catalogueModified_, false};
    default: return std::nullopt;
  }
}

void StudioView::onSaveCatalogue() {
  if (!mayReplaceCatalogueFile()) return;
  if (gameData_.saveCatalogue()) {
    catalogueModified_ = false;
    if (const auto& backup = gameData_.catalogueBackup())
      dialogs_.messageBox("The clip annotations were saved. The previous " + std::string(kCatalogueFileName) +
                              " was kept as " + backup->filename().string() + ".",
                          "Wavecrate");
  } else {
    dialogs_.messageBox("The clip annotations could not be saved to " + std::string(kCatalogueFileName) +
                            ".\nThe previous file was left unchanged.",
                        "Error");
  }
}

bool StudioView::mayReplaceCatalogueFile() {
  if (!gameData_.catalogueFileChanged()) return true;
  const std::string text = std::string(kCatalogueFileName) +
                           " was changed by another program since Wavecrate read it.\n\n"
                           "Keep mine: save these annotations over it (the other version is kept as a backup "
                           "beside it).\nKeep theirs: leave the file as it is; the changes made here are not saved.";
  switch (dialogs_.askChoice(text, "Wavecrate", "Keep mine", "Keep theirs")) {
    case ViewDialogs::Answer::Yes: return true;
    case ViewDialogs::Answer::No: catalogueModified_ = false; return false;
    case ViewDialogs::Answer::Cancel: return false;
  }
  return false;
}

}  // namespace wc
