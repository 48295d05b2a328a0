#include "ui/qt/QtViewDialogs.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <mutex>
#include <thread>

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/qt/EditClipDialog.h"
#include "ui/qt/QtTrackExportServices.h"

namespace wc {

namespace {
QString fromStd(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QString QtViewDialogs::captionOrAppName(const std::string& caption) {
  return caption.empty() ? QGuiApplication::applicationDisplayName() : fromStd(caption);
}

QString QtViewDialogs::filterString(const FileDialogRequest& request) {
  QString filter = fromStd(request.filterText);
  // Qt reads the patterns from the parentheses of a filter's text.
  if (!request.filterPattern.empty() && !filter.contains('('))
    filter = QStringLiteral("%1 (%2)").arg(filter, fromStd(request.filterPattern));
  return filter;
}

void QtViewDialogs::configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, FileMode mode) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setWindowTitle(fromStd(request.title));
  const QString filter = filterString(request);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(fromStd(request.defaultExtension));
  if (!request.initialPath.empty()) dialog.selectFile(QFile::decodeName(request.initialPath.c_str()));
  if (mode == FileMode::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
}

std::optional<std::string> QtViewDialogs::runFileDialog(const FileDialogRequest& request, FileMode mode) {
  QFileDialog dialog(parent_);
  configureFileDialog(dialog, request, mode);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return QFile::encodeName(files.first()).toStdString();
}

std::optional<std::string> QtViewDialogs::saveFileName(const FileDialogRequest& request) {
  return runFileDialog(request, FileMode::Save);
}

std::optional<std::string> QtViewDialogs::openFileName(const FileDialogRequest& request) {
  return runFileDialog(request, FileMode::Open);
}

void QtViewDialogs::messageBox(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, captionOrAppName(caption), fromStd(text), QMessageBox::Ok, parent_);
  box.exec();
}

SessionPrompts::Answer QtViewDialogs::askYesNoCancel(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, captionOrAppName(caption), fromStd(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

bool QtViewDialogs::askYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, captionOrAppName(caption), fromStd(text), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

namespace {

// What the worker last reported, handed to the window's thread.
class SharedProgress final : public BackgroundProgress {
 public:
  void report(const std::string& text, double fraction) override {
    std::lock_guard lock(mutex_);
    text_ = text;
    fraction_ = fraction;
  }
  std::pair<std::string, double> latest() {
    std::lock_guard lock(mutex_);
    return {text_, fraction_};
  }

 private:
  std::mutex mutex_;
  std::string text_;
  double fraction_ = 0.0;
};

}  // namespace

void QtViewDialogs::runInBackground(const std::string& title, const std::function<void(BackgroundProgress&)>& work,
                                    std::atomic<bool>& cancel) {
  constexpr int kSteps = 1000;
  SharedProgress progress;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    work(progress);
    finished = true;
  });

  QProgressDialog dialog(QString(), QStringLiteral("Cancel"), 0, kSteps, parent_);
  dialog.setWindowTitle(captionOrAppName(title));
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(0);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
    cancel = true;
    dialog.setLabelText(QStringLiteral("Cancelling..."));
  });
  // The window's own event loop runs meanwhile, so the sound timer and the
  // repaints go on; the worker is polled ten times a second.
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (finished) {
      loop.quit();
      return;
    }
    if (cancel) return;
    const auto [text, fraction] = progress.latest();
    dialog.setLabelText(fromStd(text));
    dialog.setValue(int(fraction * kSteps));
  });
  poll.start(100);
  dialog.show();
  loop.exec();
  worker.join();
}

std::optional<ClipEdit> QtViewDialogs::editClip(const ClipEditRequest& request) {
  EditClipDialog dialog(request, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.edit();
}

SessionPrompts::Answer QtViewDialogs::askChoice(const std::string& text, const std::string& caption,
                                                const std::string& yes, const std::string& no) {
  QMessageBox box(QMessageBox::Question, captionOrAppName(caption), fromStd(text), QMessageBox::NoButton, parent_);
  QAbstractButton* yesButton = box.addButton(fromStd(yes), QMessageBox::YesRole);
  QAbstractButton* noButton = no.empty() ? nullptr : box.addButton(fromStd(no), QMessageBox::NoRole);
  QAbstractButton* cancelButton = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(static_cast<QPushButton*>(yesButton));
  box.setEscapeButton(cancelButton);
  box.exec();
  if (box.clickedButton() == yesButton) return Answer::Yes;
  if (noButton && box.clickedButton() == noButton) return Answer::No;
  return Answer::Cancel;
}

TrackExportServices* QtViewDialogs::trackExport() {
  if (!trackExport_) trackExport_ = std::make_unique<QtTrackExportServices>(parent_, settings_);
  return trackExport_.get();
}

void QtViewDialogs::useSettings(QSettings* settings) {
  settings_ = settings;
  trackExport_.reset();
}

}  // namespace wc
