#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <memory>

#include "tests/ui/FakeViewClient.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

class StudioViewWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    widget = std::make_unique<StudioViewWidget>();
    auto owned = std::make_unique<test::FakeViewClient>();
    client = owned.get();
    widget->setClient(std::move(owned));
    widget->resize(640, 200);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
    QCoreApplication::processEvents();
    client->calls.clear();
  }

  std::unique_ptr<StudioViewWidget> widget;
  test::FakeViewClient* client = nullptr;
};

TEST_F(StudioViewWidgetTest, HostReportsTheClientArea) {
  EXPECT_EQ(widget->clientWidth(), 640);
  EXPECT_EQ(widget->clientHeight(), 200);
  EXPECT_EQ(widget->transportRect(), QRect(262, 0, 378, 32));
  EXPECT_TRUE(widget->testAttribute(Qt::WA_OpaquePaintEvent));
  EXPECT_NE(widget->focusPolicy() & Qt::ClickFocus, 0);
}

TEST_F(StudioViewWidgetTest, RepaintAllPaintsAtOnce) {
  widget->repaintAll();
  ASSERT_FALSE(client->calls.empty());
  EXPECT_EQ(client->calls.back(), "paintAll");
}

TEST_F(StudioViewWidgetTest, TransportRepaintDrawsOnlyTheTransport) {
  widget->repaintTransport(false);
  ASSERT_EQ(client->calls.size(), 1u);
  EXPECT_EQ(client->calls[0], "transport 378 0");
  widget->repaintTransport(true);
  EXPECT_EQ(client->calls.back(), "transport 378 1");
}

TEST_F(StudioViewWidgetTest, TransportPixelsChangeAndTheRestStays) {
  client->transportColour = rgb(0, 192, 0);
  client->paintColour = rgb(1, 2, 3);
  widget->repaintAll();
  client->paintColour = rgb(200, 0, 0);  // would show if the whole view repainted
  widget->repaintTransport(true);
  // What reached the window's backing store (grab() would paint anew).
  const QImage image = widget->screen()->grabWindow(widget->winId()).toImage();
  EXPECT_EQ(image.pixel(262, 0), qRgb(0, 192, 0));
  EXPECT_EQ(image.pixel(639, 31), qRgb(0, 192, 0));
  EXPECT_EQ(image.pixel(261, 0), qRgb(1, 2, 3));
  EXPECT_EQ(image.pixel(262, 32), qRgb(1, 2, 3));
}

TEST_F(StudioViewWidgetTest, LeftButtonEventsAreForwarded) {
  QWindow* window = widget->windowHandle();
  ASSERT_NE(window, nullptr);
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 40));
  QTest::mouseMove(window, QPoint(310, 50));
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(310, 50));
  QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
  QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
  std::vector<std::string> buttons;
  for (const std::string& c : client->calls)
    if (c.rfind("move", 0) != 0) buttons.push_back(c);
  EXPECT_EQ(buttons, (std::vector<std::string>{"down 300 40", "up 310 50"}));
  EXPECT_NE(std::find(client->calls.begin(), client->calls.end(), "move 310 50"), client->calls.end());
}

TEST_F(StudioViewWidgetTest, DoubleClickArrivesAfterTheFirstClick) {
  QTest::mouseDClick(widget->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
  std::vector<std::string> buttons;
  for (const std::string& c : client->calls)
    if (c.rfind("move", 0) != 0) buttons.push_back(c);
  EXPECT_EQ(buttons, (std::vector<std::string>{"down 20 30", "up 20 30", "dblclk 20 30", "up 20 30"}));
}

TEST_F(StudioViewWidgetTest, CaptureSendsMovesFromOutside) {
  widget->captureMouse();
  EXPECT_EQ(QWidget::mouseGrabber(), widget.get());
  widget->releaseMouse();
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  widget->releaseMouse();  // harmless when not captured
}

TEST(StudioViewWidget, ClientIsDestroyedWithTheWidget) {
  struct Probe : test::FakeViewClient {
    bool* destroyed;
    explicit Probe(bool* d) : destroyed(d) {}
    ~Probe() override { *destroyed = true; }
  };
  bool destroyed = false;
  {
    StudioViewWidget widget;
    widget.setClient(std::make_unique<Probe>(&destroyed));
  }
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace wc
