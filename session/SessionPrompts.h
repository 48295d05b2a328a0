#pragma once
// How the session asks the user: file choices, message boxes, questions,
// background work behind a progress window, the clip editor and the track
// export's services. The Qt window implements it; tests implement it with a
// fake that answers from a script, and a program without a window may too.
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "session/ClipEdit.h"

namespace wc {

class DetectionOfferMemory;
class TrackExportServices;
struct ExportResult;

struct FileDialogRequest {
  std::string title;
  std::string filterText;        // "Playlists (*.wcpl)"
  std::string filterPattern;     // "*.wcpl"
  std::string defaultExtension;  // without the dot; appended when the name has none
  std::string initialPath;
  bool overwritePrompt = false;
  bool pathMustExist = false;
  bool fileMustExist = false;
};

// What work on another thread tells its progress window. report() may be
// called from any thread.
class BackgroundProgress {
 public:
  virtual ~BackgroundProgress() = default;
  // `fraction` of the work (0..1) is done; `text` says what runs now.
  virtual void report(const std::string& text, double fraction) = 0;
};

// Modal dialogs owned by the program's window.
class SessionPrompts {
 public:
  virtual ~SessionPrompts() = default;
  // The chosen path, or nullopt when the user cancels.
  virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
  // A box with an OK button.
  virtual void messageBox(const std::string& text, const std::string& caption) = 0;
  // Export CD or Export Wave to `wavePath` failed: by default the command's
  // error box; a program without a window names the file and the reason.
  virtual void exportFailed(const ExportResult& result, const std::string& wavePath);
  // Yes / No / Cancel question.
  enum class Answer { Yes, No, Cancel };
  virtual Answer askYesNoCancel(const std::string& text, const std::string& caption) = 0;
  // A Yes / No question; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& caption) {
    return askYesNoCancel(text, caption) == Answer::Yes;
  }
  // Runs `work` on a worker thread behind a modal progress window with a
  // Cancel button, which sets `cancel`; the user-interface thread keeps
  // serving its timers meanwhile. Returns once `work` has ended. Without a
  // window the work runs on a thread of its own and is waited for.
  virtual void runInBackground(const std::string& title, const std::function<void(BackgroundProgress&)>& work,
                               std::atomic<bool>& cancel);
  // A question whose buttons read `yes`, `no` (left out when empty) and
  // Cancel; without labelled buttons it is a Yes / No / Cancel question.
  virtual Answer askChoice(const std::string& text, const std::string& caption, const std::string& /*yes*/,
                           const std::string& /*no*/) {
    return askYesNoCancel(text, caption);
  }
  // The Export Tracks command's dialog, encoders and progress window; null
  // where there are none (the command then does nothing).
  virtual TrackExportServices* trackExport() { return nullptr; }
  // A Yes / No question with a check box labelled `checkLabel` under it.
  struct CheckedAnswer {
    bool yes = false;
    bool checked = false;
  };
  virtual CheckedAnswer askYesNoWithCheckBox(const std::string& text, const std::string& caption,
                                             const std::string& /*checkLabel*/) {
    return {askYesNo(text, caption), false};
  }
  // Where the discs not to offer song detection for again are kept; null
  // where nothing is kept (the question is then asked on every start).
  virtual DetectionOfferMemory* detectionOfferMemory() { return nullptr; }
  // The "Edit Clip" dialog: the edit the user confirmed, or nullopt when the
  // user cancels (and where no editor exists).
  virtual std::optional<ClipEdit> editClip(const ClipEditRequest&) { return std::nullopt; }
};

}  // namespace wc
