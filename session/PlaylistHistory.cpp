#include "session/PlaylistHistory.h"

#include <utility>

namespace wc {

PlaylistHistory::PlaylistHistory(Playlist& playlist, std::function<DocumentMark()> document, size_t depth)
    : playlist_(playlist), document_(std::move(document)), depth_(depth) {
  const DocumentMark mark = document_();
  current_ = {playlist_.records(), mark.path, mark.saved};
  edits_ = playlist_.edited.connect([this] { onEdited(); });
}

void PlaylistHistory::onEdited() {
  if (restoring_) return;
  if (groupDepth_ > 0) {
    groupEdited_ = true;  // one snapshot when the group ends
    return;
  }
  commit({});
}

void PlaylistHistory::commit(const std::string& name) {
  std::vector<PlaylistRecord> now = playlist_.records();
  // Edits that cancel out (a tool that found nothing to do) are no step.
  if (now == current_.records) {
    refreshMark();
    return;
  }
  std::string stepName = name.empty() ? describePlaylistEdit(current_.records, now) : name;
  undo_.push_back({std::move(current_), std::move(stepName)});
  if (undo_.size() > depth_) undo_.pop_front();
  redo_.clear();
  const DocumentMark mark = document_();
  current_ = {std::move(now), mark.path, mark.saved};
  if (mark.saved) clearSavedMarks();
}

void PlaylistHistory::refreshMark() {
  const DocumentMark mark = document_();
  if (mark.path != current_.path) {
    // Saved under a new name: the same document's earlier states go with it.
    for (auto* steps : {&undo_, &redo_})
      for (Step& step : *steps)
        if (step.state.path == current_.path) step.state.path = mark.path;
    current_.path = mark.path;
  }
  if (mark.saved) clearSavedMarks();
  current_.saved = mark.saved;
}

void PlaylistHistory::clearSavedMarks() {
  for (auto* steps : {&undo_, &redo_})
    for (Step& step : *steps) step.state.saved = false;
}

void PlaylistHistory::documentSaved() {
  if (groupDepth_ == 0 && !restoring_) refreshMark();
}

std::optional<PlaylistState> PlaylistHistory::undo() {
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back({std::move(current_), step.name});
  current_ = std::move(step.state);
  return current_;
}

std::optional<PlaylistState> PlaylistHistory::redo() {
  if (redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back({std::move(current_), step.name});
  current_ = std::move(step.state);
  return current_;
}

PlaylistHistory::Group::Group(PlaylistHistory& history, std::string name) : history_(history) {
  if (history_.groupDepth_++ == 0) {
    history_.groupName_ = std::move(name);
    history_.groupEdited_ = false;
  }
}

PlaylistHistory::Group::~Group() {
  if (--history_.groupDepth_ != 0) return;
  if (std::exchange(history_.groupEdited_, false))
    history_.commit(history_.groupName_);
  else
    history_.refreshMark();
}

std::string describePlaylistEdit(const std::vector<PlaylistRecord>& before, const std::vector<PlaylistRecord>& after) {
  if (after.size() == before.size() + 1) return "Add Track";
  if (after.size() + 1 == before.size()) return "Remove Track";
  if (after.size() != before.size()) return "Edit Playlist";
  bool sameClips = true;
  bool introChanged = false;
  for (size_t i = 0; i < after.size(); ++i) {
    sameClips = sameClips && after[i].station == before[i].station && after[i].clipIndex == before[i].clipIndex;
    introChanged = introChanged || after[i].intro != before[i].intro;
  }
  if (!sameClips) return "Move Track";
  return introChanged ? "Change Intro" : "Change Outro";
}

}  // namespace wc
