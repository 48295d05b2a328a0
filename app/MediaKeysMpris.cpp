// The media player on the session bus: the two standard interfaces as Qt
// D-Bus adaptors on one object, and the announcements of what changed.
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>
#include <functional>

#include "app/MainFrame.h"
#include "app/MediaKeys.h"
#include "gamedata/GameData.h"
#include "session/Command.h"
#include "session/MediaPlayerState.h"
#include "session/StudioSession.h"

namespace wc {
namespace {

const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.wavecrate");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The player's Can* properties, from the enable states the menu shows.
struct PlayerAbilities {
  bool play = false;   // also while something plays: clients read it as "has a current track"
  bool pause = false;  // Pause stops
  bool next = false;
  bool previous = false;
};

QString latin1(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

// A track's id must be an object path outside /org/mpris; the playlist
// position names a CD track, a preview has one id of its own.
QDBusObjectPath trackId(const MediaTrackInfo& track) {
  if (track.trackNumber == 0) return QDBusObjectPath(QStringLiteral("/org/wavecrate/Wavecrate/Preview"));
  return QDBusObjectPath(QStringLiteral("/org/wavecrate/Wavecrate/Track/%1").arg(track.trackNumber));
}

QVariantMap metadataOf(const MediaPlayerState& state) {
  QVariantMap map;
  if (!state.track) return map;  // nothing plays: no metadata at all
  const MediaTrackInfo& track = *state.track;
  map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId(track)));
  if (track.lengthMicroseconds > 0) map.insert(QStringLiteral("mpris:length"), qlonglong(track.lengthMicroseconds));
  map.insert(QStringLiteral("xesam:title"), latin1(track.title));
  if (!track.artist.empty()) map.insert(QStringLiteral("xesam:artist"), QStringList{latin1(track.artist)});
  map.insert(QStringLiteral("xesam:album"), latin1(track.station));
  if (track.trackNumber > 0) map.insert(QStringLiteral("xesam:trackNumber"), track.trackNumber);
  return map;
}

QString statusName(MediaPlaybackStatus status) {
  return status == MediaPlaybackStatus::Playing ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

class MprisPlayer;

// org.mpris.MediaPlayer2: who the player is, Raise and Quit.
class MprisRootAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ canQuit)
  Q_PROPERTY(bool CanRaise READ canRaise)
  Q_PROPERTY(bool HasTrackList READ hasTrackList)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

 public:
  explicit MprisRootAdaptor(MprisPlayer& player);
  bool canQuit() const { return true; }
  bool canRaise() const { return true; }
  bool hasTrackList() const { return false; }
  QString identity() const { return QStringLiteral("Wavecrate"); }
  QString desktopEntry() const { return QStringLiteral("org.wavecrate.Wavecrate"); }
  // Nothing is opened from outside.
  QStringList supportedUriSchemes() const { return {}; }
  QStringList supportedMimeTypes() const { return {}; }

 public Q_SLOTS:
  void Raise();
  void Quit();

 private:
  MprisPlayer& player_;
};

// org.mpris.MediaPlayer2.Player. The program cannot pause: Pause stops (and
// CanPause follows Stop), so the desktop's play/pause button stops what
// plays, and Play starts the playlist over as the menu's Play does. There is
// no seeking, no rate and no volume of its own.
class MprisPlayerAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(double Rate READ rate WRITE setRate)
  Q_PROPERTY(double MinimumRate READ rate)
  Q_PROPERTY(double MaximumRate READ rate)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(bool CanGoNext READ canGoNext)
  Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
  Q_PROPERTY(bool CanPlay READ canPlay)
  Q_PROPERTY(bool CanPause READ canPause)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ canControl)

 public:
  explicit MprisPlayerAdaptor(MprisPlayer& player);
  QString playbackStatus() const;
  QVariantMap metadata() const;
  qlonglong position() const;
  double rate() const { return 1.0; }
  void setRate(double) {}
  double volume() const { return 1.0; }
  void setVolume(double) {}
  bool canGoNext() const;
  bool canGoPrevious() const;
  bool canPlay() const;
  bool canPause() const;
  bool canSeek() const { return false; }
  bool canControl() const { return true; }

 public Q_SLOTS:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath&, qlonglong) {}
  void OpenUri(const QString&) {}

 Q_SIGNALS:
  void Seeked(qlonglong position);

 private:
  MprisPlayer& player_;
};

// The object at /org/mpris/MediaPlayer2 that both adaptors hang on.
class MprisPlayer final : public QObject {
  Q_OBJECT

 public:
  MprisPlayer(CMainFrame& frame, StudioSession& session, QDBusConnection bus)
      : frame_(frame), session_(session), bus_(std::move(bus)) {
    new MprisRootAdaptor(*this);  // owned by this object, as Qt D-Bus wants
    new MprisPlayerAdaptor(*this);
    announced_ = state();
    announcedAbilities_ = abilities();
  }
  // Gives back only what this player took: a copy that found the name taken
  // must not unregister the one that holds it.
  ~MprisPlayer() override {
    if (ownsName_) bus_.unregisterService(kServiceName);
    if (ownsObject_) bus_.unregisterObject(kObjectPath);
  }
  MprisPlayer(const MprisPlayer&) = delete;
  MprisPlayer& operator=(const MprisPlayer&) = delete;

  // False, with the reason on stderr, when the player cannot be reached.
  bool registerOnBus() {
    const char* failure = nullptr;
    if (!bus_.isConnected())
      failure = "there is no session bus";
    else if (!(ownsObject_ = bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)))
      failure = "the player object is registered already";
    else if (!(ownsName_ = bus_.registerService(kServiceName)))
      failure = "another program holds the name org.mpris.MediaPlayer2.wavecrate";
    if (!failure) {
      // Whatever changes the status, the track or what may be done also
      // brings the frame's enable states up to date.
      connect(&frame_, &CMainFrame::commandStatesUpdated, this, &MprisPlayer::announceChanges);
      return true;
    }
    std::fprintf(stderr, "wavecrate: media keys are off: %s\n", failure);
    return false;
  }

  MediaPlayerState state() const { return mediaPlayerState(session_.catalogue(), session_.transport()); }
  PlayerAbilities abilities() const {
    const bool stop = enabled(Command::Stop);
    return {enabled(Command::Play) || stop, stop, enabled(Command::Next), enabled(Command::Previous)};
  }

  // Runs after the bus call has been answered, as a menu choice runs after
  // the menu closed: a box it opens cannot hold the caller up. The toolbar
  // shows what the command changed at once, as after a menu choice.
  void runCommand(Command command) {
    QTimer::singleShot(0, this, [this, command] { execute(command); });
  }
  void playPause() {
    QTimer::singleShot(0, this,
                       [this] { execute(session_.transport().somethingPlays() ? Command::Stop : Command::Play); });
  }
  void quit() {
    QTimer::singleShot(0, this, [this] { frame_.executeCommand(Command::AppExit); });
  }
  void raise() {
    frame_.setWindowState(frame_.windowState() & ~Qt::WindowMinimized);
    frame_.show();
    frame_.raise();
    frame_.activateWindow();
  }

  // Tells listeners which player properties changed since the last call;
  // Qt D-Bus sends nothing by itself.
  void announceChanges() {
    const MediaPlayerState now = state();
    const PlayerAbilities can = abilities();
    QVariantMap changed;
    if (now.status != announced_.status) changed.insert(QStringLiteral("PlaybackStatus"), statusName(now.status));
    if (now.track != announced_.track) changed.insert(QStringLiteral("Metadata"), metadataOf(now));
    const std::pair<const char*, bool PlayerAbilities::*> flags[] = {{"CanPlay", &PlayerAbilities::play},
                                                                     {"CanPause", &PlayerAbilities::pause},
                                                                     {"CanGoNext", &PlayerAbilities::next},
                                                                     {"CanGoPrevious", &PlayerAbilities::previous}};
    for (const auto& [name, flag] : flags)
      if (can.*flag != announcedAbilities_.*flag) changed.insert(QString::fromLatin1(name), can.*flag);
    announced_ = now;
    announcedAbilities_ = can;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
  }

 private:
  void execute(Command command) {
    if (session_.execute(command)) frame_.updateCommandStates();
  }
  bool enabled(Command command) const {
    const auto state = session_.commandState(command);
    return state && state->enabled;
  }

  CMainFrame& frame_;
  StudioSession& session_;
  QDBusConnection bus_;
  bool ownsObject_ = false;
  bool ownsName_ = false;
  MediaPlayerState announced_;
  PlayerAbilities announcedAbilities_;
};

MprisRootAdaptor::MprisRootAdaptor(MprisPlayer& player) : QDBusAbstractAdaptor(&player), player_(player) {}
void MprisRootAdaptor::Raise() { player_.raise(); }
void MprisRootAdaptor::Quit() { player_.quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisPlayer& player) : QDBusAbstractAdaptor(&player), player_(player) {}
QString MprisPlayerAdaptor::playbackStatus() const { return statusName(player_.state().status); }
QVariantMap MprisPlayerAdaptor::metadata() const { return metadataOf(player_.state()); }
qlonglong MprisPlayerAdaptor::position() const { return player_.state().positionMicroseconds; }
bool MprisPlayerAdaptor::canGoNext() const { return player_.abilities().next; }
bool MprisPlayerAdaptor::canGoPrevious() const { return player_.abilities().previous; }
bool MprisPlayerAdaptor::canPlay() const { return player_.abilities().play; }
bool MprisPlayerAdaptor::canPause() const { return player_.abilities().pause; }
void MprisPlayerAdaptor::Next() { player_.runCommand(Command::Next); }
void MprisPlayerAdaptor::Previous() { player_.runCommand(Command::Previous); }
void MprisPlayerAdaptor::Pause() { player_.runCommand(Command::Stop); }
void MprisPlayerAdaptor::PlayPause() { player_.playPause(); }
void MprisPlayerAdaptor::Stop() { player_.runCommand(Command::Stop); }
void MprisPlayerAdaptor::Play() { player_.runCommand(Command::Play); }

}  // namespace

std::unique_ptr<QObject> startMediaKeys(CMainFrame& frame, StudioSession& session) {
  auto player = std::make_unique<MprisPlayer>(frame, session, QDBusConnection::sessionBus());
  if (!player->registerOnBus()) return nullptr;
  return player;
}

}  // namespace wc

#include "MediaKeysMpris.moc"
