#pragma once
// Undo and Redo of the playlist: snapshots of its content, one per user
// action. Every edit made through the Playlist is recorded by itself, so a
// new way of editing needs nothing extra; a Group makes all edits until it
// ends one step (a tool run, New, Open). Each snapshot also carries the
// document's file and whether that file holds it, so stepping back to what
// was saved leaves nothing unsaved.
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Signal.h"
#include "playlist/Playlist.h"

namespace wc {

struct PlaylistState {
  std::vector<PlaylistRecord> records;
  std::string path;    // the playlist's file, empty for none
  bool saved = false;  // that file holds exactly these records
};

// What the document says of its file at the moment.
struct DocumentMark {
  std::string path;
  bool saved = false;
};

class PlaylistHistory {
 public:
  static constexpr size_t kDefaultDepth = 100;

  // `document` is asked whenever a step is taken or the file changes.
  PlaylistHistory(Playlist& playlist, std::function<DocumentMark()> document, size_t depth = kDefaultDepth);
  PlaylistHistory(const PlaylistHistory&) = delete;
  PlaylistHistory& operator=(const PlaylistHistory&) = delete;

  class Group;
  class Restoring;

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  // The name of the step Undo (Redo) would take back ("Pad", "Move Track"),
  // empty when there is none.
  std::string undoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string redoName() const { return redo_.empty() ? std::string() : redo_.back().name; }

  // Takes a step back (forward): the state the playlist must be given now,
  // under a Restoring scope. Nullopt when there is nothing to take.
  std::optional<PlaylistState> undo();
  std::optional<PlaylistState> redo();

  // The document's file now holds the playlist, or the playlist has a new
  // file: the mark of every snapshot follows. Within a group this waits for
  // the group's end.
  void documentSaved();

 private:
  struct Step {
    PlaylistState state;  // before the step for Undo, after it for Redo
    std::string name;
  };

  void onEdited();
  void commit(const std::string& name);
  void refreshMark();
  void clearSavedMarks();

  Playlist& playlist_;
  std::function<DocumentMark()> document_;
  size_t depth_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  PlaylistState current_;
  int groupDepth_ = 0;
  std::string groupName_;
  bool groupEdited_ = false;
  bool restoring_ = false;
  Subscription edits_;
};

// Every edit while the outermost group lives is one step named after it.
class PlaylistHistory::Group {
 public:
  Group(PlaylistHistory& history, std::string name);
  ~Group();
  Group(const Group&) = delete;
  Group& operator=(const Group&) = delete;

 private:
  PlaylistHistory& history_;
};

// Edits made while the playlist is given a state from undo() or redo() are
// not steps of their own; when it ends, the snapshot is taken again, since a
// clip the catalogue no longer holds may have been left out.
class PlaylistHistory::Restoring {
 public:
  explicit Restoring(PlaylistHistory& history) : history_(history) { history_.restoring_ = true; }
  ~Restoring() {
    history_.restoring_ = false;
    history_.current_.records = history_.playlist_.records();
  }
  Restoring(const Restoring&) = delete;
  Restoring& operator=(const Restoring&) = delete;

 private:
  PlaylistHistory& history_;
};

// A name for an edit nobody named, from what it changed: "Add Track",
// "Remove Track", "Move Track", "Change Intro", "Change Outro" or
// "Edit Playlist".
std::string describePlaylistEdit(const std::vector<PlaylistRecord>& before, const std::vector<PlaylistRecord>& after);

}  // namespace wc
