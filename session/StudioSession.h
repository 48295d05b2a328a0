#pragma once
// The open document and everything done to it: the playlist and its file,
// the transport that plays it, the catalogue's mark of unsaved annotations,
// the station the tools work on, and every command and question. It draws
// nothing: it asks the user through SessionPrompts and tells its observers
// what changed, so the window's view, the media keys and the tests all drive
// the same flows.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/File.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"
#include "playlist/TrackAudio.h"
#include "playlist/Transport.h"
#include "session/ClipEdit.h"
#include "session/Command.h"
#include "session/JobResult.h"
#include "session/PlaylistHistory.h"
#include "session/SessionObserver.h"
#include "session/SessionPrompts.h"
#include "session/TransportMarks.h"

namespace wc {

class CRandom;
class GameData;
class SoundOutput;
struct ToolContext;

class StudioSession final : private LoadIndicator {
 public:
  // `toolRandom` is the generator the sound timer reseeds; `output` (may be
  // null) is where playback is heard and what the export pauses.
  StudioSession(GameData& gameData, SessionPrompts& prompts, CRandom& toolRandom, SoundOutput* output,
                FileSystem& fs = realFileSystem());
  ~StudioSession() override;
  StudioSession(const StudioSession&) = delete;
  StudioSession& operator=(const StudioSession&) = delete;

  // Observers are told in the order they were added; each must be removed
  // before it goes.
  void addObserver(SessionObserver& observer);
  void removeObserver(SessionObserver& observer);

  // True if the session handles `command` (and ran it).
  bool onCommand(Command command);
  // The enable state of a command the session handles, nullopt otherwise.
  std::optional<CommandState> commandState(Command command) const;
  // Runs `command` only if the session handles it and it is enabled, as a
  // menu choice would; false otherwise.
  bool execute(Command command);

  // ---- The document ----
  GameData& gameData() { return gameData_; }
  const Catalogue& catalogue() const;
  Playlist& playlist() { return playlist_; }
  const Playlist& playlist() const { return playlist_; }
  Transport& transport() { return transport_; }
  const Transport& transport() const { return transport_; }
  // The station the browser shows and the song tools fill the playlist from.
  int station() const { return station_; }
  void selectStation(int index) { station_ = index; }
  const std::string& playlistPath() const { return playlistPath_; }
  bool catalogueModified() const { return catalogueModified_; }
  // Busy, export and copy marks of the transport display.
  const TransportMarks& marks() const { return marks_; }
  // Undo and Redo of the playlist. Edits made through the Playlist are
  // recorded by themselves; a PlaylistHistory::Group makes several one step.
  PlaylistHistory& history() { return history_; }
  const PlaylistHistory& history() const { return history_; }
  // Where the long jobs read the time they took.
  void setJobClock(JobClock clock) { clock_ = std::move(clock); }

  // ---- Flows started by the window, the media keys and the tests ----
  // Plays clip `clipIndex` of the current station on its own.
  void preview(int clipIndex, bool withIntroOutro);
  // Steps a song entry's intro (or outro) choice by `direction`, reloading
  // its audio and restarting it if it plays.
  void cycleChoice(Track& entry, int direction, bool outro);
  // The "Edit Clip" dialog for clip `clipIndex` of the current station.
  void editClip(int clipIndex);
  // Applies a confirmed edit of clip `clipIndex` of the current station and
  // marks the catalogue modified; changes nothing when it cannot be held.
  AnnotationProblem applyClipEdit(int clipIndex, const ClipEdit& edit);
  // The catalogue was changed or reloaded elsewhere: `saved` says whether the
  // catalogue file now holds it (the mark of unsaved changes goes) or not.
  void catalogueChanged(bool saved);
  // Copy progress from the cache copy: redraws the transport display.
  void onCopyProgress(const char* fileName, float percent);
  // Opens a playlist file as the Open command does after its dialog; false
  // (with the failure box shown) when it cannot be read.
  bool openPlaylistFile(const std::string& path);
  // Opens `path` after the question about unsaved changes, as a file
  // dropped on the window or chosen from the recent list is opened.
  bool openPlaylistAfterQuestion(const std::string& path);
  // Writes the playlist to `path` as Save does; false (with a box) on failure.
  bool writePlaylistFile(const std::string& path);
  // Empties the playlist (stopping playback) and forgets its file.
  void clearPlaylist();
  // Whether the playlist changed since it was opened, saved or created. An
  // unnamed empty playlist holds nothing to lose and never counts as changed.
  bool playlistModified() const;
  // Asked before the playlist is replaced or the program closes: when it
  // changed, "Save changes to the playlist?" with Save / Discard / Cancel.
  // False keeps the playlist (Cancel, or a save that did not happen).
  bool maySupersedePlaylist();
  // Asked before the program closes: the playlist's question, then an offer
  // to save changed annotations. False keeps the program open.
  bool queryClose();
  // Asked once the window shows: on a bare catalogue, offers to find the
  // songs from the audio.
  void offerSongDetection();
  // Loads what is missing of a track's audio, with the busy mark and the
  // repaints `mode` asks for.
  void loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode);

 private:
  class BusyScope;
  class ExportDisplay;
  class ToolDisplay;

  template <class Call>
  void notify(Call call) {
    for (SessionObserver* observer : observers_) call(*observer);
  }
  // LoadIndicator, for the loads of track audio.
  void setBusy(bool value) override { marks_.busy = value; }
  void repaintTransport(bool clear) override;
  void repaintAll() override;

  const Station& currentStation() const;
  void onPlaybackChange(PlaybackChange change);
  // Undo (or Redo with `forward`): the playlist becomes the history's state.
  void stepHistory(bool forward);
  // Makes the playlist hold `records`, keeping the tracks that stay (and any
  // playback in them) and loading only the ones that come.
  void restorePlaylist(const std::vector<PlaylistRecord>& records);
  // Tells the observers how a job that began at `started` ended.
  void finishJob(JobResult result, std::chrono::steady_clock::time_point started);
  void showCatalogueChange();
  // The playlist now matches its file (opened, saved or new).
  void markPlaylistSaved();
  // Tells the observers when the playlist's file or change mark differs from
  // what they last heard.
  void reportPlaylistStatus();

  // Commands (one file each: PlaylistFile, Export, TrackExport, Copy, Tools,
  // Detect, Annotations, Undo).
  void onFileNew();
  void onFileOpen();
  void onFileSave();
  void onFileSaveAs();
  void exportPlaylist(bool cdImage);
  void onExportTracks();
  // Asked before a CD image is written when some tracks are shorter than a
  // CD track may be: true joins them in the CUE sheet, false keeps them,
  // nullopt cancels. False without asking when no track is short.
  std::optional<bool> askJoinShortTracks();
  // The playlist file's name without its extension, or "Wavecrate Mix".
  std::string defaultAlbumName() const;
  void onCopyAudioFiles();
  void onDetectSongs();
  void onSaveCatalogue();
  // Asks before a save would replace a catalogue file that someone else
  // wrote since it was read; false when nothing is to be written.
  bool mayReplaceCatalogueFile();
  void onImportAnnotations();
  void onExportAnnotations();
  void runTool(void (*tool)(const ToolContext&), bool keepScroll, const char* name);
  void onAddAllSongs();
  void onRandomizeIntros();
  void onPad();
  void onCreateMusicMix();
  void onCreateRadioMix();
  bool canUseSongTools() const;
  bool canUsePlaylistTools() const;

  GameData& gameData_;
  SessionPrompts& prompts_;
  CRandom& toolRandom_;
  SoundOutput* output_;
  FileSystem& fs_;
  std::vector<SessionObserver*> observers_;

  // Declared before the transport, which plays its tracks and so must go first.
  Playlist playlist_;
  Transport transport_;

  int station_ = 0;
  TransportMarks marks_;
  std::string playlistPath_;
  bool catalogueModified_ = false;

  uint64_t savedRevision_ = 0;  // the playlist's revision when it last matched its file
  struct PlaylistStatus {
    std::string path;
    bool modified = false;
    bool operator==(const PlaylistStatus&) const = default;
  } reportedStatus_;

  JobClock clock_ = [] { return std::chrono::steady_clock::now(); };
  Subscription edits_;
  Subscription playback_;
  // Last: it asks for the playlist's file and mark as it is built.
  PlaylistHistory history_;
};

// Shows "PLEASE WAIT" while it lives and, if asked, has the playlist pane
// put back where it stood, whichever way the tool ends.
class StudioSession::BusyScope {
 public:
  BusyScope(StudioSession& session, bool keepScroll) : session_(session), keepScroll_(keepScroll) {
    if (keepScroll_) session_.notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Keep, 0); });
    session_.marks_.busy = true;
  }
  ~BusyScope() {
    session_.marks_.busy = false;
    if (keepScroll_) session_.notify([](SessionObserver& o) { o.playlistScroll(PlaylistScroll::Return, 0); });
    session_.notify([](SessionObserver& o) { o.showChanges(); });
    session_.notify([](SessionObserver& o) { o.commandStatesChanged(); });
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  StudioSession& session_;
  bool keepScroll_;
};

}  // namespace wc
