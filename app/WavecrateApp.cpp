#include "app/WavecrateApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/AppIdentity.h"
#include "app/CentredShow.h"
#include "app/HelpDialog.h"
#include "app/MainFrame.h"
#include "app/MediaKeys.h"
#include "app/QtDiscImageChoice.h"
#include "app/QtMessagePrompts.h"
#include "app/StartupArguments.h"
#include "audio/AudioEngine.h"
#include "audio/SoundWake.h"
#include "audio/sdl/SdlSoundDevice.h"
#include "gamedata/DiscImageFileSystem.h"
#include "gamedata/GameData.h"
#include "gamedata/GuardedExit.h"
#include "session/Command.h"
#include "session/StudioSession.h"
#include "ui/qt/CellFont.h"
#include "ui/qt/StudioViewAdapter.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {

// The sound output's way to the user when it cannot start: a box owned by
// the main window, then the window closes and the program ends.
class FrameAudioHost final : public AudioHost {
 public:
  explicit FrameAudioHost(CMainFrame& frame) : frame_(frame) {}
  void showAudioError(const char* message) override {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), QString::fromUtf8(message), QMessageBox::Ok,
                    &frame_);
    box.exec();
  }
  // Queued, so that it also works before the event loop runs.
  void closeMainWindow() override { QMetaObject::invokeMethod(&frame_, "close", Qt::QueuedConnection); }

 private:
  CMainFrame& frame_;
};

// The 5 ms timer as the sound wake starts and stops it.
class QtTickTimer final : public TickTimer {
 public:
  explicit QtTickTimer(QTimer& timer) : timer_(timer) {}
  void startTicks() override { timer_.start(); }
  void stopTicks() override { timer_.stop(); }

 private:
  QTimer& timer_;
};

CWavecrateApp::CWavecrateApp() = default;
CWavecrateApp::~CWavecrateApp() = default;

bool CWavecrateApp::initInstance() {
  // Toolkit set-up the view's drawing relies on.
  installFontSubstitutions();

  // The catalogue comes before any window: its boxes have no owner, the disc
  // search may end the process, and the view's constructor reads it. The
  // working directory holds the catalogue file and the cache.
  prompts_ = std::make_unique<QtMessagePrompts>();
  std::error_code cwdError;
  const std::filesystem::path workingDirectory = std::filesystem::current_path(cwdError);
  if (cwdError) {
    const std::string message = "The working directory cannot be used: " + cwdError.message();
    std::fprintf(stderr, "wavecrate: %s\n", message.c_str());
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromStdString(message));
    return false;
  }
  mounts_ = std::make_unique<ProcMountTable>(realFileSystem());
  // A disc image is offered in the disc box and remembered per working
  // directory; its files are read through discFiles_.
  discFiles_ = std::make_unique<DiscImageFileSystem>(realFileSystem());
  settings_ = std::make_unique<QSettings>(QStringLiteral("Wavecrate"), QStringLiteral("Wavecrate"));
  imagePicker_ = std::make_unique<QtDiscImagePicker>();
  imageMemory_ = std::make_unique<QtDiscImageMemory>(*settings_, workingDirectory);
  // Cancel in the disc box ends the program, after the close question when
  // annotations were changed and not saved (its Cancel keeps it running).
  auto mayExit = [this] {
    ViewClient* client = frame_ ? frame_->view().client() : nullptr;
    return !client || client->queryClose();
  };
  gameData_ = std::make_unique<GameData>(*discFiles_, workingDirectory, *mounts_, *prompts_,
                                         exitUnlessObjected(mayExit, processExit()));
  gameData_->discLocator().useDiscImages({discFiles_.get(), discImage_, imagePicker_.get(), imageMemory_.get()});
  gameData_->loadCatalogue();

  engine_ = std::make_unique<AudioEngine>();
  // The tick count is kFirstTickCount now; the timer exists from here on,
  // running only once the engine has started.
  soundTimer_ = std::make_unique<QTimer>();
  tickTimer_ = std::make_unique<QtTickTimer>(*soundTimer_);
  soundWake_ = std::make_unique<SoundWake>(
      *engine_, *tickTimer_, ticks_, [] { return std::chrono::steady_clock::now(); }, std::chrono::steady_clock::now());
  frame_ = std::make_unique<CMainFrame>(this);
  frame_->view().useSettings(settings_.get());
  frame_->useRecentSettings(*settings_);
  session_ = std::make_unique<StudioSession>(*gameData_, frame_->view().dialogs(), toolRandom_, soundWake_.get());
  soundWake_->soundNeeded = [session = session_.get()] { return session->transport().somethingPlays(); };
  frame_->view().setClient(std::make_unique<StudioViewAdapter>(*session_, frame_->view()));
  mediaKeys_ = startMediaKeys(*frame_, *session_);

  const QScreen* screen = QGuiApplication::primaryScreen();
  showCentred(*frame_, screen ? screen->geometry() : QRect(0, 0, 1024, 768));
  frame_->view().setFocus();

  startSound();
  // Questions about the disc come once the window can be seen behind them.
  QTimer::singleShot(0, frame_.get(), [this] {
    ViewClient* client = frame_ ? frame_->view().client() : nullptr;
    if (!client) return;
    // A failure shows the usual box and leaves the empty playlist.
    if (playlistFile_) client->openPlaylist(playlistFile_->string(), false);
    client->windowShown();
  });
  return true;
}

void CWavecrateApp::startSound() {
  audioHost_ = std::make_unique<FrameAudioHost>(*frame_);
  // On failure the engine shows its message and closes the main window.
  if (!engine_->start(std::make_unique<SdlSoundDevice>(), *audioHost_)) return;
  // The ring is refilled from the play cursor on every tick, so late or
  // missed ticks cost nothing but latency.
  // The sound wake stops the timer and the device once nothing has sounded
  // for a ring's length, and starts both before the next sound.
  soundTimer_->setTimerType(Qt::PreciseTimer);
  soundTimer_->setInterval(AudioEngine::kTimerPeriodMs);
  QObject::connect(soundTimer_.get(), &QTimer::timeout, [this] { soundWake_->tick(); });
  // The window took its time to come up; the first tick is one period from now.
  soundWake_->countFrom(std::chrono::steady_clock::now());
  tickTimer_->startTicks();
}

int CWavecrateApp::exitInstance(int loopResult) {
  if (soundWake_) soundWake_->soundNeeded = nullptr;  // it asks the session, which goes now
  mediaKeys_.reset();
  frame_.reset();
  session_.reset();
  if (soundTimer_) soundTimer_->stop();
  soundWake_.reset();
  tickTimer_.reset();
  soundTimer_.reset();
  engine_.reset();  // after the session, whose Voice was linked into it
  audioHost_.reset();
  return loopResult;
}

bool CWavecrateApp::onCommand(Command id) {
  if (id != Command::AppAbout) return false;
  showHelp();
  return true;
}

std::optional<CommandState> CWavecrateApp::commandState(Command id) const {
  if (id != Command::AppAbout) return std::nullopt;
  return CommandState{true, false};
}

void CWavecrateApp::showHelp() {
  CHelpDialog dialog(frame_.get());
  dialog.setText(helpText());
  dialog.exec();
}

int runWavecrate(int argc, char** argv) {
  // Read before QApplication exists: it would need a display, and it takes
  // its own options out of argv.
  QStringList commandLine;
  for (int i = 0; i < argc; ++i) commandLine << QString::fromLocal8Bit(argv[i]);
  const auto arguments = parseStartupArguments(commandLine);
  if (const auto* error = std::get_if<std::string>(&arguments)) {
    std::fprintf(stderr, "wavecrate: %s\n%s", error->c_str(), startupUsage().c_str());
    return 2;
  }
  const StartupArguments& parsed = std::get<StartupArguments>(arguments);
  switch (parsed.request) {
    case StartupArguments::Request::Help: std::fputs(startupUsage().c_str(), stdout); return 0;
    case StartupArguments::Request::Version: std::fputs(startupVersion().c_str(), stdout); return 0;
    case StartupArguments::Request::Run: break;
  }
  QApplication application(argc, argv);
  setApplicationIdentity();
  CWavecrateApp app;
  app.setDiscImage(parsed.discImage);
  app.setPlaylistFile(parsed.playlist);
  if (!app.initInstance()) return app.exitInstance(1);
  return app.exitInstance(QApplication::exec());
}

}  // namespace wc
