#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "ui/qt/QtViewDialogs.h"

namespace wc {
namespace {

FileDialogRequest playlistRequest() {
  FileDialogRequest r;
  r.title = "Save playlist";
  r.filterText = "Playlists (*.wcpl)";
  r.filterPattern = "*.wcpl";
  r.defaultExtension = "wcpl";
  r.overwritePrompt = true;
  return r;
}

TEST(QtViewDialogs, SaveDialogSetUp) {
  QFileDialog dialog;
  QtViewDialogs::configureFileDialog(dialog, playlistRequest(), QtViewDialogs::FileMode::Save);
  EXPECT_EQ(dialog.windowTitle(), "Save playlist");
  EXPECT_EQ(dialog.nameFilters(), QStringList{"Playlists (*.wcpl)"});
  EXPECT_EQ(dialog.defaultSuffix(), "wcpl");
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));

  FileDialogRequest quiet = playlistRequest();
  quiet.overwritePrompt = false;
  QtViewDialogs::configureFileDialog(dialog, quiet, QtViewDialogs::FileMode::Save);
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtViewDialogs, OpenDialogWantsAnExistingFile) {
  FileDialogRequest r = playlistRequest();
  r.fileMustExist = true;
  QFileDialog dialog;
  QtViewDialogs::configureFileDialog(dialog, r, QtViewDialogs::FileMode::Open);
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}

TEST(QtViewDialogs, FilterTextGainsItsPatternWhenItLacksOne) {
  FileDialogRequest r;
  r.filterText = "Wave files";
  r.filterPattern = "*.wav";
  EXPECT_EQ(QtViewDialogs::filterString(r), "Wave files (*.wav)");
  EXPECT_EQ(QtViewDialogs::filterString(playlistRequest()), "Playlists (*.wcpl)");
}

// Answers the next message box, recording its caption and text.
struct BoxAnswerer {
  QString caption, text;
  bool seen = false;
  void answer(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      caption = box->windowTitle();
      text = box->text();
      seen = true;
      box->button(button)->click();
    });
  }
};

TEST(QtViewDialogs, MessageBoxCaptionDefaultsToTheApplicationName) {
  const QString oldName = QApplication::applicationName();
  QApplication::setApplicationName("Wavecrate");
  QtViewDialogs dialogs(nullptr);
  BoxAnswerer answerer;
  answerer.answer(QMessageBox::Ok);
  dialogs.messageBox("Could not write", "");
  EXPECT_TRUE(answerer.seen);
  EXPECT_EQ(answerer.caption, "Wavecrate");
  EXPECT_EQ(answerer.text, "Could not write");

  answerer.answer(QMessageBox::Ok);
  dialogs.messageBox("Bad file", "Error");
  EXPECT_EQ(answerer.caption, "Error");
  QApplication::setApplicationName(oldName);
}

TEST(QtViewDialogs, YesNoCancelAnswers) {
  QtViewDialogs dialogs(nullptr);
  BoxAnswerer answerer;
  answerer.answer(QMessageBox::No);
  EXPECT_EQ(dialogs.askYesNoCancel("Save?", "Wavecrate"), SessionPrompts::Answer::No);
  answerer.answer(QMessageBox::Yes);
  EXPECT_EQ(dialogs.askYesNoCancel("Save?", "Wavecrate"), SessionPrompts::Answer::Yes);
  answerer.answer(QMessageBox::Cancel);
  EXPECT_EQ(dialogs.askYesNoCancel("Save?", "Wavecrate"), SessionPrompts::Answer::Cancel);
}

}  // namespace
}  // namespace wc

namespace wc {
namespace {

// The progress window shows what the worker reports while the event loop
// (and so the sound timer) keeps running, and its Cancel reaches the work.
TEST(QtViewDialogs, BackgroundWorkShowsProgressKeepsTheLoopAndCancels) {
  QWidget parent;
  QtViewDialogs dialogs(&parent);
  std::atomic<bool> cancel{false};
  std::atomic<bool> halfway{false};
  int ticks = 0;
  QTimer tick;  // stands for the 5 ms sound timer
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start(5);
  QString shownLabel;
  std::function<void()> pressCancel = [&] {
    auto* window = parent.findChild<QProgressDialog*>();
    if (!window || !halfway || window->labelText().isEmpty()) {
      QTimer::singleShot(20, pressCancel);
      return;
    }
    shownLabel = window->labelText();
    window->findChild<QPushButton*>()->click();
  };
  QTimer::singleShot(20, pressCancel);
  const auto start = std::chrono::steady_clock::now();
  dialogs.runInBackground(
      "Detect Songs",
      [&](BackgroundProgress& progress) {
        progress.report("Analysing Radio X...", 0.5);
        halfway = true;
        // Ends when cancelled, or after ten seconds so a failure cannot hang.
        while (!cancel && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
      },
      cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(shownLabel, "Analysing Radio X...");
  EXPECT_GT(ticks, 5);
}

}  // namespace
}  // namespace wc
