#pragma once
// The one view: clip browser on the left, transport display and CD playlist
// on the right. It keeps the layout, painting, hit testing, scrolling and
// dragging, and asks its StudioSession to act; the session owns the playlist,
// the transport and every command flow. It is plain C++: the window system is
// reached only through ViewHost and DrawSurface.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "gamedata/CatalogueRecords.h"
#include "playlist/Track.h"
#include "session/StudioSession.h"
#include "ui/DrawSurface.h"
#include "ui/ViewInput.h"
#include "ui/ViewServices.h"

namespace wc {

// The two scrolling lists, as the scroll bars and thumb drags name them.
enum class Pane { Clips = 0, Playlist = 1 };

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
inline constexpr int SongBand = 0, IntroText = 1, PrevIntro = 2, NextIntro = 3, OutroText = 4, PrevOutro = 5,
                     NextOutro = 6, TrackNumber = 7, TrackNumberOutro = 8;
}

struct ViewRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Everything the view shows besides the session's document: where the lists
// stand, which clips the browser lists, and the drag in progress. Read-only
// outside the view.
struct ViewState {
  int clipScroll = 0;
  int playlistScroll = 0;
  std::array<ScrollBarState, 2> scrollBars{};
  std::array<int, kMaxClipsPerStation> clipRows{};  // clip indices of the current station's rows
  int clipRowCount = 0;
  bool showAllClips = false;
  // The drag in progress: a clip from the browser or a playlist entry, and
  // the outline the paint pass draws while `outlineShown`.
  std::unique_ptr<Track> pendingTrack;
  int dragSourceIndex = -1;
  ViewRect dragRect;
  bool outlineShown = false;
  // The keyboard's row in the playlist, outlined while set. The mouse hides
  // it; with none the playlist looks as it always did.
  std::optional<int> focusRow;
  struct ThumbDrag {
    std::optional<Pane> pane;  // whose thumb is being dragged, if any
    int startY = 0;
    int startPos = 0;
  } thumbDrag;

  int scroll(Pane pane) const { return pane == Pane::Clips ? clipScroll : playlistScroll; }
  int& scroll(Pane pane) { return pane == Pane::Clips ? clipScroll : playlistScroll; }
  const ScrollBarState& scrollBar(Pane pane) const { return scrollBars[size_t(pane)]; }
  // Clip indices of the current station's rows, in order.
  std::span<const int> visibleClips() const { return {clipRows.data(), size_t(clipRowCount)}; }
};

class StudioView final : private SessionObserver {
 public:
  StudioView(StudioSession& session, ViewHost& host);
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
  static constexpr int kClipRowsPerNotch = 3;
  static constexpr int kEntriesPerNotch = 1;

  // Commands, offered first to the view by the frame: the browser's own,
  // then the session's. True if handled (and run).
  bool onCommand(Command command);
  // The enable state of a command the view or the session handles.
  std::optional<CommandState> commandState(Command command) const;

  // ---- Mouse, wheel and keys ----
  void onLButtonDown(int x, int y);
  void onLButtonDblClk(int x, int y);
  void onMouseMove(int x, int y);
  void onLButtonUp(int x, int y);
  // Right button released over a clip row: the "Edit Clip" dialog for it;
  // over a playlist track: the track's context menu.
  void onRButtonUp(int x, int y);
  HitResult hitTest(int x, int y) const;
  // The wheel scrolls the list under `x`: three clip rows or one playlist
  // entry per notch.
  void onWheel(int x, WheelDelta delta);
  // True if the view handled `key`.
  bool onKey(ViewKey key);

  // ---- Painting ----
  void paintAll(DrawSurface& surface);
  int drawTransport(DrawSurface& surface, int y, int x, int width, bool clear);
  // A choice button's triangle centred on (cx, cy), pointing right for d > 0.
  static void drawArrow(DrawSurface& surface, int cx, int cy, int d);

  // ---- Scrolling and stations ----
  void pageScroll(Pane pane, int direction);
  // Moves a list to `position`, kept within its range by the next paint.
  void scrollTo(Pane pane, int position);
  void beginThumbDrag(Pane pane, int y);
  void moveThumbDrag(int y);
  void endThumbDrag();
  void stepStation(int direction);
  // Shows station `index` (0..15) as if the user had stepped to it.
  void showStation(int index);

  const ViewState& state() const { return state_; }

 private:
  // SessionObserver: the session's changes reach the window through here.
  void showChanges() override { host_.invalidate(); }
  void showNow() override { host_.repaintAll(); }
  void showTransport(bool clear) override { host_.repaintTransport(clear); }
  void catalogueChanged() override;
  void playlistScroll(PlaylistScroll how, int index) override;

  const Catalogue& catalogue() const { return session_.catalogue(); }
  const Station& station() const;
  // Rebuilds the clip list after the station, the catalogue or the
  // "show all clips" choice changed.
  void rebuildClipList();
  // Moves a list by `rows` (negative: towards the top), kept within its range.
  void scrollBy(Pane pane, int rows);
  void onEntryButtonDown(const HitResult& hit, int x, int y);
  void openTrackMenu(int row, int x, int y);
  // Up, Down, Home, End, Delete, Enter and Escape as the focus row takes
  // them; false for keys it leaves alone.
  bool onFocusKey(ViewKey key);
  // Runs a track action from the menu or the keys; the focus row, if shown,
  // follows a moved track and stays on the row of a removed one.
  void runTrackAction(int row, const TrackAction& action);
  // Moves the focus row by `rows` (shown at the first visible track if it was
  // hidden) and scrolls it into view.
  void moveFocus(int rows);
  void hideFocus();
  void drawFocusRow(DrawSurface& surface, int top, int width);
  void hideDragOutline();
  void drawScrollBar(DrawSurface& surface, Pane pane, int top, int bottom, int left, int right, int position, int total,
                     int rowHeight);
  int drawBanner(DrawSurface& surface, int y, const char* label, int width);
  int drawClipRow(DrawSurface& surface, int y, bool highlight, const Clip& clip, int width);
  int drawPlaylistEntry(DrawSurface& surface, int slot, int y, int x, int width, const Track* track);

  StudioSession& session_;
  ViewHost& host_;
  ViewState state_;
  std::array<int, kStationCount> savedClipScroll_{};
  std::optional<int> keptPlaylistScroll_;  // where a tool puts the playlist pane back
  struct Point {
    int x = 0, y = 0;
  } lastMouse_;
  // Wheel movement not yet scrolled, per list. A touchpad finger moves the
  // list about as far as it moves itself.
  std::array<WheelNotches, 2> wheelRest_{WheelNotches(kClipRowsPerNotch * kClipRowHeight),
                                         WheelNotches(kEntriesPerNotch* kEntryHeight)};
};

}  // namespace wc
