#pragma once
// Fakes of the session's outside world: prompts that answer from a script
// and an observer that records the playlist notices and the jobs' ends.
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/DetectionReport.h"
#include "session/SessionObserver.h"
#include "session/SessionPrompts.h"

namespace wc::test {

class FakeSessionPrompts final : public SessionPrompts {
 public:
  struct Box {
    std::string text, caption;
  };
  // Answers for the next file dialogs, in order; nullopt means Cancel. An
  // empty queue cancels.
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<Answer> questionAnswers;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<Box> boxes;
  std::vector<Box> questions;
  // Answers for the next "Edit Clip" dialogs; nullopt means Cancel. An empty
  // queue cancels.
  std::deque<std::optional<ClipEdit>> clipEdits;
  std::vector<ClipEditRequest> clipEditRequests;

  // Set by tests of Export Tracks.
  TrackExportServices* trackExportServices = nullptr;
  // The button labels of every askChoice question, in order.
  std::vector<std::pair<std::string, std::string>> choiceLabels;

  TrackExportServices* trackExport() override { return trackExportServices; }
  // A check box question takes its answer from questionAnswers; the box is
  // ticked when checkNextBox is set. offerMemory is the settings' list.
  bool checkNextBox = false;
  std::vector<std::string> checkLabels;
  CheckedAnswer askYesNoWithCheckBox(const std::string& text, const std::string& caption,
                                     const std::string& checkLabel) override {
    checkLabels.push_back(checkLabel);
    return {askYesNoCancel(text, caption) == Answer::Yes, std::exchange(checkNextBox, false)};
  }
  struct OfferMemory final : DetectionOfferMemory {
    std::set<std::string> discs;
    bool declined(const std::string& disc) override { return discs.count(disc) != 0; }
    void decline(const std::string& disc) override { discs.insert(disc); }
  } offerMemory;
  DetectionOfferMemory* detectionOfferMemory() override { return &offerMemory; }
  // Background work runs on its own thread as without a window; with
  // cancelBackground set the user has pressed Cancel before it starts.
  bool cancelBackground = false;
  std::vector<std::string> backgroundTitles;
  void runInBackground(const std::string& title, const std::function<void(BackgroundProgress&)>& work,
                       std::atomic<bool>& cancel) override {
    backgroundTitles.push_back(title);
    if (cancelBackground) cancel = true;
    SessionPrompts::runInBackground(title, work, cancel);
  }
  Answer askChoice(const std::string& text, const std::string& caption, const std::string& yes,
                   const std::string& no) override {
    choiceLabels.emplace_back(yes, no);
    return askYesNoCancel(text, caption);
  }
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override { return answer(request); }
  std::optional<std::string> openFileName(const FileDialogRequest& request) override { return answer(request); }
  void messageBox(const std::string& text, const std::string& caption) override { boxes.push_back({text, caption}); }
  Answer askYesNoCancel(const std::string& text, const std::string& caption) override {
    questions.push_back({text, caption});
    if (questionAnswers.empty()) return Answer::Cancel;
    const Answer a = questionAnswers.front();
    questionAnswers.pop_front();
    return a;
  }
  std::optional<ClipEdit> editClip(const ClipEditRequest& request) override {
    clipEditRequests.push_back(request);
    if (clipEdits.empty()) return std::nullopt;
    auto edit = clipEdits.front();
    clipEdits.pop_front();
    return edit;
  }

 private:
  std::optional<std::string> answer(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
  }
};

// Keeps the playlist notices the session sends, in order.
class RecordingSessionObserver final : public SessionObserver {
 public:
  // Every playlist status notice (path, modified), and every file used.
  std::vector<std::pair<std::string, bool>> playlistStatuses;
  std::vector<std::string> playlistFilesUsed;

  void playlistStatusChanged(const std::string& path, bool modified) override {
    playlistStatuses.emplace_back(path, modified);
  }
  void playlistFileUsed(const std::string& path) override { playlistFilesUsed.push_back(path); }
  // Every long job's end.
  std::vector<JobResult> jobs;
  void jobFinished(const JobResult& result) override { jobs.push_back(result); }
};

}  // namespace wc::test
