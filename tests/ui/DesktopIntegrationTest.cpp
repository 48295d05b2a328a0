// What a desktop user reaches for: menu shortcuts, the view's own keys and
// the wheel, the window title, the recent playlists, playlists dropped from
// the file manager and named on the command line.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <functional>
#include <memory>
#include <regex>

#include "app/MainFrame.h"
#include "app/RecentPlaylists.h"
#include "app/StartupArguments.h"
#include "session/Command.h"
#include "support/CliRun.h"
#include "support/DiscFixture.h"
#include "tests/ui/FakeViewClient.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {
namespace {

class DesktopIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    frame = std::make_unique<CMainFrame>();
    auto owned = std::make_unique<test::FakeViewClient>();
    client = owned.get();
    frame->view().setClient(std::move(owned));
  }
  void showAndActivate() {
    frame->placeOnDesktop(QSize(1024, 768));
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }
  // An existing playlist file in the scratch directory.
  QString playlistFile(const QString& name) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
  }
  QStringList recentTexts() const {
    QStringList texts;
    for (QAction* a : frame->recentMenu()->actions()) texts.append(a->text());
    return texts;
  }

  QTemporaryDir dir;
  std::unique_ptr<CMainFrame> frame;
  test::FakeViewClient* client = nullptr;
};

TEST_F(DesktopIntegrationTest, MenuShortcutsRunTheirCommands) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Command id;
  };
  const Case cases[] = {
      {Qt::Key_N, Qt::ControlModifier, Command::FileNew},
      {Qt::Key_O, Qt::ControlModifier, Command::FileOpen},
      {Qt::Key_S, Qt::ControlModifier, Command::FileSave},
      {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, Command::FileSaveAs},
      {Qt::Key_Left, Qt::ControlModifier, Command::Previous},
      {Qt::Key_Right, Qt::ControlModifier, Command::Next},
  };
  for (const Case& c : cases) client->states[c.id] = {true, false};
  frame->updateCommandStates();
  showAndActivate();
  for (const Case& c : cases) {
    client->commandsRun.clear();
    QTest::keyClick(&frame->view(), c.key, c.modifiers);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !client->commandsRun.empty(); }, 2000)) << int(c.id);
    EXPECT_EQ(client->commandsRun, std::vector<Command>{c.id});
  }
  EXPECT_TRUE(client->keys.empty());  // shortcuts never reach the view as keys

  // A disabled command's shortcut does nothing; Exit asks the view first.
  client->states[Command::FileSave] = {false, false};
  frame->updateCommandStates();
  client->commandsRun.clear();
  QTest::keyClick(&frame->view(), Qt::Key_S, Qt::ControlModifier);
  client->allowClose = false;
  QTest::keyClick(&frame->view(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return client->closeQueries == 1; }, 2000));
  EXPECT_TRUE(client->commandsRun.empty());
  EXPECT_TRUE(frame->isVisible());
}

TEST_F(DesktopIntegrationTest, TheViewGetsItsKeysWithoutModifiersOnly) {
  showAndActivate();
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::optional<ViewKey> expected;
  };
  const Case cases[] = {
      {Qt::Key_Space, Qt::NoModifier, ViewKey::Space},    {Qt::Key_PageDown, Qt::NoModifier, ViewKey::PageDown},
      {Qt::Key_Home, Qt::NoModifier, ViewKey::Home},      {Qt::Key_End, Qt::ShiftModifier, ViewKey::End},
      {Qt::Key_Space, Qt::ControlModifier, std::nullopt}, {Qt::Key_Home, Qt::AltModifier, std::nullopt},
  };
  for (const Case& c : cases) {
    client->keys.clear();
    QTest::keyClick(&frame->view(), c.key, c.modifiers);
    EXPECT_EQ(client->keys, c.expected ? std::vector<ViewKey>{*c.expected} : std::vector<ViewKey>{}) << int(c.key);
  }
  // Holding Space down starts or stops playback once, not on every repeat.
  client->keys.clear();
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), /*autorep=*/true);
  QApplication::sendEvent(&frame->view(), &repeat);
  EXPECT_TRUE(client->keys.empty());
}

TEST_F(DesktopIntegrationTest, TheWheelPassesPixelsOrAnglesWithThePosition) {
  struct Case {
    QPoint pixels, angle;
    WheelDelta expected;
  };
  const Case cases[] = {
      {{0, 0}, {0, -120}, {-120, WheelUnit::Eighths}},
      {{0, -7}, {0, -120}, {-7, WheelUnit::Pixels}},  // a touchpad's pixels win over its angle
  };
  for (const Case& c : cases) {
    client->wheels.clear();
    const QPointF at(300, 200);
    QWheelEvent event(at, frame->view().mapToGlobal(at), c.pixels, c.angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&frame->view(), &event);
    ASSERT_EQ(client->wheels.size(), 1u);
    EXPECT_EQ(client->wheels[0].first, 300);
    EXPECT_EQ(client->wheels[0].second.amount, c.expected.amount);
    EXPECT_EQ(client->wheels[0].second.unit, c.expected.unit);
  }
}

TEST_F(DesktopIntegrationTest, TheTitleFollowsThePlaylistNotices) {
  frame->view().playlistStatusChanged("/home/u/mix.wcpl", true);
  EXPECT_EQ(frame->windowTitle(), "mix.wcpl* - Wavecrate");
  frame->view().playlistStatusChanged("", false);
  EXPECT_EQ(frame->windowTitle(), "Wavecrate");
}

TEST_F(DesktopIntegrationTest, RecentPlaylistsNewestFirstAtMostEightAndOnlyExistingOnes) {
  // Without settings the submenu holds only its disabled placeholder.
  ASSERT_EQ(frame->recentMenu()->actions().size(), 1);
  EXPECT_FALSE(frame->recentMenu()->actions()[0]->isEnabled());

  const QString iniPath = dir.filePath(QStringLiteral("settings.ini"));
  QSettings settings(iniPath, QSettings::IniFormat);
  frame->useRecentSettings(settings);
  EXPECT_EQ(recentTexts(), QStringList{"(No recent playlists)"});

  QStringList paths;
  for (int i = 0; i < 10; ++i) paths.append(playlistFile(QStringLiteral("p%1.wcpl").arg(i)));
  for (const QString& p : paths) frame->view().playlistFileUsed(p.toStdString());
  frame->view().playlistFileUsed(paths[5].toStdString());  // used again: first, and only once
  const QStringList expected = {"&1 p5.wcpl", "&2 p9.wcpl", "&3 p8.wcpl", "&4 p7.wcpl",
                                "&5 p6.wcpl", "&6 p4.wcpl", "&7 p3.wcpl", "&8 p2.wcpl"};
  EXPECT_EQ(recentTexts(), expected);
  EXPECT_EQ(frame->recentMenu()->actions()[0]->statusTip(), paths[5]);

  // The list lives in the settings file: another session sees it.
  {
    QSettings again(iniPath, QSettings::IniFormat);
    EXPECT_EQ(RecentPlaylists(again).entries().size(), 8);
  }
  // One written elsewhere, with repeats and thousands of names, is read
  // only as far as the menu reaches.
  {
    QSettings edited(dir.filePath(QStringLiteral("edited.ini")), QSettings::IniFormat);
    QStringList huge = {paths[0], paths[0], paths[1]};
    for (int i = 0; i < 5000; ++i) huge.append(paths[2 + i % 8]);
    edited.setValue("RecentPlaylists", huge);
    const QStringList read = RecentPlaylists(edited).entries();
    EXPECT_EQ(read, (QStringList{paths[0], paths[1], paths[2], paths[3], paths[4], paths[5], paths[6]}));
    EXPECT_EQ(edited.value("RecentPlaylists").toStringList(), read);
  }

  // A file that went away drops out when the menu is filled again.
  QFile::remove(paths[9]);
  frame->rebuildRecentMenu();
  EXPECT_EQ(recentTexts().size(), 7);
  EXPECT_FALSE(recentTexts().contains("&2 p9.wcpl"));

  // Choosing an entry opens it, asking about unsaved changes first.
  frame->recentMenu()->actions()[1]->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !client->openedPlaylists.empty(); }, 2000));
  EXPECT_EQ(client->openedPlaylists[0], std::make_pair(paths[8].toStdString(), true));

  // One that vanished after the menu was filled is tried (the view shows the
  // failure) and leaves the list.
  QFile::remove(paths[8]);
  frame->recentMenu()->actions()[1]->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return client->openedPlaylists.size() == 2; }, 2000));
  EXPECT_EQ(RecentPlaylists(settings).entries().size(), 6);
  EXPECT_FALSE(settings.value("RecentPlaylists").toStringList().contains(paths[8]));

  // An ampersand in a name is shown, not taken for an access key.
  frame->view().playlistFileUsed(playlistFile(QStringLiteral("rock & roll.wcpl")).toStdString());
  EXPECT_EQ(recentTexts()[0], "&1 rock && roll.wcpl");
}

TEST(DroppedPlaylistTest, OnlyLocalPlaylistFilesCount) {
  const std::pair<QList<QUrl>, QString> cases[] = {
      {{QUrl::fromLocalFile("/u/notes.txt"), QUrl::fromLocalFile("/u/MIX.WCPL")}, "/u/MIX.WCPL"},
      {{QUrl("https://example.org/mix.wcpl")}, ""},
      {{QUrl::fromLocalFile("/u/mix.wcpl.bak")}, ""},
  };
  for (const auto& [urls, expected] : cases) {
    QMimeData data;
    data.setUrls(urls);
    EXPECT_EQ(droppedPlaylistPath(data), expected);
  }
}

TEST_F(DesktopIntegrationTest, APlaylistDroppedOnTheWindowOpensAfterTheQuestion) {
  showAndActivate();
  const QPoint at(400, 300);
  auto dragWith = [&](const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    bool accepted = enter.isAccepted();
    if (accepted) {
      QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(frame.get(), &drop);
      accepted = drop.isAccepted();
    }
    return accepted;
  };
  EXPECT_FALSE(dragWith({QUrl::fromLocalFile("/tmp/picture.png")}));
  const QString path = dir.filePath(QStringLiteral("dropped.wcpl"));
  EXPECT_TRUE(dragWith({QUrl::fromLocalFile(path)}));
  // The question comes after the drop has ended.
  EXPECT_TRUE(client->openedPlaylists.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !client->openedPlaylists.empty(); }, 2000));
  EXPECT_EQ(client->openedPlaylists[0], std::make_pair(path.toStdString(), true));
}

TEST(StartupArgumentsTest, APlaylistFileIsTheFirstNonOption) {
  const QString here = QDir::currentPath();
  struct Case {
    QStringList arguments;
    std::optional<QString> playlist;
    std::optional<QString> discImage;
  };
  const Case cases[] = {
      {{"wavecrate", "/music/mix.wcpl"}, "/music/mix.wcpl", std::nullopt},
      {{"wavecrate", "mix.wcpl"}, here + "/mix.wcpl", std::nullopt},
      {{"wavecrate", "--disc-image", "game.iso", "a.wcpl", "b.wcpl"}, here + "/a.wcpl", "game.iso"},
      {{"wavecrate", "-style", "fusion", "a.wcpl"}, here + "/a.wcpl", std::nullopt},
      {{"wavecrate", "--platform", "offscreen", "-reverse", "a.wcpl"}, here + "/a.wcpl", std::nullopt},
      {{"wavecrate", "--", "--odd.wcpl"}, here + "/--odd.wcpl", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto parsed = parseStartupArguments(c.arguments);
    const auto* ok = std::get_if<StartupArguments>(&parsed);
    ASSERT_NE(ok, nullptr) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(ok->playlist, c.playlist ? std::optional(Path(c.playlist->toStdString())) : std::nullopt);
    EXPECT_EQ(ok->discImage, c.discImage ? std::optional(Path(c.discImage->toStdString())) : std::nullopt);
  }
}

// Answered on the terminal with no display to open a window on, and before
// Qt could object to anything.
TEST(StartupArgumentsTest, HelpVersionAndMistakesNeedNoDisplay) {
  struct Case {
    std::string arguments;
    int status;
    const char* stdoutPattern;
    const char* stderrPattern;
  };
  const Case cases[] = {
      {"--help", 0, "^Usage: wavecrate \\[OPTION\\]\\.\\.\\. \\[PLAYLIST\\]\n(.*\n)*  --version ", "^$"},
      {"--version", 0, "^wavecrate [0-9]+(\\.[0-9]+)+\n$", "^$"},
      {"--version --help", 0, "^wavecrate [0-9]", "^$"},
      {"-platform offscreen -h", 0, "^Usage: ", "^$"},
      {"-h --bogus", 2, "^$", "^wavecrate: unrecognised option '--bogus'\nUsage: "},
      {"mix.wcpl -x", 2, "^$", "^wavecrate: unrecognised option '-x'\nUsage: "},
      {"--disc-image", 2, "^$", "^wavecrate: --disc-image needs the image file\nUsage: "},
  };
  using test::CliResult, test::readText, test::runShell;
  const QTemporaryDir dir;
  const Path out = dir.filePath("out").toStdString(), err = dir.filePath("err").toStdString();
  for (const Case& c : cases) {
    const CliResult r =
        runShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " WAVECRATE_BINARY_DIR "/wavecrate " +
                 c.arguments + " >" + out.string() + " 2>" + err.string() + " </dev/null");
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_TRUE(std::regex_search(readText(out), std::regex(c.stdoutPattern))) << c.arguments << ": " << readText(out);
    EXPECT_TRUE(std::regex_search(readText(err), std::regex(c.stderrPattern))) << c.arguments << ": " << readText(err);
  }
}

}  // namespace
}  // namespace wc
