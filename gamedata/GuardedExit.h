#pragma once
// An exit that first hears whoever may object: the disc box's Cancel ends
// the program, but typed annotations not yet saved get the close question
// (Yes / No / Cancel) first, and its Cancel keeps the program running.
#include <functional>
#include <utility>

#include "gamedata/DiscLocator.h"

namespace wc {

// `mayExit` is asked at the time of the exit (it may save first); when it
// returns false, the exit returns without ending anything and the caller
// carries on as after a failed search.
inline ExitFunction exitUnlessObjected(std::function<bool()> mayExit, ExitFunction exit) {
  return [mayExit = std::move(mayExit), exit = std::move(exit)](int status) {
    if (!mayExit || mayExit()) exit(status);
  };
}

}  // namespace wc
