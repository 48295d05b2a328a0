#pragma once
// A ViewClient that records what the widget and the frame ask of it and
// answers command queries from a script.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/qt/ViewClient.h"

namespace wc::test {

class FakeViewClient : public ViewClient {
 public:
  // Commands the fake handles, with their states.
  std::map<Command, CommandState> states;
  std::vector<Command> commandsRun;
  std::vector<std::string> calls;  // "paintAll", "transport 634 0", "down 5 6", ...
  Rgb paintColour = rgb(10, 20, 30);
  Rgb transportColour = rgb(0, 192, 0);

  void paintAll(DrawSurface& surface) override {
    calls.push_back("paintAll");
    surface.fillRect(0, 0, 4000, 4000, paintColour);
  }
  void paintTransport(DrawSurface& surface, int width, bool clear) override {
    calls.push_back("transport " + std::to_string(width) + " " + std::to_string(clear));
    surface.fillRect(262, 0, width, 32, transportColour);
  }
  void lButtonDown(int x, int y) override { record("down", x, y); }
  void lButtonDblClk(int x, int y) override { record("dblclk", x, y); }
  void mouseMove(int x, int y) override { record("move", x, y); }
  void lButtonUp(int x, int y) override { record("up", x, y); }
  // Kept apart from `calls`, which holds the left button's story alone.
  std::vector<std::pair<int, int>> rightButtonUps;
  void rButtonUp(int x, int y) override { rightButtonUps.push_back({x, y}); }
  bool allowClose = true;
  int closeQueries = 0;
  bool queryClose() override {
    ++closeQueries;
    return allowClose;
  }
  std::vector<std::pair<int, WheelDelta>> wheels;  // x and delta
  std::vector<ViewKey> keys;
  bool takesKeys = true;
  std::vector<std::pair<std::string, bool>> openedPlaylists;  // path, asked first
  void wheel(int x, WheelDelta delta) override { wheels.emplace_back(x, delta); }
  bool keyPressed(ViewKey key) override {
    keys.push_back(key);
    return takesKeys;
  }
  bool openPlaylist(const std::string& path, bool ask) override {
    openedPlaylists.emplace_back(path, ask);
    return true;
  }
  bool onCommand(Command id) override {
    if (!states.count(id)) return false;
    commandsRun.push_back(id);
    return true;
  }
  std::optional<CommandState> commandState(Command id) const override {
    auto it = states.find(id);
    if (it == states.end()) return std::nullopt;
    return it->second;
  }

 private:
  void record(const char* what, int x, int y) {
    calls.push_back(std::string(what) + " " + std::to_string(x) + " " + std::to_string(y));
  }
};

}  // namespace wc::test
