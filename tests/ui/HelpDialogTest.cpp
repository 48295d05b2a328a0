#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/HelpDialog.h"

namespace wc {
namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text must end with CR LF";
  return lines;
}

TEST(HelpText, TwentyFiveLinesEachEndedByCrLf) {
  const std::vector<std::string> lines = splitCrLf(helpText());
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[0], "Wavecrate");
  EXPECT_EQ(lines[2], "The left window shows available audio clips.  The right window shows the");
  EXPECT_EQ(lines[11], "that track.  Click the bottom of the track number to just play the outro of");
  EXPECT_EQ(lines[18], "When you are finished, use the File->Export CD command to export a");
  EXPECT_EQ(lines[24], "10 minutes to copy them all.");
  for (int empty : {1, 4, 8, 13, 15, 17, 21}) EXPECT_EQ(lines[empty], "") << empty;
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_EQ(line.find('\n'), std::string::npos);
  }
  EXPECT_EQ(helpText().size(), 1082u);
}

// Runs the box modally and, once it shows, acts on it; returns exec's result.
int runHelpBox(const std::function<void(CHelpDialog&)>& act, bool* checked = nullptr) {
  CHelpDialog dialog;
  dialog.setText(helpText());
  bool done = false;
  QTimer::singleShot(0, &dialog, [&] {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    if (checked) {
      QString shown = dialog.edit()->toPlainText();
      shown.replace("\n", "\r\n");
      EXPECT_EQ(shown.toStdString(), helpText());
      EXPECT_TRUE(dialog.edit()->isReadOnly());
      EXPECT_EQ(dialog.edit()->lineWrapMode(), QPlainTextEdit::NoWrap);
      EXPECT_EQ(dialog.edit()->document()->blockCount(), 26);  // 25 lines and the empty one after the last CR LF
      *checked = true;
    }
    act(dialog);
    done = true;
  });
  // Whatever happens, the box must not stay open.
  QTimer::singleShot(5000, &dialog, [&] {
    if (dialog.isVisible()) dialog.done(-1);
  });
  const int result = dialog.exec();
  EXPECT_TRUE(done);
  return result;
}

TEST(HelpDialog, ShowsTheTextReadOnlyAndClosesWithOk) {
  bool checked = false;
  EXPECT_EQ(runHelpBox([](CHelpDialog& d) { d.okButton()->click(); }, &checked), QDialog::Accepted);
  EXPECT_TRUE(checked);
}

TEST(HelpDialog, EscapeAndCloseButtonReturn) {
  EXPECT_EQ(runHelpBox([](CHelpDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }), QDialog::Rejected);
  EXPECT_EQ(runHelpBox([](CHelpDialog& d) { d.close(); }), QDialog::Rejected);
}

TEST(HelpDialog, TypingDoesNotChangeTheText) {
  runHelpBox([](CHelpDialog& d) {
    d.edit()->setFocus();
    QTest::keyClicks(d.edit(), "xyz");
    QTest::keyClick(d.edit(), Qt::Key_Backspace);
    QString shown = d.edit()->toPlainText();
    shown.replace("\n", "\r\n");
    EXPECT_EQ(shown.toStdString(), helpText());
    d.accept();
  });
}

TEST(HelpDialog, CaptionAndSize) {
  CHelpDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "About Wavecrate");
  EXPECT_EQ(dialog.size(), QSize(471, 432));
  EXPECT_TRUE(dialog.okButton()->isDefault());
  EXPECT_EQ(dialog.okButton()->text(), "OK");
}

}  // namespace
}  // namespace wc
