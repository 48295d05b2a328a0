#pragma once
// The one view: clip browser on the left, transport display and CD playlist
// on the right. This is the hub that holds the playlist, the Voice and every
// display mark, and carries the command handlers. It is plain C++: the window
// system is reached only through ViewHost, ViewDialogs and DrawSurface, so
// every flow runs headless in tests.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/File.h"
#include "gamedata/CatalogueRecords.h"
#include "playlist/TrackAudio.h"
#include "playlist/Playlist.h"
#include "ui/DrawSurface.h"
#include "ui/ViewServices.h"

namespace wc {

class GameData;
class Voice;
class WaveWriter;
class ClipPool;

// What the last drawing of a scroll bar found; the hit test and the thumb
// drag read it.
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
inline constexpr int SongBand = 0, IntroText = 1, PrevIntro = 2, NextIntro = 3, OutroText = 4,
                     PrevOutro = 5, NextOutro = 6, TrackNumber = 7, TrackNumberOutro = 8;
}

struct CommandState {
  bool enabled = false;
  bool checked = false;
};

class StudioView final : public LoadIndicator {
 public:
  StudioView(GameData& gameData, ViewHost& host, ViewDialogs& dialogs, FileSystem& fs = realFileSystem());
  ~StudioView() override;
  StudioView(const StudioView&) = delete;
  StudioView& operator=(const StudioView&) = delete;

  // The process-wide view, for the plain-function callbacks; null when none.
  static StudioView* instance();

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

  // ---- Transport ----
  void playTrack(Track* track, int startPart);
  static void reportPlayback(Track* track, int32_t position);
  void onPlaybackProgress(Track* track, int32_t samplePosition);
  void onPlay();
  void onStop();
  void onPrevious();
  void onNext();
  bool canPlay() const;
  bool canStop() const;
  bool canPrevious() const;
  bool canNext() const;
  bool playlistTrackPlaying() const { return playingTrack && playingTrack->next; }
  // Makes sure the Voice exists and is linked into the current engine.
  Voice& ensureVoice();

  // ---- Playlist model operations that touch view state ----
  void clearPlaylist();
  void removeTrack(Track* track);  // stops playback first when it plays

  // ---- Playlist file ----
  void onFileNew();
  void onFileOpen();
  void onFileSave();
  void onFileSaveAs();
  bool writePlaylistFile(const std::string& path);
  // Opens a playlist file into the playlist as the Open command does after its
  // dialog; false (with the failure box shown) when it cannot be read.
  bool openPlaylistFile(const std::string& path);

  // ---- Playlist tools ----
  // Picks a clip from `pool`, makes a track of it and links it behind
  // `after`; null when the pool yields nothing.
  Track* insertFromPool(int station, ClipPool& pool, Track* after, bool randomizeIntroOutro);
  void onAddAllSongs();
  void onRandomizeIntros();
  void onPad();
  void onCreateMusicMix();
  void onCreateRadioMix();
  bool canUseSongTools() const;      // Add all Songs, both mixes
  bool canUsePlaylistTools() const;  // Randomize Intros, Pad

  // ---- Export ----
  void exportPlaylist(bool cdImage);
  void onExportTracks();
  // Asked before a CD image is written when some tracks are shorter than a
  // CD track may be: true joins them in the CUE sheet, false keeps them,
  // nullopt cancels. False without asking when no track is short.
  std::optional<bool> askJoinShortTracks();
  // The playlist file's name without its extension, or "Wavecrate Mix".
  std::string defaultAlbumName() const;

  // ---- Copy Audio Files ----
  void onCopyAudioFiles();
  static void copyProgress(const char* fileName, float percent);
  void onCopyProgress(const char* fileName, float percent);

  // ---- Hidden commands ----
  void onShowAllClips();
  void onSaveCatalogue();

  // ---- Clip annotations ----
  // Right button released over a clip row: the "Edit Clip" dialog for it.
  void onRButtonUp(int x, int y);
  // Applies a confirmed edit of clip `clipIndex` of the current station and
  // marks the catalogue modified; changes nothing when it cannot be held.
  AnnotationProblem applyClipEdit(int clipIndex, const ClipEdit& edit);
  void onImportAnnotations();
  void onExportAnnotations();
  // Asked before the program closes: offers to save changed annotations.
  // False keeps the program open (Cancel, or a save that failed).
  bool queryClose();

  // ---- Layout, clip list, scrolling, hit testing ----
  void rebuildClipList();
  void stepStation(int direction);
  void pageScroll(int which, int direction);
  void beginThumbDrag(int which, int y);
  void moveThumbDrag(int y);
  void endThumbDrag();
  HitResult hitTest(int x, int y) const;
  // Rows of whole playlist entries in the pane, from the last drawing.
  int playlistRowsPerPage() const { return scrollBars[1].rowsPerPage; }

  // ---- Painting ----
  void paintAll(DrawSurface& surface);
  int drawTransport(DrawSurface& surface, int y, int x, int width, bool clear);
  // The transport text and its colour as they would be drawn now.
  std::string transportText(Rgb* colour = nullptr) const;
  void drawScrollBar(DrawSurface& surface, int which, int top, int bottom, int left, int right, int position,
                     int total, int rowHeight);
  int drawBanner(DrawSurface& surface, int y, const char* label, int width);
  int drawClipRow(DrawSurface& surface, int y, bool highlight, const Clip& clip, int width);
  static void drawArrow(DrawSurface& surface, int cx, int cy, int d);
  int drawPlaylistEntry(DrawSurface& surface, int slot, int y, int x, int width, const Track* track);

  // ---- Mouse ----
  void onLButtonDown(int x, int y);
  void onLButtonDblClk(int x, int y);
  void onMouseMove(int x, int y);
  void onLButtonUp(int x, int y);
  void preview(int clipIndex);

 private:
  void onEntryButtonDown(const HitResult& hit, int x, int y);
  void changeIntro(Track& entry, int direction);
  void changeOutro(Track& entry, int direction);
  void changeChoice(Track& entry, int direction, bool outro);
  void hideDragOutline();

 public:

  // ---- Loading indicator used by loadTrackAudio ----
  void setBusy(bool value) override { busy = value; }
  void repaintTransport(bool clear) override { host.repaintTransport(clear); }
  void repaintAll() override { host.repaintAll(); }
  // Loads what is missing of a track's audio, with this view as indicator.
  void loadTrackAudio(Track& track, bool withIntroOutro, LoadIndicatorMode mode);

  // True while a track or a preview plays. Besides the last report this also
  // asks the Voice, which has taken a new track before its first report.
  bool somethingPlays() const;
  // True if `track` is being played or was last reported.
  bool isPlaying(const Track* track) const;

  // ---- State ----
  GameData& gameData;
  ViewHost& host;
  ViewDialogs& dialogs;
  FileSystem& fs;

  int currentStation = 0;
  int clipScroll = 0;
  std::array<int, kStationCount> savedClipScroll{};
  std::array<int, kMaxClipsPerStation> visibleClips{};  // clip indices of currentStation
  int visibleCount = 0;
  bool showAllClips = false;

  Playlist playlist;
  int playlistScroll = 0;
  std::array<ScrollBarState, 2> scrollBars{};

  struct ThumbDrag {
    int mode = 0;  // 0 none, 1 clip list, 2 playlist
    int startY = 0;
    int startPos = 0;
  } thumbDrag;

  std::unique_ptr<Track> pendingTrack;  // a clip being dragged towards the playlist
  int dragSourceIndex = -1;             // playlist entry being dragged
  struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
  } dragRect;
  struct Point {
    int x = 0, y = 0;
  } lastMouse;
  bool outlineShown = false;  // the paint pass draws the outline while set

  std::unique_ptr<Voice> voice;
  Track* playingTrack = nullptr;
  int32_t playingSeconds = 0;

  bool busy = false;
  bool rendering = false;
  bool copying = false;
  int copyPercent = 0;
  std::string copyFileName;
  std::string playlistPath;
  bool catalogueModified = false;

  const Catalogue& catalogue() const;
  const Station& station() const { return catalogue().stations[currentStation]; }
};

}  // namespace wc
