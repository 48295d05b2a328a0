#pragma once
// A fake of the view's window: it records repaints and mouse capture.
#include <functional>
#include <string>
#include <vector>

#include "ui/ViewServices.h"

namespace wc::test {

class FakeViewHost final : public ViewHost {
 public:
  int width = 896;
  int height = 560;
  int invalidations = 0;
  int fullRepaints = 0;
  int transportRepaints = 0;
  int rectRepaints = 0;
  bool mouseCaptured = false;
  // Every repaint in order: "all", "transport:clear", "transport", "rect".
  std::vector<std::string> events;
  // Called on repaintAll / repaintTransport, e.g. to paint into a surface.
  std::function<void()> onRepaintAll;
  std::function<void(bool)> onRepaintTransport;

  int clientWidth() const override { return width; }
  int clientHeight() const override { return height; }
  void invalidate() override { ++invalidations; }
  void repaintAll() override {
    ++fullRepaints;
    events.push_back("all");
    if (onRepaintAll) onRepaintAll();
  }
  void repaintTransport(bool clear) override {
    ++transportRepaints;
    events.push_back(clear ? "transport:clear" : "transport");
    if (onRepaintTransport) onRepaintTransport(clear);
  }
  void repaintRect(int, int, int, int) override {
    ++rectRepaints;
    events.push_back("rect");
  }
  // The label every context menu picks; no item of that label dismisses it.
  std::string menuPick;
  std::optional<size_t> showContextMenu(const std::vector<TrackMenuItem>& items, int, int) override {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].label == menuPick) return i;
    return std::nullopt;
  }
  void captureMouse() override { mouseCaptured = true; }
  void releaseMouse() override { mouseCaptured = false; }
};

}  // namespace wc::test
