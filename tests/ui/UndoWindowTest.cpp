// Ctrl+Z and Ctrl+Shift+Z pressed on the real window take a tool run back and
// forth. Runs only under scripts/with-window-manager.sh, where keys arrive as
// a user's do.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <memory>

#include "app/MainFrame.h"
#include "base/CRandom.h"
#include "gamedata/GameData.h"
#include "support/GameDataFakes.h"
#include "support/TestDisc.h"
#include "ui/qt/StudioViewAdapter.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc::test {
namespace {

TEST(UndoInTheWindow, RealWindowManagerCtrlZTakesAToolRunBackAndForth) {
  if (!std::getenv("WAVECRATE_WINDOW_MANAGER")) GTEST_SKIP() << "needs an X server with a window manager";
  TestDisc disc = TestDisc::cache();
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  GameData gameData(realFileSystem(), disc.directory(), mounts, prompts, exits.function());
  gameData.loadCatalogue();
  CRandom random;
  auto frame = std::make_unique<CMainFrame>();
  auto session = std::make_unique<StudioSession>(gameData, frame->view().dialogs(), random, nullptr);
  auto adapter = std::make_unique<StudioViewAdapter>(*session, frame->view());
  adapter->view().showStation(testdisc::kMusic);
  frame->view().setClient(std::move(adapter));
  frame->placeOnDesktop(QSize(1024, 768));
  frame->show();
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

  ASSERT_TRUE(frame->executeCommand(Command::AddAllSongs));
  const auto added = session->playlist().records();
  ASSERT_FALSE(added.empty());
  EXPECT_EQ(frame->action(Command::EditUndo)->text(), "&Undo Add all Songs");

  QTest::keyClick(frame->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return session->playlist().empty(); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->action(Command::EditRedo)->text() == "&Redo Add all Songs"; }));
  QTest::keyClick(frame->windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return session->playlist().records() == added; }));

  frame->view().showStatusMessage("Exported 2 tracks");  // a job's result stays in the message pane
  EXPECT_EQ(frame->messageText(), "Exported 2 tracks");
  frame.reset();  // the view goes before the session it watches
}

}  // namespace
}  // namespace wc::test
