// The real view in its Qt window, on a test disc: what reaches the screen and
// what the mouse does through Qt's event delivery.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "base/CRandom.h"
#include "gamedata/GameData.h"
#include "playlist/Voice.h"
#include "support/GameDataFakes.h"
#include "support/TestDisc.h"
#include "ui/qt/StudioViewAdapter.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc::test {
namespace {

class ViewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gameData = std::make_unique<GameData>(realFileSystem(), disc.directory(), mounts, prompts, exits.function());
    gameData->loadCatalogue();
    widget.resize(896, 560);
    session = std::make_unique<StudioSession>(*gameData, widget.dialogs(), random, nullptr);
    auto adapter = std::make_unique<StudioViewAdapter>(*session, widget);
    view = &adapter->view();
    widget.setClient(std::move(adapter));
    view->showStation(testdisc::kMusic);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  }
  QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

  TestDisc disc = TestDisc::cache();
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
  CRandom random;
  std::unique_ptr<StudioSession> session;  // outlives the widget, whose view watches it
  StudioViewWidget widget;
  StudioView* view = nullptr;
};

TEST_F(ViewWindowTest, TheFirstPaintShowsBannerRowsTransportAndGreySlots) {
  const QImage image = widget.grab().toImage();
  EXPECT_EQ(at(image, 3, 3), QColor(96, 144, 96));         // left arrow box
  EXPECT_EQ(at(image, 30, 3), QColor(128, 192, 128));      // banner middle
  EXPECT_EQ(at(image, 28, 10), QColor(0, 0, 0));           // line beside the arrow box
  EXPECT_EQ(at(image, 1, 29 + 2), QColor(255, 128, 128));  // song row's preview box
  EXPECT_EQ(at(image, 257, 100), QColor(0, 0, 0));         // pane divider: black,
  EXPECT_EQ(at(image, 258, 100), QColor(255, 255, 255));   // white,
  EXPECT_EQ(at(image, 270, 5), QColor(0, 0, 0));           // transport background
  EXPECT_EQ(at(image, 264, 41), QColor(128, 128, 128));    // an empty slot's number box
  EXPECT_EQ(at(image, 400, 38 + 60), QColor(0, 0, 0));     // the gap below it
}

TEST_F(ViewWindowTest, AClipDraggedIntoThePlaylistAppearsAsASongEntry) {
  const QPoint row(100, 29 + 8);  // song A
  const QPoint slot(600, 38 + 30);
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, row);
  QTest::mouseMove(&widget, QPoint(400, 50));
  QTest::mouseMove(&widget, slot);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, slot);
  ASSERT_EQ(session->playlist().trackCount(), 1);
  EXPECT_NE(session->playlist().first()->songAudio, nullptr);

  QTest::qWait(20);
  const QImage image = widget.grab().toImage();
  EXPECT_EQ(at(image, 262 + 600, 38 + 8), QColor(224, 112, 112));   // intro line
  EXPECT_EQ(at(image, 262 + 33, 38 + 17), QColor(128, 192, 128));   // label box ("Test FM")
  EXPECT_EQ(at(image, 262 + 600, 38 + 40), QColor(255, 128, 128));  // song band
  EXPECT_EQ(at(image, 262 + 3, 38 + 3), QColor(128, 128, 255));     // number box
}

TEST_F(ViewWindowTest, ADoubleClickOnARowPreviewsItWithoutAddingATrack) {
  QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 29 + 17 * 3 + 8));
  ASSERT_NE(session->transport().existingVoice(), nullptr);
  ASSERT_NE(session->transport().existingVoice()->track(), nullptr);
  EXPECT_TRUE(session->transport().existingVoice()->track()->isPreview());
  EXPECT_EQ(session->transport().existingVoice()->track()->clipIndex, testdisc::kChatter2);
  EXPECT_EQ(session->playlist().trackCount(), 0);
}

// The menu is a popup window of its own, clicked where it shows.
TEST_F(ViewWindowTest, RealWindowManagerATracksMenuRemovesIt) {
  if (!std::getenv("WAVECRATE_WINDOW_MANAGER")) GTEST_SKIP() << "needs an X server with a window manager";
  for (int clip : {testdisc::kSongs[0], testdisc::kChatter2})
    session->playlist().append(createTrack(session->catalogue(), testdisc::kMusic, clip));
  QTimer poll;  // stops after five seconds without a menu: the checks below fail
  int polls = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (++polls > 100) poll.stop();
    if (!menu || !menu->isVisible()) return;
    poll.stop();
    for (QAction* action : menu->actions())
      if (action->text() == QStringLiteral("Remove Track"))
        return QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
    menu->close();
  });
  poll.start(50);
  QTest::mouseClick(&widget, Qt::RightButton, Qt::NoModifier, QPoint(600, 38 + 65 + 30));  // the second row
  ASSERT_EQ(session->playlist().trackCount(), 1);
  EXPECT_EQ(session->playlist().first()->clipIndex, testdisc::kSongs[0]);
}

}  // namespace
}  // namespace wc::test
