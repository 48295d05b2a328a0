#include "app/WavecrateApp.h"

#include <QApplication>
#include <QScreen>

#include "app/HelpDialog.h"
#include "app/MainFrame.h"
#include "ui/CommandIds.h"
#include "ui/qt/CellFont.h"
#include "ui/qt/StudioViewWidget.h"

namespace wc {

CWavecrateApp::CWavecrateApp() = default;
CWavecrateApp::~CWavecrateApp() = default;

bool CWavecrateApp::initInstance() {
  // Toolkit set-up the view's drawing relies on.
  installFontSubstitutions();

  // INTEGRATION(game data): construct the GameData and call loadCatalogue()
  // here, before any window exists: its boxes have no owner and its disc
  // search may end the process. The view's constructor reads the catalogue.

  frame_ = std::make_unique<CMainFrame>(this);
  // INTEGRATION(view core): give the view its window now, before the first
  // paint:
  //   frame_->view().setClient(std::make_unique<StudioViewAdapter>(*gameData_, frame_->view()));

  const QScreen* screen = QGuiApplication::primaryScreen();
  frame_->placeOnDesktop(screen ? screen->geometry().size() : QSize(1024, 768));
  frame_->show();
  frame_->view().setFocus();

  // INTEGRATION(audio): create the AudioEngine, start it with an SdlSoundDevice
  // and the frame as its AudioHost, then start a 5 ms Qt::PreciseTimer on this
  // thread whose timeout calls AudioEngine::timerTick(). A failed start is the
  // engine's to report; the program runs on without sound.
  return true;
}

int CWavecrateApp::exitInstance(int loopResult) {
  frame_.reset();
  // INTEGRATION(audio): stop the 5 ms timer, then destroy the AudioEngine
  // (its destructor shuts the device down) -- after the view, whose Voice is
  // linked into it.
  return loopResult;
}

bool CWavecrateApp::onCommand(int id) {
  if (id != cmd::AppAbout) return false;
  showHelp();
  return true;
}

std::optional<CommandState> CWavecrateApp::commandState(int id) const {
  if (id != cmd::AppAbout) return std::nullopt;
  return CommandState{true, false};
}

void CWavecrateApp::showHelp() {
  CHelpDialog dialog(frame_.get());
  dialog.setText(helpText());
  dialog.exec();
}

int runWavecrate(int argc, char** argv) {
  QApplication application(argc, argv);
  // The caption of message boxes that name no caption of their own.
  QApplication::setApplicationName(QStringLiteral("Wavecrate"));
  CWavecrateApp app;
  if (!app.initInstance()) return app.exitInstance(0);
  return app.exitInstance(QApplication::exec());
}

}  // namespace wc
