#pragma once
// The one view: clip browser on the left, transport display and CD playlist
// on the right. It keeps the layout, painting, mouse and scroll state and
// runs the commands; the playlist, the transport and the tools live in
// playlist/. It is plain C++: the window system is reached only through
// ViewHost, ViewDialogs and DrawSurface, so every flow runs headless in tests.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "base/File.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/Playlist.h"
#include "playlist/TrackAudio.h"
#include "playlist/Transport.h"
#include "ui/DrawSurface.h"
#include "ui/TransportText.h"
#include "ui/ViewInput.h"
#include "ui/ViewServices.h"

namespace wc {

class CRandom;
class GameData;
class SoundOutput;
struct ToolContext;

// What the last drawing of a scroll bar found; the hit test and the thumb
// drag read it.
// The two scrolling lists, as the scroll bars and thumb drags name them.
enum class Pane { Clips = 0, Playlist = 1 };

struct ScrollBarState {
  int top = 0, bottom = 0;            // bottom exclusive
  int thumbTop = 0, thumbBottom = 0;  // y of the lines above and below the thumb
  int rowsPerPage = 0;
  float itemsPerPixel = 0.0f;
};

enum class HitCode : int {
  Nothing = 0,
  LeftArrow = -1,
  RightArrow = -2,
  Banner = -3,
  ClipRow = -4,
  ClipPageUp = -5,
  ClipPageDown = -6,
  ClipThumb = -7,
  PaneDivider = -8,
  PlaylistGap = -9,
  PlaylistEntry = -10,
  TransportDivider = -11,
  Transport = -12,
  PlaylistPageUp = -13,
  PlaylistPageDown = -14,
  PlaylistThumb = -15,
};

struct HitResult {
  HitCode code = HitCode::Nothing;
  int index = 0;
  int part = 0;
  bool operator==(const HitResult&) const = default;
};

// Parts of a playlist entry, as the hit test numbers them.
namespace EntryPart {
inline constexpr int SongBand = 0, IntroText = 1, PrevIntro = 2, NextIntro = 3, OutroText = 4, PrevOutro = 5,
                     NextOutro = 6, TrackNumber = 7, TrackNumberOutro = 8;
}

struct CommandState {
  bool enabled = false;
  bool checked = false;
};

struct ViewRect {
  int x = 0, y = 0, width = 0, height = 0;
};

class StudioView final : public LoadIndicator {
 public:
  // `toolRandom` is the generator the sound timer reseeds; `output` (may be
  // null) is where playback is heard and what the export pauses.
  StudioView(GameData& gameData, ViewHost& host, ViewDialogs& dialogs, CRandom& toolRandom, SoundOutput* output,
             FileSystem& fs = realFileSystem());
  ~StudioView() override;
  StudioView(const StudioView&) = delete;
  StudioView& operator=(const StudioView&) = delete;

  // ---- Fixed geometry (client pixels) ----
  static constexpr int kLeftPaneWidth = 256;
  static constexpr int kClipRowsTop = 29;
  static constexpr int kClipRowHeight = 17;
  static constexpr int kClipRowWidth = 240;
  static constexpr int kPlaylistLeft = 262;
  static constexpr int kTransportHeight = 32;
  static constexpr int kPlaylistTop = 38;
  static constexpr int kEntryHeight = 65;
  static constexpr int kScrollBarWidth = 16;

  // ---- Commands: offered first to the view by the frame ----
  // True if the view handles `id` (and ran it).
  bool onCommand(int id);
  // The enable state of a command the view handles, nullopt otherwise.
  std::optional<CommandState> commandState(int id) const;

  // ---- Mouse ----
  void onLButtonDown(int x, int y);
  void onLButtonDblClk(int x, int y);
  void onMouseMove(int x, int y);
  void onLButtonUp(int x, int y);
  // Right button released over a clip row: the "Edit Clip" dialog for it.
  void onRButtonUp(int x, int y);
  HitResult hitTest(int x, int y) const;

  // ---- Wheel and keys ----
  // The wheel scrolls the list under `x`: three clip rows or one playlist
  // entry per notch.
  void onWheel(int x, WheelDelta delta);
  // True if the view handled `key`.
  bool onKey(ViewKey key);
  static constexpr int kClipRowsPerNotch = 3;
  static constexpr int kEntriesPerNotch = 1;

  // ---- Painting ----
  void paintAll(DrawSurface& surface);
  int drawTransport(DrawSurface& surface, int y, int x, int width, bool clear);
  // The transport text and its colour as they would be drawn now.
  std::string transportText(Rgb* colour = nullptr) const;
  // A choice button's triangle centred on (cx, cy), pointing right for d > 0.
  static void drawArrow(DrawSurface& surface, int cx, int cy, int d);

  // ---- Scrolling and stations ----
  void pageScroll(Pane pane, int direction);
  void beginThumbDrag(Pane pane, int y);
  void moveThumbDrag(int y);
  void endThumbDrag();
  // Moves a list to `position`, kept within its range by the next paint.
  void scrollTo(Pane pane, int position);
  // Moves a list by `rows` (negative: towards the top), kept within its range.
  void scrollBy(Pane pane, int rows);
  void stepStation(int direction);
  // Shows station `index` (0..15) as if the user had stepped to it.
  void showStation(int index);
  // Rebuilds the clip list after the catalogue changed.
  void rebuildClipList();

  // ---- Flows the frame and the tests start directly ----
  // Plays clip `clipIndex` of the current station on its own.
  void preview(int clipIndex);
  // Opens a playlist file as the Open command does after its dialog; false
  // (with the failure box shown) when it cannot be read.
  bool openPlaylistFile(const std::string& path);
  // Writes the playlist to `path` as Save does; false (with a box) on failure.
  bool writePlaylistFile(const std::string& path);
  // Applies a confirmed edit of clip `clipIndex` of the current station and
  // marks the catalogue modified; changes nothing when it cannot be held.
  AnnotationProblem applyClipEdit(int clipIndex, const ClipEdit& edit);
  // The catalogue was changed or reloaded outside the view: the clip list is
  // rebuilt, and `saved` says whether the catalogue file now holds it (the
  // mark of unsaved changes goes) or not (the mark is set).
  void catalogueChanged(bool saved);
  // Copy progress from the cache copy: redraws the transport display.
  void onCopyProgress(const char* fileName, float percent);
  // Asked before the program closes: offers to save changed annotations.
  // False keeps the program open (Cancel, or a save that failed).
  bool queryClose();
  // Asked once the window shows: on a bare catalogue, offers to find the
  // songs from the audio.
  void offerSongDetection();
  // Empties the playlist (stopping playback) and forgets its file.
  void clearPlaylist();
  // Whether the playlist changed since it was opened, saved or created. An
  // unnamed empty playlist holds nothing to lose and never counts as changed.
  bool playlistModified() const;
  // Asked before the playlist is replaced or the program closes: when it
  // changed, "Save changes to the playlist?" with Save / Discard / Cancel.
  // False keeps the playlist (Cancel, or a save that did not happen).
  bool maySupersedePlaylist();
  // Opens `path` after that question, as a file dropped on the window or
  // chosen from the recent list is opened.
  bool openPlaylistAfterQuestion(const std::string& path);
  // Loads what is missing of a track's audio, with this view showing the
  // busy mark and repainting as `mode` says.
  void loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode);

  // ---- What the view shows ----
  Playlist& playlist() { return playlist_; }
  const Playlist& playlist() const { return playlist_; }
  Transport& transport() { return transport_; }
  const Transport& transport() const { return transport_; }
  int currentStation() const { return currentStation_; }
  const Station& station() const;
  int scrollPosition(Pane pane) const { return pane == Pane::Clips ? clipScroll_ : playlistScroll_; }
  const ScrollBarState& scrollBar(Pane pane) const { return scrollBars_[size_t(pane)]; }
  // Rows of whole playlist entries in the pane, from the last drawing.
  int playlistRowsPerPage() const { return scrollBars_[1].rowsPerPage; }
  // Clip indices of the current station's rows, in order.
  std::span<const int> visibleClips() const { return {visibleClips_.data(), size_t(visibleCount_)}; }
  bool showsAllClips() const { return showAllClips_; }
  const std::string& playlistPath() const { return playlistPath_; }
  bool catalogueModified() const { return catalogueModified_; }
  // Busy, export and copy marks of the transport display.
  const TransportMarks& marks() const { return marks_; }
  // The drag in progress: a clip from the browser or a playlist entry, and
  // the outline the paint pass draws.
  const Track* pendingTrack() const { return pendingTrack_.get(); }
  int dragSourceIndex() const { return dragSourceIndex_; }
  const ViewRect& dragRect() const { return dragRect_; }
  // Which scroll bar's thumb is being dragged, if any.
  std::optional<Pane> thumbDragPane() const;
  bool outlineShown() const { return outlineShown_; }

  // ---- Loading indicator used by loadTrackAudio ----
  void setBusy(bool value) override { marks_.busy = value; }
  void repaintTransport(bool clear) override { host_.repaintTransport(clear); }
  void repaintAll() override { host_.repaintAll(); }

 private:
  class BusyScope;
  class ExportDisplay;
  class ToolDisplay;
  enum class ThumbDragMode { None, Clips, Playlist };

  const Catalogue& catalogue() const;
  void onPlaybackChange(PlaybackChange change);
  void removeTrack(Track* track);
  // The playlist now matches its file (opened, saved or new).
  void markPlaylistSaved();
  // Tells the host when the playlist's file or change mark differs from what
  // it last heard.
  void reportPlaylistStatus();

  // Commands (one file each: PlaylistFile, Export, Copy, Tools, Annotations).
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
  void onShowAllClips();
  void onSaveCatalogue();
  void onImportAnnotations();
  void onExportAnnotations();
  void runTool(void (*tool)(const ToolContext&), bool keepScroll);
  void onAddAllSongs();
  void onRandomizeIntros();
  void onPad();
  void onCreateMusicMix();
  void onCreateRadioMix();
  bool canUseSongTools() const;
  bool canUsePlaylistTools() const;

  // Mouse.
  void onEntryButtonDown(const HitResult& hit, int x, int y);
  void changeChoice(Track& entry, int direction, bool outro);
  void hideDragOutline();

  // Painting pieces.
  void drawScrollBar(DrawSurface& surface, Pane pane, int top, int bottom, int left, int right, int position, int total,
                     int rowHeight);
  int drawBanner(DrawSurface& surface, int y, const char* label, int width);
  int drawClipRow(DrawSurface& surface, int y, bool highlight, const Clip& clip, int width);
  int drawPlaylistEntry(DrawSurface& surface, int slot, int y, int x, int width, const Track* track);

  GameData& gameData_;
  ViewHost& host_;
  ViewDialogs& dialogs_;
  CRandom& toolRandom_;
  SoundOutput* output_;
  FileSystem& fs_;

  // Declared before the transport, which plays its tracks and so must go first.
  Playlist playlist_;
  Transport transport_;

  int currentStation_ = 0;
  int clipScroll_ = 0;
  std::array<int, kStationCount> savedClipScroll_{};
  std::array<int, kMaxClipsPerStation> visibleClips_{};  // clip indices of currentStation_
  int visibleCount_ = 0;
  bool showAllClips_ = false;

  int playlistScroll_ = 0;
  std::array<ScrollBarState, 2> scrollBars_{};

  struct ThumbDrag {
    ThumbDragMode mode = ThumbDragMode::None;
    int startY = 0;
    int startPos = 0;
  } thumbDrag_;

  std::unique_ptr<Track> pendingTrack_;  // a clip being dragged towards the playlist
  int dragSourceIndex_ = -1;             // playlist entry being dragged
  ViewRect dragRect_;
  struct Point {
    int x = 0, y = 0;
  } lastMouse_;
  bool outlineShown_ = false;  // the paint pass draws the outline while set

  TransportMarks marks_;
  std::string playlistPath_;
  bool catalogueModified_ = false;

  uint64_t savedRevision_ = 0;  // the playlist's revision when it last matched its file
  struct PlaylistStatus {
    std::string path;
    bool modified = false;
    bool operator==(const PlaylistStatus&) const = default;
  } reportedStatus_;
  // Wheel movement not yet scrolled, per list. A touchpad finger moves the
  // list about as far as it moves itself.
  std::array<WheelNotches, 2> wheelRest_{WheelNotches(kClipRowsPerNotch * kClipRowHeight),
                                         WheelNotches(kEntriesPerNotch* kEntryHeight)};
};

// Shows "PLEASE WAIT" while it lives and, if asked, puts the playlist back
// where it was scrolled, whichever way the tool ends.
class StudioView::BusyScope {
 public:
  BusyScope(StudioView& view, bool keepScroll)
      : view_(view), savedScroll_(keepScroll ? std::optional<int>(view.playlistScroll_) : std::nullopt) {
    view_.marks_.busy = true;
  }
  ~BusyScope() {
    view_.marks_.busy = false;
    if (savedScroll_) view_.playlistScroll_ = *savedScroll_;
    view_.host_.invalidate();
    view_.host_.commandStatesChanged();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  StudioView& view_;
  std::optional<int> savedScroll_;
};

}  // namespace wc
