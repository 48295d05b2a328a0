#pragma once
// What the session tells whoever shows it: the view, the window's title and
// command states, the media keys. Any number may listen; each overrides only
// what it needs.
#include <string>

#include "session/JobResult.h"

namespace wc {

// How a flow wants the playlist pane to stand while it edits or plays the
// playlist; the view keeps the scroll position, the session knows the flow.
enum class PlaylistScroll {
  Top,     // the playlist was emptied or is filled from its start
  Keep,    // a tool starts that puts the pane back where it stands now
  Return,  // that tool ended: back to where Keep found the pane
  Reveal,  // entry `index` was inserted: scroll down just far enough to show it
  Place,   // entry `index` is being exported: it becomes the first entry shown
};

class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  // What is shown changed; the next paint pass may show it.
  virtual void showChanges() {}
  // A long flow holds the event loop: show everything now.
  virtual void showNow() {}
  // The transport display's text changed and must show now (cleared first
  // with `clear`).
  virtual void showTransport(bool /*clear*/) {}
  // The catalogue was edited, imported, detected or reloaded: the clip lists
  // follow it.
  virtual void catalogueChanged() {}
  virtual void playlistScroll(PlaylistScroll /*how*/, int /*index*/) {}
  // Something a command's enable state depends on may have changed.
  virtual void commandStatesChanged() {}
  // The playlist's file (empty: none) or its mark of unsaved changes is not
  // what it was.
  virtual void playlistStatusChanged(const std::string& /*path*/, bool /*modified*/) {}
  // The playlist was opened from or saved to `path`.
  virtual void playlistFileUsed(const std::string& /*path*/) {}
  // A long job (an export, the copy, the detection) has ended.
  virtual void jobFinished(const JobResult& /*result*/) {}
};

}  // namespace wc
