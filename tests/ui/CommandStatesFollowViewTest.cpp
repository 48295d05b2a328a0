// The real view in the real frame: after every kind of change a command's
// enable state depends on, the menu and toolbar actions agree with what the
// commands report, and no idle pass of the event loop was needed for it.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <functional>
#include <vector>

#include "app/MainFrame.h"
#include "base/CRandom.h"
#include "gamedata/GameData.h"
#include "playlist/Voice.h"
#include "session/Command.h"
#include "support/GameDataFakes.h"
#include "support/TestDisc.h"
#include "ui/qt/StudioViewAdapter.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc::test {
namespace {

class CommandStatesFollowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gameData = std::make_unique<GameData>(realFileSystem(), disc.directory(), mounts, prompts, exits.function());
    gameData->loadCatalogue();
    frame = std::make_unique<CMainFrame>();
    session = std::make_unique<StudioSession>(*gameData, frame->view().dialogs(), random, nullptr);
    auto adapter = std::make_unique<StudioViewAdapter>(*session, frame->view());
    view = &adapter->view();
    frame->view().setClient(std::move(adapter));
    view->showStation(testdisc::kMusic);
    frame->placeOnDesktop(QSize(1024, 768));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    QCoreApplication::sendPostedEvents();
  }

  // Renders the voice as the sound timer would, `blocks` times or until
  // nothing plays; each block reports the position.
  void render(int blocks) {
    std::vector<float> out(2 * 1024);
    for (int i = 0; i < blocks && session->transport().somethingPlays(); ++i)
      session->transport().voice().render(out.data(), 1024);
  }
  void renderToEnd() { render(1 << 20); }

  // A clip row of the browser dragged onto the first playlist slot.
  void dropClip(int row) {
    QWidget* widget = &frame->view();
    const QPoint from(100, StudioView::kClipRowsTop + StudioView::kClipRowHeight * row + 8);
    const QPoint slot(600, StudioView::kPlaylistTop + 30);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(widget, QPoint(400, 50));
    QTest::mouseMove(widget, slot);
    // The event loop turns between the press and the release.
    QCoreApplication::sendPostedEvents();
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, slot);
  }

  TestDisc disc = TestDisc::cache();
  FakeMountTable mounts;
  ScriptedPrompts prompts;
  RecordedExits exits;
  std::unique_ptr<GameData> gameData;
  CRandom random;
  std::unique_ptr<StudioSession> session;  // outlives the frame, whose view watches it
  std::unique_ptr<CMainFrame> frame;
  StudioView* view = nullptr;
};

TEST_F(CommandStatesFollowViewTest, ActionsMatchTheCommandsAfterEveryChangeWithoutAnIdlePass) {
  struct Step {
    const char* what;
    std::function<void()> act;
    Command command;  // whose state the step must have changed
    bool enabled;
  };
  const std::vector<Step> steps = {
      {"a song dropped into the empty playlist", [this] { dropClip(0); }, Command::Play, true},
      {"Play: the voice takes the track before its first report", [this] { frame->executeCommand(Command::Play); },
       Command::AddAllSongs, false},
      {"the first position report", [this] { render(1); }, Command::Stop, true},
      {"the playlist played to its end", [this] { renderToEnd(); }, Command::Play, true},
      // Straight to the widget's client: a double click sent as Qt test
      // events leaves mouse state behind that broke a later test's
      // right-button release.
      {"a double-click previews a clip",
       [this] {
         frame->view().client()->lButtonDblClk(100, StudioView::kClipRowsTop + StudioView::kClipRowHeight * 3 + 8);
       },
       Command::CreateMusicMix, false},
      {"the preview ends", [this] { renderToEnd(); }, Command::CreateMusicMix, true},
      {"a station without songs", [this] { view->showStation(testdisc::kAdverts); }, Command::AddAllSongs, false},
      {"back to the music", [this] { view->showStation(testdisc::kMusic); }, Command::AddAllSongs, true},
      {"the playlist emptied", [this] { session->clearPlaylist(); }, Command::ExportCd, false},
      {"a tool fills it", [this] { frame->executeCommand(Command::AddAllSongs); }, Command::ExportCd, true},
      {"Play, then a report",
       [this] {
         frame->executeCommand(Command::Play);
         render(1);
       },
       Command::Next, true},
      {"Stop", [this] { frame->executeCommand(Command::Stop); }, Command::Stop, false},
  };

  int idlePasses = 0;
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, frame.get(),
                   [&idlePasses] { ++idlePasses; });
  for (const Step& step : steps) {
    step.act();
    // Posted events run; the event loop never waits, so it never goes idle.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(frame->commandState(step.command).enabled, step.enabled) << step.what;
    for (Command id : {Command::FileNew, Command::FileSave, Command::ExportCd, Command::ExportTracks,
                       Command::CopyAudioFiles, Command::Play, Command::Stop, Command::Previous, Command::Next,
                       Command::AddAllSongs, Command::RandomizeIntros, Command::Pad, Command::CreateMusicMix,
                       Command::CreateRadioMix, Command::ViewToolbar, Command::AppExit}) {
      QAction* action = frame->action(id);
      ASSERT_NE(action, nullptr) << int(id);
      EXPECT_EQ(action->isEnabled(), frame->commandState(id).enabled) << step.what << ", command " << int(id);
    }
  }
  EXPECT_EQ(idlePasses, 0);
}

}  // namespace
}  // namespace wc::test
