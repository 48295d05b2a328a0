#include "session/StudioSession.h"

#include <algorithm>

#include "gamedata/GameData.h"
#include "playlist/Voice.h"

namespace wc {
namespace {

int firstListedStation(const Catalogue& catalogue) {
  for (int i = 0; i < kStationCount; ++i)
    if (catalogue.stations[i].listed) return i;
  return 0;  // nothing listed: show station 0 rather than nothing at all
}

// Cycles a choice among `count` alternatives by `direction` (-1 or +1).
int32_t cycle(int32_t current, int32_t count, int direction) {
  return direction < 0 ? (count + current - 1) % count : (current + 1) % count;
}

}  // namespace

StudioSession::StudioSession(GameData& gameData, SessionPrompts& prompts, CRandom& toolRandom, SoundOutput* output,
                             FileSystem& fs)
    : gameData_(gameData),
      prompts_(prompts),
      toolRandom_(toolRandom),
      output_(output),
      fs_(fs),
      transport_(playlist_, output),
      history_(playlist_, [this] {
        return DocumentMark{playlistPath_, !playlistModified()};
      }) {
  station_ = firstListedStation(gameData_.catalogue());
  playback_ = transport_.changed.connect([this](PlaybackChange change) { onPlaybackChange(change); });
  // Loading a file or running a tool reports once, when it ends. The track
  // count is what Play, Save and the exports are enabled by.
  edits_ = playlist_.edited.connect([this] {
    if (marks_.busy) return;
    reportPlaylistStatus();
    notify([](SessionObserver& o) { o.commandStatesChanged(); });
  });
}

StudioSession::~StudioSession() = default;

void StudioSession::addObserver(SessionObserver& observer) { observers_.push_back(&observer); }

void StudioSession::removeObserver(SessionObserver& observer) { std::erase(observers_, &observer); }

const Catalogue& StudioSession::catalogue() const { return gameData_.catalogue(); }

const Station& StudioSession::currentStation() const { return catalogue().stations[station_]; }

void StudioSession::loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode) {
  wc::loadTrackAudio(gameData_, track, withIntroOutro, mode, this);
}

void StudioSession::repaintTransport(bool clear) {
  notify([clear](SessionObserver& o) { o.showTransport(clear); });
}

void StudioSession::repaintAll() {
  notify([](SessionObserver& o) { o.showNow(); });
}

void StudioSession::onPlaybackChange(PlaybackChange change) {
  // During an export every report redraws the transport at once: the event
  // loop does not run until the export ends.
  if (marks_.rendering) {
    repaintTransport(false);
    return;
  }
  switch (change) {
    case PlaybackChange::Track:
      notify([](SessionObserver& o) { o.showChanges(); });  // highlights move in both panes
      notify([](SessionObserver& o) { o.commandStatesChanged(); });
      break;
    case PlaybackChange::Second: repaintTransport(false); break;
    case PlaybackChange::None: break;
  }
}

void StudioSession::preview(int clipIndex, bool withIntroOutro) {
  auto track = createTrack(catalogue(), station_, clipIndex);
  if (!track) return;
  // A preview track is linked nowhere; the Voice owns it from here on.
  loadTrackAudio(*track, withIntroOutro, LoadIndicatorMode::Transport);
  transport_.playPreview(std::move(track));
}

void StudioSession::cycleChoice(Track& entry, int direction, bool outro) {
  const FollowOns f = catalogue().stations[entry.station].followOns(entry.clipIndex);
  const int32_t count = outro ? f.outros : f.intros;
  if (count == 0) return;
  int32_t& choice = outro ? entry.outro : entry.intro;
  std::unique_ptr<ClipAudio>& audio = outro ? entry.outroAudio : entry.introAudio;
  const bool playing = transport_.isPlaying(&entry);
  const int32_t previous = choice;
  choice = cycle(choice, count, direction);
  if (choice != previous) playlist_.markEdited();
  // The Voice decodes straight from the old buffer, and the load may wait in
  // a message box while ticks go on: stop it first, restart it afterwards
  // (from the new intro, or with the new outro alone).
  if (playing) transport_.stop();
  audio.reset();
  loadTrackAudio(entry, true, LoadIndicatorMode::WholeView);
  if (playing) transport_.play(&entry, outro ? StartPart::OutroOnly : StartPart::Intro);
  notify([](SessionObserver& o) { o.showChanges(); });
}

void StudioSession::finishJob(JobResult result, std::chrono::steady_clock::time_point started) {
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - started);
  notify([&result](SessionObserver& o) { o.jobFinished(result); });
}

void StudioSession::clearPlaylist() {
  // Forgotten first, so that freeing the tracks reports no change mark.
  playlistPath_.clear();
  if (playlist_.trackCount() != 0 || !playlist_.empty()) {
    transport_.stop();
    playlist_.freeAll();
    notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Top, 0); });
    notify([](SessionObserver& o) { o.showChanges(); });
  }
  markPlaylistSaved();
  notify([](SessionObserver& o) { o.commandStatesChanged(); });
}

bool StudioSession::onCommand(Command command) {
  const bool hasTracks = playlist_.trackCount() != 0;
  switch (command) {
    case Command::FileNew: onFileNew(); return true;
    case Command::FileOpen: onFileOpen(); return true;
    case Command::FileSave:
      if (hasTracks) onFileSave();
      return true;
    case Command::FileSaveAs:
      if (hasTracks) onFileSaveAs();
      return true;
    case Command::ExportCd:
      if (hasTracks) exportPlaylist(true);
      return true;
    case Command::ExportWave:
      if (hasTracks) exportPlaylist(false);
      return true;
    case Command::ExportTracks: onExportTracks(); return true;
    case Command::CopyAudioFiles: onCopyAudioFiles(); return true;
    case Command::ImportAnnotations: onImportAnnotations(); return true;
    case Command::ExportAnnotations: onExportAnnotations(); return true;
    case Command::Play: transport_.playFromStart(); return true;
    case Command::Stop: transport_.stop(); return true;
    case Command::Previous: transport_.previous(); return true;
    case Command::Next: transport_.next(); return true;
    case Command::AddAllSongs: onAddAllSongs(); return true;
    case Command::RandomizeIntros: onRandomizeIntros(); return true;
    case Command::Pad: onPad(); return true;
    case Command::CreateMusicMix: onCreateMusicMix(); return true;
    case Command::CreateRadioMix: onCreateRadioMix(); return true;
    case Command::DetectSongs: onDetectSongs(); return true;
    case Command::SaveCatalogue:
      if (catalogueModified_) onSaveCatalogue();
      return true;
    case Command::EditUndo: stepHistory(false); return true;
    case Command::EditRedo: stepHistory(true); return true;
    // The browser's, the frame's and the application's own.
    case Command::ShowAllClips:
    case Command::AppExit:
    case Command::ViewToolbar:
    case Command::ViewStatusBar:
    case Command::AppAbout: return false;
  }
  return false;
}

std::optional<CommandState> StudioSession::commandState(Command command) const {
  const bool hasTracks = playlist_.trackCount() != 0;
  switch (command) {
    case Command::FileNew:
    case Command::FileOpen: return CommandState{true, false};
    case Command::FileSave:
    case Command::FileSaveAs:
    case Command::ExportCd:
    case Command::ExportWave:
    case Command::ExportTracks: return CommandState{hasTracks, false};
    case Command::CopyAudioFiles: return CommandState{!transport_.somethingPlays(), false};
    case Command::ImportAnnotations:
    case Command::ExportAnnotations: return CommandState{true, false};
    case Command::Play: return CommandState{transport_.canPlay(), false};
    case Command::Stop: return CommandState{transport_.canStop(), false};
    case Command::Previous: return CommandState{transport_.canPrevious(), false};
    case Command::Next: return CommandState{transport_.canNext(), false};
    case Command::AddAllSongs:
    case Command::CreateMusicMix:
    case Command::CreateRadioMix: return CommandState{canUseSongTools(), false};
    case Command::RandomizeIntros:
    case Command::Pad: return CommandState{canUsePlaylistTools(), false};
    case Command::DetectSongs: return CommandState{true, false};
    case Command::SaveCatalogue: return CommandState{catalogueModified_, false};
    case Command::EditUndo: return CommandState{history_.canUndo(), false, history_.undoName()};
    case Command::EditRedo: return CommandState{history_.canRedo(), false, history_.redoName()};
    case Command::ShowAllClips:
    case Command::AppExit:
    case Command::ViewToolbar:
    case Command::ViewStatusBar:
    case Command::AppAbout: return std::nullopt;
  }
  return std::nullopt;
}

bool StudioSession::execute(Command command) {
  const auto state = commandState(command);
  return state && state->enabled && onCommand(command);
}

void StudioSession::onSaveCatalogue() {
  if (!mayReplaceCatalogueFile()) return;
  if (gameData_.saveCatalogue()) {
    catalogueModified_ = false;
    if (const auto& backup = gameData_.catalogueBackup())
      prompts_.messageBox("The clip annotations were saved. The previous " + std::string(kCatalogueFileName) +
                              " was kept as " + backup->filename().string() + ".",
                          "Wavecrate");
  } else {
    prompts_.messageBox("The clip annotations could not be saved to " + std::string(kCatalogueFileName) +
                            ".\nThe previous file was left unchanged.",
                        "Error");
  }
}

bool StudioSession::mayReplaceCatalogueFile() {
  if (!gameData_.catalogueFileChanged()) return true;
  const std::string text = std::string(kCatalogueFileName) +
                           " was changed by another program since Wavecrate read it.\n\n"
                           "Keep mine: save these annotations over it (the other version is kept as a backup "
                           "beside it).\nKeep theirs: leave the file as it is; the changes made here are not saved.";
  switch (prompts_.askChoice(text, "Wavecrate", "Keep mine", "Keep theirs")) {
    case SessionPrompts::Answer::Yes: return true;
    case SessionPrompts::Answer::No: catalogueModified_ = false; return false;
    case SessionPrompts::Answer::Cancel: return false;
  }
  return false;
}

}  // namespace wc
