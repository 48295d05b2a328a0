// The media player on a private session bus (run under dbus-run-session):
// the frame and a view on the fixture disc, driven by dbus-send and playerctl
// as desktops and scripts do, read back through a second bus connection.
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
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
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

// Hands the frame's commands to a session the test owns.
class ForwardingClient final : public ViewClient {
 public:
  explicit ForwardingClient(StudioSession& session) : session_(session) {}
  void paintAll(DrawSurface&) override {}
  void paintTransport(DrawSurface&, int, bool) override {}
  void lButtonDown(int, int) override {}
  void lButtonDblClk(int, int) override {}
  void mouseMove(int, int) override {}
  void lButtonUp(int, int) override {}
  bool onCommand(Command id) override { return session_.onCommand(id); }
  std::optional<CommandState> commandState(Command id) const override { return session_.commandState(id); }

 private:
  StudioSession& session_;
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
    frame.view().setClient(std::make_unique<ForwardingClient>(*f.session));
    keys = startMediaKeys(frame, *f.session);
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

  // Runs a bus client as a desktop or a script would (dbus-send calls
  // `command` on the player interface, playerctl runs it), then lets the
  // queued command run, the sound tick report it and the idle pass announce it.
  void run(const char* client, const char* command) {
    QStringList arguments = {QStringLiteral("--player=wavecrate"), QLatin1String(command)};
    if (QLatin1String(client) == "dbus-send")
      arguments = {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=") + kService,
                   kPath, kPlayer + QLatin1Char('.') + QLatin1String(command)};
    QProcess process;
    process.start(QLatin1String(client), arguments);
    ASSERT_TRUE(spinUntil([&] { return process.state() == QProcess::NotRunning; }, 10000));
    ASSERT_NE(process.error(), QProcess::FailedToStart) << client << " is missing: scripts/deps.sh installs it";
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
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

  test::SessionFixture f;
  CMainFrame frame;
  std::unique_ptr<QObject> keys;
  std::unique_ptr<QDBusConnection> probe;
  PropertiesRecorder recorder;
};

struct Step {
  const char* client;
  const char* command;
  int track;  // the playlist track (of "Song A", "Song B", "Song C") that plays, 0 if none
};

TEST_F(MediaKeysTest, BusClientsDriveTheTransportAndReadItBack) {
  const QVariantMap root = properties(kRoot);
  EXPECT_EQ(root.value("Identity").toString(), "Wavecrate");
  EXPECT_EQ(root.value("DesktopEntry").toString(), "org.wavecrate.Wavecrate");

  // PlayPause stops what plays and plays otherwise; Next while stopped is
  // refused as in the menu. playerctl calls only what the Can* flags allow,
  // so its play-pause while playing needs CanPlay to stay true then.
  const Step steps[] = {
      {"", "", 0},
      {"dbus-send", "Play", 1},
      {"dbus-send", "Next", 2},
      {"playerctl", "next", 3},
      {"playerctl", "play-pause", 0},
      {"dbus-send", "Next", 0},
      {"dbus-send", "PlayPause", 1},
      {"dbus-send", "Pause", 0},
      {"playerctl", "play", 1},
      {"dbus-send", "Stop", 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.client) + " " + step.command);
    if (*step.client) run(step.client, step.command);
    const QVariantMap player = properties(kPlayer);
    const bool playing = step.track != 0;
    EXPECT_EQ(player.value("PlaybackStatus").toString(), playing ? "Playing" : "Stopped");
    EXPECT_TRUE(player.value("CanPlay").toBool());
    EXPECT_EQ(player.value("CanPause").toBool(), playing);
    EXPECT_EQ(player.value("CanGoPrevious").toBool(), playing);
    EXPECT_EQ(player.value("CanGoNext").toBool(), playing && step.track < 3);
    const QVariantMap metadata = asMap(player.value("Metadata"));
    if (!playing) {
      EXPECT_TRUE(metadata.isEmpty());
      continue;
    }
    const QChar letter(QLatin1Char('A' + step.track - 1));
    EXPECT_EQ(metadata.value("xesam:title").toString(), QStringLiteral("Song ") + letter);
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{QStringLiteral("Artist ") + letter});
    EXPECT_EQ(metadata.value("xesam:album").toString(), "Test FM");
    EXPECT_EQ(metadata.value("xesam:trackNumber").toInt(), step.track);
    // Clients insist on the types: an object path, and 64-bit microseconds.
    const QVariant trackId = metadata.value("mpris:trackid");
    ASSERT_EQ(trackId.metaType(), QMetaType::fromType<QDBusObjectPath>());
    EXPECT_EQ(trackId.value<QDBusObjectPath>().path(),
              QStringLiteral("/org/wavecrate/Wavecrate/Track/%1").arg(step.track));
    const QVariant length = metadata.value("mpris:length");
    ASSERT_EQ(length.metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(length.toLongLong(), trackSamples(*f.tracks()[size_t(step.track - 1)]) * 1000000 / 24000);
  }

  // Each change was announced, in order, with the new values.
  std::vector<QString> statuses;
  std::vector<int> tracks;
  for (const QVariantMap& changed : recorder.announcements) {
    if (changed.contains("PlaybackStatus")) statuses.push_back(changed.value("PlaybackStatus").toString());
    if (changed.contains("Metadata"))
      tracks.push_back(asMap(changed.value("Metadata")).value("xesam:trackNumber").toInt());
  }
  EXPECT_EQ(statuses, (std::vector<QString>{"Playing", "Stopped", "Playing", "Stopped", "Playing", "Stopped"}));
  EXPECT_EQ(tracks, (std::vector<int>{1, 2, 3, 0, 1, 0, 1, 0}));
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
  EXPECT_EQ(startMediaKeys(frame, *f.session), nullptr);
  EXPECT_EQ(owner(), probe->baseService());
  ASSERT_TRUE(probe->unregisterService(kService));

  keys = startMediaKeys(frame, *f.session);
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(owner(), QDBusConnection::sessionBus().baseService());
  // Two players in one program: the second is refused, the first stays.
  EXPECT_EQ(startMediaKeys(frame, *f.session), nullptr);
  EXPECT_EQ(owner(), QDBusConnection::sessionBus().baseService());
  EXPECT_EQ(properties(kRoot).value("Identity").toString(), "Wavecrate");
}

}  // namespace
}  // namespace wc

#include "MediaKeysTest.moc"

#endif  // WAVECRATE_HAVE_MEDIA_KEYS
