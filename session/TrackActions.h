#pragma once
// What can be done to one playlist track on its own, as its context menu
// offers it: play from it, remove it, move it one place, or pick its intro or
// outro. The session builds the menu and runs the choice, so the view only
// shows the items and hands back the one picked.
#include <cstdint>
#include <string>

namespace wc {

enum class TrackActionKind { PlayFromHere, Remove, MoveUp, MoveDown, ChooseIntro, ChooseOutro };

struct TrackAction {
  TrackActionKind kind = TrackActionKind::PlayFromHere;
  int32_t choice = 0;  // the intro or outro picked, for ChooseIntro and ChooseOutro
  bool operator==(const TrackAction&) const = default;
};

struct TrackMenuItem {
  std::string label;
  TrackAction action;
  std::string submenu;  // empty: the menu itself; items naming the same submenu sit together in it
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
};

}  // namespace wc
