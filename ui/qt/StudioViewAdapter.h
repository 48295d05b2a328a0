#pragma once
// Connects a StudioView to its window: the widget paints and forwards the
// mouse through this, and the frame offers it every command first.
#include <memory>

#include "ui/StudioView.h"
#include "ui/qt/StudioViewWidget.h"
#include "ui/qt/ViewClient.h"

namespace wc {

class CRandom;
class GameData;
class SoundOutput;

class StudioViewAdapter final : public ViewClient {
 public:
  // Constructs the view with `widget` as its host and the widget's dialogs.
  StudioViewAdapter(GameData& gameData, StudioViewWidget& widget, CRandom& toolRandom, SoundOutput* output);

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
  bool queryClose() override { return view_.queryClose(); }
  void windowShown() override { view_.offerSongDetection(); }
  void wheel(int x, WheelDelta delta) override { view_.onWheel(x, delta); }
  bool keyPressed(ViewKey key) override { return view_.onKey(key); }
  bool openPlaylist(const std::string& path, bool ask) override {
    return ask ? view_.openPlaylistAfterQuestion(path) : view_.openPlaylistFile(path);
  }
  bool onCommand(int id) override { return view_.onCommand(id); }
  std::optional<CommandState> commandState(int id) const override { return view_.commandState(id); }

 private:
  ViewHost& host_;
  StudioView view_;
};

}  // namespace wc
