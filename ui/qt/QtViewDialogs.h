#pragma once
// SessionPrompts with Qt's own file dialog (not the desktop's, so it behaves the
// same everywhere and under test) and message boxes, modal to a window.
#include <QString>
#include <memory>

#include "session/SessionPrompts.h"
#include "session/TrackExportServices.h"

class QFileDialog;
class QMessageBox;
class QSettings;
class QWidget;

namespace wc {

class QtViewDialogs final : public SessionPrompts {
 public:
  explicit QtViewDialogs(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  void messageBox(const std::string& text, const std::string& caption) override;
  Answer askYesNoCancel(const std::string& text, const std::string& caption) override;
  bool askYesNo(const std::string& text, const std::string& caption) override;
  void runInBackground(const std::string& title, const std::function<void(BackgroundProgress&)>& work,
                       std::atomic<bool>& cancel) override;
  std::optional<ClipEdit> editClip(const ClipEditRequest& request) override;
  Answer askChoice(const std::string& text, const std::string& caption, const std::string& yes,
                   const std::string& no) override;
  TrackExportServices* trackExport() override;
  // Where dialogs keep their choices for the next run (may be null: for this
  // run only); it must outlive these dialogs.
  void useSettings(QSettings* settings);

  // Exposed so tests can check the set-up without running a modal loop.
  enum class FileMode { Open, Save };
  static void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, FileMode mode);
  // An empty caption stands for the application's name.
  static QString captionOrAppName(const std::string& caption);
  static QString filterString(const FileDialogRequest& request);

 private:
  std::optional<std::string> runFileDialog(const FileDialogRequest& request, FileMode mode);
  QWidget* parent_;
  QSettings* settings_ = nullptr;
  std::unique_ptr<TrackExportServices> trackExport_;
};

}  // namespace wc
