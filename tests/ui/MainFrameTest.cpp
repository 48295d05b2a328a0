#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <map>
#include <memory>

#include "app/CommandTable.h"
#include "app/FramePlacement.h"
#include "app/MainFrame.h"
#include "session/Command.h"
#include "tests/ui/FakeViewClient.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

TEST(FramePlacement, CentresWithTruncatingDivision) {
  EXPECT_EQ(frameGeometryFor(1024, 768), (FrameGeometry{64, 64, 896, 640}));
  EXPECT_EQ(frameGeometryFor(800, 600), (FrameGeometry{-48, -20, 896, 640}));
  // Odd negative spans round toward zero, not down.
  EXPECT_EQ(frameGeometryFor(801, 601), (FrameGeometry{-47, -19, 896, 640}));
  EXPECT_EQ(frameGeometryFor(1920, 1080), (FrameGeometry{512, 220, 896, 640}));
}

TEST(CommandTable, PromptSplitsIntoStatusTextAndTooltip) {
  EXPECT_EQ(promptStatusText("Start playback\nPlay"), "Start playback");
  EXPECT_EQ(promptTooltip("Start playback\nPlay"), "Play");
  EXPECT_EQ(promptStatusText("New playlist"), "New playlist");
  EXPECT_EQ(promptTooltip("New playlist"), "");
}

TEST(CommandTable, EveryCommandAppearsOnceAndHiddenOnesHaveNoPlace) {
  std::map<Command, int> seen;
  for (const CommandInfo& c : commandTable())
    if (c.id != kSeparator) ++seen[c.id];
  EXPECT_EQ(seen.size(), 28u);
  for (auto [id, n] : seen) EXPECT_EQ(n, 1) << int(id);
  for (Command hidden : {Command::ShowAllClips, Command::SaveCatalogue}) {
    const CommandInfo* info = findCommand(hidden);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->menu, MenuName::None);
    EXPECT_EQ(info->toolbarImage, kNoImage);
  }
  EXPECT_EQ(findCommand(kSeparator), nullptr);
  EXPECT_STREQ(findCommand(Command::ShowAllClips)->prompt, "Show all clips");
}

// The File menu's "Recent Playlists" submenu, which no command stands for.
constexpr Command kRecentSubmenu = Command{-1};

struct Item {
  Command id;  // kSeparator for a separator, kRecentSubmenu for that submenu
  const char* text;
  const char* statusTip;
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<CMainFrame>(&app);
    auto owned = std::make_unique<test::FakeViewClient>();
    client = owned.get();
    frame->view().setClient(std::move(owned));
  }

  // Everything but a view with Play and Stop handles nothing.
  void handleTransport(bool playing) {
    client->states[Command::Play] = {!playing, false};
    client->states[Command::Stop] = {playing, false};
  }

  void showAndActivate() {
    frame->placeOnDesktop(QSize(1024, 768));
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  struct FakeApp : CommandTarget {
    int helpShown = 0;
    bool onCommand(Command id) override {
      if (id != Command::AppAbout) return false;
      ++helpShown;
      return true;
    }
    std::optional<CommandState> commandState(Command id) const override {
      if (id != Command::AppAbout) return std::nullopt;
      ++aboutQueries;
      return CommandState{true, false};
    }
    mutable int aboutQueries = 0;
  } app;
  std::unique_ptr<CMainFrame> frame;
  test::FakeViewClient* client = nullptr;
};

TEST_F(MainFrameTest, MenusHaveTheirItemsInOrder) {
  const std::vector<std::pair<QString, std::vector<Item>>> expected = {
      {"&File",
       {{Command::FileNew, "&New", "New playlist"},
        {Command::FileOpen, "&Open...", "Load playlist"},
        {kRecentSubmenu, "&Recent Playlists", ""},
        {Command::FileSave, "&Save", "Save playlist"},
        {Command::FileSaveAs, "Save &As...", "Save playlist"},
        {kSeparator, "", ""},
        {Command::ExportCd, "&Export CD...", "Export CD image as 44.1kHz wave file and CUE file"},
        {Command::ExportWave, "Export &Wave...", "Export playlist as 24kHz wave file"},
        {Command::ExportTracks, "Export Trac&ks...", "Export the playlist as one tagged file per track"},
        {kSeparator, "", ""},
        {Command::CopyAudioFiles, "Co&py Audio Files",
         "Copy audio files from the DVD to your hard drive for faster access"},
        {kSeparator, "", ""},
        {Command::ImportAnnotations, "&Import Annotations...",
         "Apply clip annotations that another user of the same disc exported"},
        {Command::ExportAnnotations, "Expor&t Annotations...",
         "Save the clip annotations to share them with other users of the same disc"},
        {kSeparator, "", ""},
        {Command::AppExit, "E&xit", "Quit the application; prompts to save documents"}}},
      {"&Edit",
       {{Command::EditUndo, "&Undo", "Undo the last change to the playlist"},
        {Command::EditRedo, "&Redo", "Redo the change to the playlist undone last"}}},
      {"&View",
       {{Command::ViewToolbar, "&Toolbar", "Show or hide the toolbar"},
        {Command::ViewStatusBar, "&Status Bar", "Show or hide the status bar"}}},
      {"&Playback",
       {{Command::Play, "&Play", "Start playback"},
        {Command::Stop, "&Stop", "Stop playback"},
        {Command::Previous, "Pre&vious", "Previous track"},
        {Command::Next, "&Next", "Next track"}}},
      {"&Tools",
       {{Command::AddAllSongs, "Add all &Songs", "Add all songs from the radio station to the current playlist"},
        {Command::RandomizeIntros, "Randomize &Intros", "Randomize intros and outros of all songs in the playlist"},
        {Command::Pad, "&Pad", "Pad playlist with chatter and commercials"},
        {kSeparator, "", ""},
        {Command::CreateMusicMix, "Create &Music Mix",
         "Create a playlist for this radio station with as little DJ chatter as possible"},
        {Command::CreateRadioMix, "Create &Radio Mix",
         "Create a playlist for this radio station with commercials and chatter"},
        {kSeparator, "", ""},
        {Command::DetectSongs, "&Detect Songs...",
         "Find the songs, intros and outros of every station from the audio"}}},
      {"&Help", {{Command::AppAbout, "&Help...", "Display help"}}},
  };
  const QList<QAction*> bar = frame->menuBar()->actions();
  ASSERT_EQ(bar.size(), qsizetype(expected.size()));
  for (size_t m = 0; m < expected.size(); ++m) {
    EXPECT_EQ(bar[m]->text(), expected[m].first);
    ASSERT_NE(bar[m]->menu(), nullptr);
    const QList<QAction*> items = bar[m]->menu()->actions();
    ASSERT_EQ(items.size(), qsizetype(expected[m].second.size())) << expected[m].first.toStdString();
    for (qsizetype i = 0; i < items.size(); ++i) {
      const Item& want = expected[m].second[size_t(i)];
      SCOPED_TRACE(want.text);
      if (want.id == kSeparator) {
        EXPECT_TRUE(items[i]->isSeparator());
        continue;
      }
      if (want.id == kRecentSubmenu) {
        EXPECT_EQ(items[i]->menu(), frame->recentMenu());
        EXPECT_EQ(items[i]->text(), QString(want.text));
        continue;
      }
      EXPECT_EQ(Command(items[i]->data().toInt()), want.id);
      EXPECT_EQ(items[i]->text(), QString(want.text));
      EXPECT_EQ(items[i]->statusTip(), QString(want.statusTip));
      EXPECT_TRUE(items[i]->menu() == nullptr);
    }
  }
}

TEST_F(MainFrameTest, ToolbarButtonsInOrderWithTooltips) {
  const QList<QAction*> actions = frame->toolBar()->actions();
  ASSERT_EQ(actions.size(), 6);
  EXPECT_EQ(Command(actions[0]->data().toInt()), Command::AppAbout);
  EXPECT_TRUE(actions[1]->isSeparator());
  const Command ids[] = {Command::Previous, Command::Next, Command::Stop, Command::Play};
  const char* tips[] = {"Previous", "Next", "Stop", "Play"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Command(actions[i + 2]->data().toInt()), ids[i]);
    EXPECT_EQ(actions[i + 2]->toolTip(), QString(tips[i]));
  }
  EXPECT_EQ(actions[0]->toolTip(), "Help");
  for (QAction* a : actions) {
    if (a->isSeparator()) continue;
    const QSize size = a->icon().actualSize(QSize(16, 15));
    EXPECT_EQ(size, QSize(16, 15));
  }
  EXPECT_EQ(frame->toolBar()->iconSize(), QSize(16, 15));
  EXPECT_TRUE(frame->toolBar()->isMovable());
  EXPECT_TRUE(frame->toolBar()->isFloatable());
  EXPECT_EQ(frame->toolBar()->allowedAreas(), Qt::AllToolBarAreas);
  EXPECT_EQ(frame->toolBarArea(frame->toolBar()), Qt::TopToolBarArea);
}

TEST_F(MainFrameTest, ShortcutsOnlyWhereMenusShowThemAndHiddenCommandsUnreachable) {
  const std::map<Command, QString> shortcuts = {
      {Command::FileNew, "Ctrl+N"},          {Command::FileOpen, "Ctrl+O"}, {Command::FileSave, "Ctrl+S"},
      {Command::FileSaveAs, "Ctrl+Shift+S"}, {Command::AppExit, "Ctrl+Q"},  {Command::AppAbout, "F1"},
      {Command::Previous, "Ctrl+Left"},      {Command::Next, "Ctrl+Right"}, {Command::EditUndo, "Ctrl+Z"},
      {Command::EditRedo, "Ctrl+Shift+Z"},
  };
  for (QAction* a : frame->findChildren<QAction*>()) {
    const auto it = shortcuts.find(Command(a->data().toInt()));
    const QString expected = it == shortcuts.end() ? QString() : it->second;
    EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), expected) << a->text().toStdString();
    EXPECT_LE(a->shortcuts().size(), 1);
    EXPECT_NE(Command(a->data().toInt()), Command::ShowAllClips);
    EXPECT_NE(Command(a->data().toInt()), Command::SaveCatalogue);
  }
  EXPECT_EQ(frame->action(Command::ShowAllClips), nullptr);
  EXPECT_EQ(frame->action(Command::SaveCatalogue), nullptr);
  // Keys reach nothing: a view that would take the hidden commands never
  // sees them.
  client->states[Command::ShowAllClips] = {true, false};
  client->states[Command::SaveCatalogue] = {true, false};
  showAndActivate();
  for (int key : {Qt::Key_A, Qt::Key_C, Qt::Key_D, Qt::Key_Delete})
    QTest::keyClick(frame.get(), Qt::Key(key), Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_TRUE(client->commandsRun.empty());
}

TEST_F(MainFrameTest, PlacementAndTitle) {
  frame->placeOnDesktop(QSize(800, 600));
  EXPECT_EQ(frame->pos(), QPoint(-48, -20));
  EXPECT_EQ(frame->size(), QSize(896, 640));
  EXPECT_EQ(frame->windowTitle(), "Wavecrate");
}

TEST_F(MainFrameTest, CommandsGoToTheViewFirstThenFrameThenApplication) {
  // The view takes even a frame command when it claims it.
  client->states[Command::AppExit] = {true, false};
  EXPECT_TRUE(frame->executeCommand(Command::AppExit));
  EXPECT_EQ(client->commandsRun, std::vector<Command>{Command::AppExit});
  client->states.erase(Command::AppExit);

  EXPECT_TRUE(frame->executeCommand(Command::AppAbout));
  EXPECT_EQ(app.helpShown, 1);

  EXPECT_FALSE(frame->toolBar()->isHidden());
  EXPECT_TRUE(frame->executeCommand(Command::ViewToolbar));
  EXPECT_TRUE(frame->toolBar()->isHidden());

  // A view command the view does not handle is disabled and refused.
  EXPECT_FALSE(frame->commandState(Command::Pad).enabled);
  EXPECT_FALSE(frame->executeCommand(Command::Pad));
}

TEST_F(MainFrameTest, DisabledCommandIsNotRun) {
  handleTransport(/*playing=*/false);
  EXPECT_FALSE(frame->executeCommand(Command::Stop));
  EXPECT_TRUE(frame->executeCommand(Command::Play));
  EXPECT_EQ(client->commandsRun, std::vector<Command>{Command::Play});
}

TEST_F(MainFrameTest, TriggeredActionRunsAfterTheEventLoopTurns) {
  handleTransport(false);
  frame->updateCommandStates();
  frame->action(Command::Play)->trigger();
  EXPECT_TRUE(client->commandsRun.empty());
  for (int i = 0; i < 10 && client->commandsRun.empty(); ++i) QCoreApplication::processEvents();
  EXPECT_EQ(client->commandsRun, std::vector<Command>{Command::Play});
}

TEST_F(MainFrameTest, EnableStatesFollowTheViewOnUpdate) {
  handleTransport(false);
  frame->updateCommandStates();
  EXPECT_TRUE(frame->action(Command::Play)->isEnabled());
  EXPECT_FALSE(frame->action(Command::Stop)->isEnabled());
  EXPECT_FALSE(frame->action(Command::Next)->isEnabled());  // nobody handles it
  EXPECT_TRUE(frame->action(Command::AppAbout)->isEnabled());
  EXPECT_TRUE(frame->action(Command::AppExit)->isEnabled());

  handleTransport(true);
  // Opening a menu refreshes it.
  emit frame->menu(MenuName::Playback)->aboutToShow();
  EXPECT_FALSE(frame->action(Command::Play)->isEnabled());
  EXPECT_TRUE(frame->action(Command::Stop)->isEnabled());
}

TEST_F(MainFrameTest, ToolbarFollowsTheViewWhenItReportsAChangeNotOnIdle) {
  showAndActivate();
  handleTransport(false);
  frame->updateCommandStates();
  handleTransport(true);
  QToolButton* stop = qobject_cast<QToolButton*>(frame->toolBar()->widgetForAction(frame->action(Command::Stop)));
  ASSERT_NE(stop, nullptr);
  // Idle passes of a blocking event loop leave the states alone...
  QEventLoop idle;
  QTimer::singleShot(20, &idle, &QEventLoop::quit);
  idle.exec();
  EXPECT_FALSE(stop->isEnabled());
  // ...the view's report refreshes them once the event is handled, and any
  // number of reports in one event cost one evaluation.
  app.aboutQueries = 0;
  for (int i = 0; i < 3; ++i) frame->view().commandStatesChanged();
  EXPECT_FALSE(stop->isEnabled());
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(stop->isEnabled());
  EXPECT_EQ(app.aboutQueries, 1);
  // A command refreshes them when it returns.
  handleTransport(false);
  client->states[Command::Next] = {true, false};
  ASSERT_TRUE(frame->executeCommand(Command::Next));
  EXPECT_FALSE(stop->isEnabled());
}

TEST_F(MainFrameTest, WhileSoundTicksNoCommandStateIsEvaluated) {
  showAndActivate();
  handleTransport(true);
  QCoreApplication::sendPostedEvents();
  QTimer soundTimer;
  soundTimer.setTimerType(Qt::PreciseTimer);
  int ticks = 0;
  QObject::connect(&soundTimer, &QTimer::timeout, [&ticks] { ++ticks; });
  soundTimer.start(5);
  app.aboutQueries = 0;
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
  ASSERT_GE(ticks, 20);  // each tick ended in an idle pass
  EXPECT_EQ(app.aboutQueries, 0);
}

TEST_F(MainFrameTest, ViewMenuTogglesBarsAndCheckMarks) {
  showAndActivate();
  const QRect full = frame->view().geometry();
  frame->updateCommandStates();
  EXPECT_TRUE(frame->action(Command::ViewToolbar)->isChecked());
  EXPECT_TRUE(frame->action(Command::ViewStatusBar)->isChecked());

  ASSERT_TRUE(frame->executeCommand(Command::ViewToolbar));
  ASSERT_TRUE(frame->executeCommand(Command::ViewStatusBar));
  frame->updateCommandStates();
  EXPECT_FALSE(frame->toolBar()->isVisible());
  EXPECT_FALSE(frame->statusBarWidget()->isVisible());
  EXPECT_FALSE(frame->action(Command::ViewToolbar)->isChecked());
  EXPECT_FALSE(frame->action(Command::ViewStatusBar)->isChecked());
  // The view and its edge take the whole area below the menu bar.
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->view().geometry().height() > full.height(); }, 2000));
  const QRect edge = frame->centralWidget()->geometry();
  EXPECT_EQ(edge.top(), frame->menuBar()->geometry().bottom() + 1);
  EXPECT_EQ(edge.bottom(), frame->rect().bottom());
  EXPECT_EQ(frame->view().geometry(), QRect(QPoint(2, 2), edge.size() - QSize(4, 4)));

  ASSERT_TRUE(frame->executeCommand(Command::ViewToolbar));
  ASSERT_TRUE(frame->executeCommand(Command::ViewStatusBar));
  frame->updateCommandStates();
  EXPECT_TRUE(frame->toolBar()->isVisible());
  EXPECT_TRUE(frame->statusBarWidget()->isVisible());
  EXPECT_TRUE(frame->action(Command::ViewToolbar)->isChecked());
  EXPECT_TRUE(frame->action(Command::ViewStatusBar)->isChecked());
}

TEST_F(MainFrameTest, StatusBarShowsReadyAndThePromptOfWhatIsHovered) {
  showAndActivate();
  EXPECT_EQ(frame->messageText(), "Ready");

  // A toolbar button under the mouse.
  QWidget* play = frame->toolBar()->widgetForAction(frame->action(Command::Play));
  ASSERT_NE(play, nullptr);
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(play, &enter);
  EXPECT_EQ(frame->messageText(), "Start playback");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(play, &leave);
  EXPECT_EQ(frame->messageText(), "Ready");

  // Highlighted menu items, stepped through with the keyboard (which skips
  // disabled items, so the view enables the File commands).
  for (Command id : {Command::FileNew, Command::FileOpen, Command::FileSave, Command::FileSaveAs, Command::ExportCd,
                     Command::ExportWave})
    client->states[id] = {true, false};
  frame->updateCommandStates();
  QMenu* file = frame->menu(MenuName::File);
  frame->menuBar()->setActiveAction(file->menuAction());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
  bool sawExportWave = false;
  for (int step = 0; step < 8; ++step) {
    QTest::keyClick(file, Qt::Key_Down);
    ASSERT_NE(file->activeAction(), nullptr);
    EXPECT_EQ(frame->messageText(), file->activeAction()->statusTip());
    sawExportWave |= frame->messageText() == "Export playlist as 24kHz wave file";
  }
  EXPECT_TRUE(sawExportWave);
  file->hide();
  EXPECT_EQ(frame->messageText(), "Ready");
}

TEST_F(MainFrameTest, LockPanesExistAndAreBlankWithoutAKeyboardReport) {
  // The offscreen platform reports no lock state.
  frame->updateLockIndicators();
  for (int pane = 0; pane < 3; ++pane) EXPECT_EQ(frame->indicatorText(pane), "");
  EXPECT_EQ(frame->statusBarWidget()->findChildren<QLabel*>().size(), 4);
}

TEST_F(MainFrameTest, FocusGivenToTheFrameEndsInTheView) {
  showAndActivate();
  frame->menuBar()->setFocus();
  frame->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), &frame->view());
}

}  // namespace
}  // namespace wc
