#pragma once
// Connects a StudioView and its session to the window: the widget paints and
// forwards the mouse through this, the frame offers it every command first,
// and the session's notices about the playlist reach the window's title.
#include "session/StudioSession.h"
#include "ui/StudioView.h"
#include "ui/qt/StudioViewWidget.h"
#include "ui/qt/ViewClient.h"

namespace wc {

class StudioViewAdapter final : public ViewClient, private SessionObserver {
 public:
  // Constructs the view over `session` with `widget` as its host.
  StudioViewAdapter(StudioSession& session, StudioViewWidget& widget);
  ~StudioViewAdapter() override;

  StudioView& view() { return view_; }

  void paintAll(DrawSurface& surface) override { view_.paintAll(surface); }
  void paintTransport(DrawSurface& surface, int width, bool clear) override {
    view_.drawTransport(surface, 0, StudioView::kPlaylistLeft, width, clear);
  }
  // A button may drop, remove or preview a track or edit a clip: the command
  // states are re-read after each. Moving the mouse changes none of them.
  void lButtonDown(int x, int y) override {
    view_.onLButtonDown(x, y);
    host_.commandStatesChanged();
  }
  void lButtonDblClk(int x, int y) override {
    view_.onLButtonDblClk(x, y);
    host_.commandStatesChanged();
  }
  void mouseMove(int x, int y) override { view_.onMouseMove(x, y); }
  void lButtonUp(int x, int y) override {
    view_.onLButtonUp(x, y);
    host_.commandStatesChanged();
  }
  void rButtonUp(int x, int y) override {
    view_.onRButtonUp(x, y);
    host_.commandStatesChanged();
  }
  bool queryClose() override { return session_.queryClose(); }
  void windowShown() override { session_.offerSongDetection(); }
  void wheel(int x, WheelDelta delta) override { view_.onWheel(x, delta); }
  bool keyPressed(ViewKey key) override { return view_.onKey(key); }
  bool openPlaylist(const std::string& path, bool ask) override {
    return ask ? session_.openPlaylistAfterQuestion(path) : session_.openPlaylistFile(path);
  }
  bool onCommand(Command command) override { return view_.onCommand(command); }
  std::optional<CommandState> commandState(Command command) const override { return view_.commandState(command); }

 private:
  void commandStatesChanged() override { host_.commandStatesChanged(); }
  void playlistStatusChanged(const std::string& path, bool modified) override {
    host_.playlistStatusChanged(path, modified);
  }
  void playlistFileUsed(const std::string& path) override { host_.playlistFileUsed(path); }
  void jobFinished(const JobResult& result) override { host_.showStatusMessage(jobResultText(result)); }

  StudioSession& session_;
  ViewHost& host_;
  StudioView view_;
};

}  // namespace wc
