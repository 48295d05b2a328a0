#pragma once
// Loading the audio a playlist track needs, on demand.
#include "playlist/Track.h"

namespace wc {

class GameData;

// The view's side of a load: its busy mark ("PLEASE WAIT") and the immediate
// repaints that show it while the load blocks the user-interface thread.
class LoadIndicator {
 public:
  virtual ~LoadIndicator() = default;
  virtual void setBusy(bool busy) = 0;
  virtual void repaintTransport(bool clear) = 0;
  virtual void repaintAll() = 0;
};

enum class LoadIndicatorMode {
  Silent = 0,     // no busy mark, no repaint
  Transport = 1,  // busy mark; repaint only the transport display first
  WholeView = 2,  // busy mark; repaint the whole view first
};

// Fills the track's empty audio slots: its song and, with `withIntroOutro`,
// its chosen intro (only if the song has intros) and outro (only if it has
// outros). Filled slots are left alone and nothing is read for them, so after
// changing an intro a caller empties that slot and calls this again. A failed
// load leaves its slot empty. `indicator` may be null for a silent load.
void loadTrackAudio(GameData& gameData, Track& track, bool withIntroOutro, LoadIndicatorMode mode,
                    LoadIndicator* indicator);

}  // namespace wc
