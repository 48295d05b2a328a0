// The main window as the desktop sees it: its placement with decorations,
// the view's sunken edge, the help box's scrolling, the icon and the desktop
// entry it belongs to. The RealWindowManager tests run only on an X server
// with a window manager (scripts/with-window-manager.sh sets one up).
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/AppIdentity.h"
#include "app/CentredShow.h"
#include "app/FramePlacement.h"
#include "app/HelpDialog.h"
#include "app/MainFrame.h"
#include "tests/ui/FakeViewClient.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

TEST(WindowRequest, WholeFrameIsCentredOnTheScreenItIsOn) {
  struct Case {
    ScreenRect screen;
    FrameMargins margins;
    WindowRequest expected;
  };
  const Case cases[] = {
      // No window manager: the client area is the whole window.
      {{0, 0, 1024, 768}, {0, 0, 0, 0}, {64, 64, 896, 640}},
      // Decorations come out of the 896 x 640, not on top of it.
      {{0, 0, 1024, 768}, {1, 23, 1, 4}, {64, 64, 894, 613}},
      {{0, 0, 1920, 1080}, {4, 30, 4, 4}, {512, 220, 888, 606}},
      // A primary screen right of or below another one.
      {{1280, 0, 1024, 768}, {1, 23, 1, 4}, {1344, 64, 894, 613}},
      {{-1024, 200, 1024, 768}, {0, 0, 0, 0}, {-960, 264, 896, 640}},
      // Smaller than the window: the offsets truncate toward zero.
      {{100, 50, 801, 601}, {0, 0, 0, 0}, {53, 31, 896, 640}},
      // Absurd decorations leave a one-pixel client area, never less.
      {{0, 0, 1024, 768}, {500, 700, 500, 0}, {64, 64, 1, 1}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(windowRequestFor(c.screen, c.margins), c.expected) << c.screen.x << "," << c.screen.y;
}

class FrameWithView : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<CMainFrame>();
    auto owned = std::make_unique<test::FakeViewClient>();
    client = owned.get();
    frame->view().setClient(std::move(owned));
  }
  std::unique_ptr<CMainFrame> frame;
  test::FakeViewClient* client = nullptr;
};

TEST_F(FrameWithView, ViewSitsInsideASunkenTwoPixelEdge) {
  frame->placeOnDesktop(QSize(1024, 768));
  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  StudioViewWidget& view = frame->view();
  const QWidget* edge = frame->centralWidget();
  ASSERT_NE(edge, &view);
  // The client area starts inside the edge and is what the view reports.
  EXPECT_EQ(view.geometry(), edge->rect().adjusted(2, 2, -2, -2));
  EXPECT_EQ(view.clientWidth(), edge->width() - 4);
  EXPECT_EQ(view.clientHeight(), edge->height() - 4);

  const QImage image = frame->grab().toImage();
  const QPoint topLeft = edge->mapTo(frame.get(), QPoint(0, 0));
  const QPoint bottomRight = edge->mapTo(frame.get(), QPoint(edge->width() - 1, edge->height() - 1));
  const QPalette& palette = edge->palette();
  const int midX = topLeft.x() + edge->width() / 2;
  const int midY = topLeft.y() + edge->height() / 2;
  struct Pixel {
    QPoint at;
    QColor expected;
  };
  const Pixel pixels[] = {
      {{midX, topLeft.y()}, palette.dark().color()},  // outer line above
      {{midX, topLeft.y() + 1}, palette.shadow().color()},
      {{topLeft.x(), midY}, palette.dark().color()},  // and to the left
      {{topLeft.x() + 1, midY}, palette.shadow().color()},
      {{midX, bottomRight.y()}, palette.light().color()},  // outer line below
      {{midX, bottomRight.y() - 1}, palette.midlight().color()},
      {{bottomRight.x(), midY}, palette.light().color()},  // and to the right
      {{bottomRight.x() - 1, midY}, palette.midlight().color()},
      // The view's own first and last pixels, painted by the view.
      {topLeft + QPoint(2, 2), QColor(10, 20, 30)},
      {bottomRight - QPoint(2, 2), QColor(10, 20, 30)},
  };
  // Compared as 8-bit colours, as the image stores them.
  for (const Pixel& p : pixels)
    EXPECT_EQ(QColor(image.pixel(p.at)).name(), p.expected.name()) << p.at.x() << "," << p.at.y();
  // The edge's colours differ, or the checks above would prove nothing.
  EXPECT_NE(palette.dark().color(), palette.light().color());
}

TEST_F(FrameWithView, MouseReachesTheViewInItsOwnClientCoordinates) {
  frame->placeOnDesktop(QSize(1024, 768));
  frame->show();
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  // Through the window, routed as real input is: the edge's pixels are not
  // the view's, its first client pixel is (0, 0).
  QWindow* window = frame->windowHandle();
  const QPoint origin = frame->view().mapTo(frame.get(), QPoint(0, 0));
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, origin - QPoint(1, 1));
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, origin + QPoint(5, 6));
  std::vector<std::string> buttons;
  for (const std::string& call : client->calls)
    if (call.starts_with("down") || call.starts_with("up")) buttons.push_back(call);
  const std::vector<std::string> expected = {"down 5 6", "up 5 6"};
  EXPECT_EQ(buttons, expected);
}

TEST(HelpBoxScrolling, LongLinesScrollWithTheCaretWithoutAScrollBar) {
  CHelpDialog dialog;
  dialog.setText(helpText());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QPlainTextEdit* edit = dialog.edit();
  QScrollBar* horizontal = edit->horizontalScrollBar();
  // The longest lines are wider than the field: there is somewhere to scroll.
  ASSERT_GT(horizontal->maximum(), 0);
  EXPECT_FALSE(horizontal->isVisible());
  // The caret at the end of a long line (the third) scrolls the text.
  QTextCursor cursor(edit->document()->findBlockByNumber(2));
  cursor.movePosition(QTextCursor::EndOfBlock);
  edit->setTextCursor(cursor);
  edit->ensureCursorVisible();
  EXPECT_GT(horizontal->value(), 0);
  EXPECT_FALSE(horizontal->isVisible());
}

TEST(ApplicationIdentity, NamesItsDesktopEntryAndCarriesTheBuiltIcon) {
  setApplicationIdentity();
  // Compositors look the entry up by this name: the packaged file must exist.
  const QString entry =
      QStringLiteral(WAVECRATE_SOURCE_DIR "/packaging/%1.desktop").arg(QGuiApplication::desktopFileName());
  EXPECT_TRUE(QFile::exists(entry)) << entry.toStdString();
  const QIcon icon = QGuiApplication::windowIcon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
  // Drawn, not blank: the SVG's pictures have opaque pixels.
  const QImage picture = icon.pixmap(48, 48).toImage();
  ASSERT_EQ(picture.size(), QSize(48, 48));
  EXPECT_GT(qAlpha(picture.pixel(24, 24)), 0);
  EXPECT_EQ(QGuiApplication::applicationName(), "Wavecrate");
}

// Under a real window manager the frame's decorations are known only after
// the window is mapped; the whole window must still end up 896 x 640 and
// centred on the primary screen, wherever that screen is.
TEST_F(FrameWithView, RealWindowManagerFrameIsCentredWithItsDecorations) {
  if (!std::getenv("WAVECRATE_WINDOW_MANAGER")) GTEST_SKIP() << "needs an X server with a window manager";
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect desktop = screen->geometry();
  if (const char* origin = std::getenv("WAVECRATE_PRIMARY_ORIGIN")) {
    // The script moved the primary screen away from the desktop's origin.
    EXPECT_EQ(QStringLiteral("%1,%2").arg(desktop.x()).arg(desktop.y()), QString::fromLatin1(origin));
  }
  showCentred(*frame, desktop);
  const QRect expected(desktop.x() + (desktop.width() - 896) / 2, desktop.y() + (desktop.height() - 640) / 2, 896, 640);
  // The window manager adds its decorations once the window is mapped.
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->frameGeometry() != frame->geometry(); }, 3000));
  const bool placed = QTest::qWaitFor([&] { return frame->frameGeometry() == expected; }, 3000);
  EXPECT_TRUE(placed) << "frame " << frame->frameGeometry().x() << "," << frame->frameGeometry().y() << " "
                      << frame->frameGeometry().width() << "x" << frame->frameGeometry().height();
  EXPECT_EQ(frame->geometry().size(), expected.size().shrunkBy(frame->windowHandle()->frameMargins()));
  // Once placed, the user may move the window: it is not put back.
  const QPoint moved = expected.topLeft() + QPoint(40, 30);
  frame->move(moved);
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->frameGeometry().topLeft() == moved; }, 3000));
  QTest::qWait(200);
  EXPECT_EQ(frame->frameGeometry().topLeft(), moved);
}

}  // namespace
}  // namespace wc
