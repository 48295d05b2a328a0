// The "Edit Clip" dialog, the right button on the view's window, and the
// frame's question before closing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QValidator>
#include <memory>

#include "app/MainFrame.h"
#include "tests/ui/FakeViewClient.h"
#include "ui/qt/EditClipDialog.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

// Clip 5 of a station of 10 clips: four clips follow it.
ClipEditRequest requestFor(ClipAnnotation current = {classNumber(ClipClass::Chatter), "", "Clip #6 00:04", 0, 0}) {
  ClipEditRequest r;
  r.station = 4;
  r.clipIndex = 5;
  r.stationLabel = "Test FM";
  r.current = std::move(current);
  r.followingTitles = {"Clip #7", "Clip #8", "", "Clip #10"};
  return r;
}

// Closes the next modal message box, remembering its text.
struct BoxCloser {
  QString text;
  bool seen = false;
  void arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      text = box->text();
      seen = true;
      box->button(QMessageBox::Ok)->click();
    });
  }
};

TEST(EditClipDialog, ShowsTheClipAndItsClassesInTheirRowColours) {
  EditClipDialog dialog(requestFor({classNumber(ClipClass::ChatterFive), "Caf\xE9", "Title", 1, 2}));
  EXPECT_EQ(dialog.windowTitle(), "Edit Clip");
  QComboBox* classes = dialog.classBox();
  ASSERT_EQ(classes->count(), 8);
  EXPECT_EQ(classes->currentIndex(), 5);
  EXPECT_EQ(classes->itemText(0), "0 - Song");
  EXPECT_EQ(classes->itemText(1), "1 - Commercial");
  EXPECT_EQ(classes->itemData(0, Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 128));
  EXPECT_EQ(classes->itemData(7, Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 192));
  EXPECT_EQ(dialog.artistEdit()->text(), QString::fromUtf8("Caf\xC3\xA9"));
  EXPECT_EQ(dialog.introsBox()->value(), 1);
  EXPECT_EQ(dialog.outrosBox()->value(), 2);
  // Unchanged fields give back exactly what came in.
  const ClipEdit edit = dialog.edit();
  EXPECT_EQ(edit.annotation, dialog.edit().annotation);
  EXPECT_EQ(edit.annotation.artist, "Caf\xE9");
  EXPECT_TRUE(edit.followOnTitles.empty());
  EXPECT_TRUE(dialog.problem().isEmpty());
}

TEST(EditClipDialog, CountsCannotReachPastTheStation) {
  EditClipDialog dialog(requestFor());
  QSpinBox* intros = dialog.introsBox();
  QSpinBox* outros = dialog.outrosBox();
  EXPECT_EQ(intros->maximum(), 4);
  intros->setValue(3);
  EXPECT_EQ(outros->maximum(), 1);
  outros->setValue(5);
  EXPECT_EQ(outros->value(), 1);
  EXPECT_EQ(intros->maximum(), 3);
  // Typed digits beyond the limit are refused.
  QLineEdit* typed = intros->findChild<QLineEdit*>();
  ASSERT_NE(typed, nullptr);
  typed->selectAll();
  QTest::keyClicks(typed, "9");
  intros->interpretText();
  EXPECT_LE(intros->value() + outros->value(), 4);
  EXPECT_TRUE(dialog.problem().isEmpty());

  // Counts a broken catalogue file holds are brought back within the station.
  EditClipDialog broken(requestFor({classNumber(ClipClass::Song), "", "", 3, 7}));
  EXPECT_LE(broken.introsBox()->value() + broken.outrosBox()->value(), 4);
}

TEST(EditClipDialog, IntroAndOutroTitlesFollowTheCounts) {
  EditClipDialog dialog(requestFor());
  dialog.classBox()->setCurrentIndex(0);
  dialog.introsBox()->setValue(2);
  dialog.outrosBox()->setValue(1);
  QTableWidget* table = dialog.followOnTable();
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(0, 0)->text(), "Intro 1 (clip #7)");
  EXPECT_EQ(table->item(2, 0)->text(), "Outro 1 (clip #9)");
  ASSERT_NE(dialog.followOnTitleEdit(2), nullptr);
  EXPECT_EQ(dialog.followOnTitleEdit(2)->text(), "");
  EXPECT_EQ(dialog.followOnTitleEdit(2)->placeholderText(), "(no speech over outro)");

  dialog.followOnTitleEdit(0)->setText("Here is the news");
  // A title typed before the counts change is kept.
  dialog.introsBox()->setValue(1);
  dialog.introsBox()->setValue(2);
  EXPECT_EQ(dialog.followOnTitleEdit(0)->text(), "Here is the news");

  const ClipEdit edit = dialog.edit();
  EXPECT_EQ(edit.annotation.clipClass, classNumber(ClipClass::Song));
  EXPECT_EQ(edit.followOnTitles, (std::vector<RetitledClip>{{6, "Here is the news"}}));
  // Titles of clips the counts no longer reach are not handed back.
  dialog.introsBox()->setValue(0);
  dialog.outrosBox()->setValue(0);
  EXPECT_TRUE(dialog.edit().followOnTitles.empty());
}

TEST(EditClipDialog, TextFieldsHoldWhatTheRecordsCan) {
  EditClipDialog dialog(requestFor());
  QLineEdit* title = dialog.titleEdit();
  title->clear();
  QTest::keyClicks(title, QString(70, 'x'));
  EXPECT_EQ(title->text().size(), 63);
  const QValidator* validator = title->validator();
  ASSERT_NE(validator, nullptr);
  int pos = 0;
  QString euro = QString::fromUtf8("A\xE2\x82\xAC");  // the euro sign is not Latin-1
  EXPECT_EQ(validator->validate(euro, pos), QValidator::Invalid);
  QString tab = QStringLiteral("A\tB");
  EXPECT_EQ(validator->validate(tab, pos), QValidator::Invalid);
  QString latin1 = QString::fromUtf8("Caf\xC3\xA9");
  EXPECT_EQ(validator->validate(latin1, pos), QValidator::Acceptable);
  EXPECT_EQ(toClipText(latin1), "Caf\xE9");
}

TEST(EditClipDialog, OkIsRefusedUntilAClassIsChosen) {
  EditClipDialog dialog(requestFor({9, "", "", 0, 0}));  // a class the file should not hold
  EXPECT_EQ(dialog.classBox()->currentIndex(), -1);
  EXPECT_FALSE(dialog.problem().isEmpty());
  dialog.show();
  BoxCloser closer;
  closer.arm();
  dialog.accept();
  EXPECT_TRUE(closer.seen);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  dialog.classBox()->setCurrentIndex(3);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(EditClipDialog, RightButtonReleaseReachesTheClientAndLeavesTheLeftAlone) {
  StudioViewWidget widget;
  auto owned = std::make_unique<test::FakeViewClient>();
  test::FakeViewClient* client = owned.get();
  widget.setClient(std::move(owned));
  widget.resize(640, 200);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  QCoreApplication::processEvents();
  client->calls.clear();
  QWindow* window = widget.windowHandle();
  QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
  QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
  EXPECT_EQ(client->rightButtonUps, (std::vector<std::pair<int, int>>{{50, 60}}));
  for (const std::string& c : client->calls) EXPECT_EQ(c.rfind("move", 0), 0u) << c;
}

TEST(EditClipDialog, FrameStaysOpenWhileTheViewSaysSo) {
  CMainFrame frame;
  auto owned = std::make_unique<test::FakeViewClient>();
  test::FakeViewClient* client = owned.get();
  frame.view().setClient(std::move(owned));
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

  client->allowClose = false;
  EXPECT_FALSE(frame.close());
  EXPECT_TRUE(frame.isVisible());
  client->allowClose = true;
  EXPECT_TRUE(frame.close());
  EXPECT_FALSE(frame.isVisible());
  EXPECT_EQ(client->closeQueries, 2);
}

}  // namespace
}  // namespace wc
