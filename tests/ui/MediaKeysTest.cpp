// The media player on a private session bus (run under dbus-run-session):
// the frame and a view on the fixture disc, driven by dbus-send as a desktop
// would, read back through a second bus connection.
#include <gtest/gtest.h>

#if WAVECRATE_HAVE_MEDIA_KEYS

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/MediaKeys.h"
#include "support/ViewFixture.h"
#include "ui/qt/StudioViewWidget.h"
#include "ui/qt/ViewClient.h"

namespace wc {
namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.wavecrate");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// Hands the frame's commands to a view the test owns.
class ForwardingClient final : public ViewClient {
 public:
  explicit ForwardingClient(StudioView& view) : view_(view) {}
  void paintAll(DrawSurface&) override {}
  void paintTransport(DrawSurface&, int, bool) override {}
  void lButtonDown(int, int) override {}
  void lButtonDblClk(int, int) override {}
  void mouseMove(int, int) override {}
  void lButtonUp(int, int) override {}
  bool onCommand(int id) override { return view_.onCommand(id); }
  std::optional<CommandState> commandState(int id) const override { return view_.commandState(id); }

 private:
  StudioView& view_;
};

}  // namespace

// Records the player's PropertiesChanged announcements.
class PropertiesRecorder final : public QObject {
  Q_OBJECT

 public:
  std::vector<QVariantMap> announcements;

 public Q_SLOTS:
  void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
    if (interface == kPlayer) announcements.push_back(properties);
  }
};

namespace {

// Runs the event loop until `done` holds or `ms` pass. The loop blocks
// between events, so the idle passes run as in the program (QTest::qWait
// never blocks and so never ends in one).
bool spinUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

void spin(int ms) {
  spinUntil([] { return false; }, ms);
}

QVariantMap asMap(const QVariant& value) { return qdbus_cast<QVariantMap>(value.value<QDBusArgument>()); }

class MediaKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address) GTEST_SKIP() << "no session bus; ctest runs this under dbus-run-session";
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    for (int song : test::testdisc::kSongs) f.addTrack(song);
    frame.view().setClient(std::make_unique<ForwardingClient>(*f.view));
    keys = startMediaKeys(frame, *f.gameData, *f.view);
    ASSERT_NE(keys, nullptr);
    probe = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("media-keys-probe")));
    ASSERT_TRUE(probe->isConnected());
    ASSERT_TRUE(probe->connect(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                               QStringLiteral("PropertiesChanged"), &recorder,
                               SLOT(changed(QString, QVariantMap, QStringList))));
  }
  void TearDown() override {
    keys.reset();
    probe.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("media-keys-probe"));
  }

  // Runs a bus client to its end while the event loop answers it; its
  // standard output, or nullopt (after a failure) when it failed.
  std::optional<std::string> runClient(const QString& program, const QStringList& arguments) {
    QProcess client;
    client.start(program, arguments);
    const bool ended = spinUntil([&] { return client.state() == QProcess::NotRunning; }, 10000);
    EXPECT_TRUE(ended) << program.toStdString();
    if (!ended || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) {
      ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString() << ": "
                    << client.readAllStandardError().toStdString();
      return std::nullopt;
    }
    return client.readAllStandardOutput().toStdString();
  }

  // Calls `method` with dbus-send, as desktops and scripts do; then lets the
  // queued command run, the sound tick report it and the idle pass announce it.
  void send(const QString& interface, const char* method) {
    runClient(QStringLiteral("dbus-send"),
              {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=") + kService,
               kPath, interface + QLatin1Char('.') + QLatin1String(method)});
    settle();
  }
  void settle() {
    spin(20);
    f.tick();
    spin(20);
  }

  QVariantMap properties(const QString& interface) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    call << interface;
    QDBusPendingReply<QVariantMap> reply = probe->asyncCall(call);
    EXPECT_TRUE(spinUntil([&] { return reply.isFinished(); }, 10000));
    EXPECT_FALSE(reply.isError()) << reply.error().message().toStdString();
    return reply.value();
  }

  test::ViewFixture f;
  CMainFrame frame;
  std::unique_ptr<QObject> keys;
  std::unique_ptr<QDBusConnection> probe;
  PropertiesRecorder recorder;
};

struct Step {
  const char* method;
  const char* status;
  int trackNumber;  // 0: no metadata
  const char* title;
  const char* artist;
  bool canPlay, canPause, canNext, canPrevious;
};

TEST_F(MediaKeysTest, CommandsFromTheBusDriveTheTransportAndAreReadBack) {
  const QVariantMap root = properties(kRoot);
  EXPECT_EQ(root.value("Identity").toString(), "Wavecrate");
  EXPECT_EQ(root.value("DesktopEntry").toString(), "org.wavecrate.Wavecrate");
  EXPECT_TRUE(root.value("CanQuit").toBool());

  // PlayPause stops what plays and plays otherwise; a disabled command
  // (Next while stopped) is refused as in the menu. CanPlay stays true while
  // a track plays: clients take it for "there is a current track".
  const Step steps[] = {
      {nullptr, "Stopped", 0, "", "", true, false, false, false},
      {"Play", "Playing", 1, "Song A", "Artist A", true, true, true, true},
      {"Next", "Playing", 2, "Song B", "Artist B", true, true, true, true},
      {"Next", "Playing", 3, "Song C", "Artist C", true, true, false, true},
      {"PlayPause", "Stopped", 0, "", "", true, false, false, false},
      {"Next", "Stopped", 0, "", "", true, false, false, false},
      {"PlayPause", "Playing", 1, "Song A", "Artist A", true, true, true, true},
      {"Pause", "Stopped", 0, "", "", true, false, false, false},
      {"Play", "Playing", 1, "Song A", "Artist A", true, true, true, true},
      {"Stop", "Stopped", 0, "", "", true, false, false, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.method ? step.method : "start");
    if (step.method) send(kPlayer, step.method);
    const QVariantMap player = properties(kPlayer);
    EXPECT_EQ(player.value("PlaybackStatus").toString().toStdString(), step.status);
    EXPECT_EQ(player.value("CanPlay").toBool(), step.canPlay);
    EXPECT_EQ(player.value("CanPause").toBool(), step.canPause);
    EXPECT_EQ(player.value("CanGoNext").toBool(), step.canNext);
    EXPECT_EQ(player.value("CanGoPrevious").toBool(), step.canPrevious);
    EXPECT_TRUE(player.value("CanControl").toBool());
    const QVariantMap metadata = asMap(player.value("Metadata"));
    if (step.trackNumber == 0) {
      EXPECT_TRUE(metadata.isEmpty());
      continue;
    }
    EXPECT_EQ(metadata.value("xesam:title").toString().toStdString(), step.title);
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{QString::fromLatin1(step.artist)});
    EXPECT_EQ(metadata.value("xesam:album").toString(), "Test FM");
    EXPECT_EQ(metadata.value("xesam:trackNumber").toInt(), step.trackNumber);
    const QVariant trackId = metadata.value("mpris:trackid");
    ASSERT_EQ(trackId.metaType(), QMetaType::fromType<QDBusObjectPath>());
    EXPECT_EQ(trackId.value<QDBusObjectPath>().path(),
              QStringLiteral("/org/wavecrate/Wavecrate/Track/%1").arg(step.trackNumber));
    const QVariant length = metadata.value("mpris:length");
    ASSERT_EQ(length.metaType(), QMetaType::fromType<qlonglong>());
    const Track* track = f.tracks()[size_t(step.trackNumber - 1)];
    EXPECT_EQ(length.toLongLong(), trackSamples(*track) * 1000000 / 24000);
  }

  // Each change was announced, in order, with the new values.
  std::vector<std::string> statuses;
  std::vector<int> tracks;
  for (const QVariantMap& changed : recorder.announcements) {
    if (changed.contains("PlaybackStatus"))
      statuses.push_back(changed.value("PlaybackStatus").toString().toStdString());
    if (changed.contains("Metadata"))
      tracks.push_back(asMap(changed.value("Metadata")).value("xesam:trackNumber").toInt());
  }
  EXPECT_EQ(statuses, (std::vector<std::string>{"Playing", "Stopped", "Playing", "Stopped", "Playing", "Stopped"}));
  EXPECT_EQ(tracks, (std::vector<int>{1, 2, 3, 0, 1, 0, 1, 0}));
}

// The command-line client reads the same: it checks the Can* flags before
// it calls, and prints the metadata by name.
TEST_F(MediaKeysTest, PlayerctlPlaysStopsAndReadsTheTrack) {
  const QString playerctl = QStandardPaths::findExecutable(QStringLiteral("playerctl"));
  if (playerctl.isEmpty()) GTEST_SKIP() << "playerctl is not installed (scripts/deps.sh installs it)";
  const auto ctl = [&](QStringList arguments) {
    arguments.prepend(QStringLiteral("--player=wavecrate"));
    return runClient(playerctl, arguments).value_or("(failed)");
  };
  EXPECT_EQ(ctl({QStringLiteral("status")}), "Stopped\n");
  ctl({QStringLiteral("play-pause")});
  settle();
  EXPECT_EQ(ctl({QStringLiteral("status")}), "Playing\n");
  ctl({QStringLiteral("next")});
  settle();
  const Track* second = f.tracks()[1];
  EXPECT_EQ(ctl({QStringLiteral("metadata"), QStringLiteral("--format"),
                 QStringLiteral("{{xesam:trackNumber}}|{{title}}|{{artist}}|{{album}}|{{mpris:length}}")}),
            "2|Song B|Artist B|Test FM|" + std::to_string(trackSamples(*second) * 1000000 / 24000) + "\n");
  ctl({QStringLiteral("play-pause")});
  settle();
  EXPECT_EQ(ctl({QStringLiteral("status")}), "Stopped\n");
}

TEST_F(MediaKeysTest, RaiseShowsTheWindowAndQuitClosesIt) {
  send(kRoot, "Raise");
  EXPECT_TRUE(frame.isVisible());
  send(kRoot, "Quit");
  EXPECT_FALSE(frame.isVisible());
}

TEST_F(MediaKeysTest, TheNameIsHeldOnceAndGivenBack) {
  QDBusConnectionInterface* bus = probe->interface();
  const auto owner = [&] { return bus->serviceOwner(kService).value(); };
  EXPECT_EQ(owner(), QDBusConnection::sessionBus().baseService());
  keys.reset();
  EXPECT_TRUE(spinUntil([&] { return !bus->isServiceRegistered(kService).value(); }, 5000));

  // Another copy of the program holds the name: this one runs without it and
  // leaves the other's name alone.
  ASSERT_TRUE(probe->registerService(kService));
  EXPECT_EQ(startMediaKeys(frame, *f.gameData, *f.view), nullptr);
  EXPECT_EQ(owner(), probe->baseService());
  ASSERT_TRUE(probe->unregisterService(kService));

  keys = startMediaKeys(frame, *f.gameData, *f.view);
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(owner(), QDBusConnection::sessionBus().baseService());
  // Two players in one program: the second is refused, the first stays.
  EXPECT_EQ(startMediaKeys(frame, *f.gameData, *f.view), nullptr);
  EXPECT_EQ(owner(), QDBusConnection::sessionBus().baseService());
  EXPECT_EQ(properties(kRoot).value("Identity").toString(), "Wavecrate");
}

}  // namespace
}  // namespace wc

#include "MediaKeysTest.moc"

#endif  // WAVECRATE_HAVE_MEDIA_KEYS
