#pragma once
// The application: start-up and shut-down order, and the Help command.
#include <memory>
#include <optional>

#include "audio/TickClock.h"
#include "base/CRandom.h"
#include "base/File.h"
#include "ui/qt/CommandTarget.h"

class QObject;
class QSettings;
class QTimer;

namespace wc {

class AudioEngine;
class QtTickTimer;
class SoundWake;
class CMainFrame;
class DiscImageFileSystem;
class QtDiscImageMemory;
class QtDiscImagePicker;
class FrameAudioHost;
class GameData;
class ProcMountTable;
class QtMessagePrompts;
class StudioSession;

class CWavecrateApp final : public CommandTarget {
 public:
  CWavecrateApp();
  ~CWavecrateApp() override;
  CWavecrateApp(const CWavecrateApp&) = delete;
  CWavecrateApp& operator=(const CWavecrateApp&) = delete;

  // Everything up to the event loop; false when the program should end
  // without running it. A QApplication must exist.
  bool initInstance();
  // After the event loop: the frame (and the view) go, then the session
  // and the sound output. Returns the program's exit status.
  int exitInstance(int loopResult);

  CMainFrame* mainFrame() const { return frame_.get(); }
  // The disc image named on the command line; call before initInstance.
  void setDiscImage(std::optional<Path> image) { discImage_ = std::move(image); }
  // The playlist named on the command line, opened once the window shows.
  void setPlaylistFile(std::optional<Path> playlist) { playlistFile_ = std::move(playlist); }

  // Help (the only command the application handles).
  bool onCommand(Command id) override;
  std::optional<CommandState> commandState(Command id) const override;

 private:
  void showHelp();
  void startSound();

  // The generator the playlist tools draw from, reseeded by every tick of
  // the sound timer.
  CRandom toolRandom_;
  TickClock ticks_{toolRandom_};
  // Declared in the order they come to life, but for the session: it uses
  // the frame's dialogs, and outlives the frame, whose view watches it.
  // Shut-down takes the frame (and with it the view) first, then the session,
  // then the sound output. The engine exists before the session, which links
  // its Voice into it; it starts after the window shows.
  std::unique_ptr<QtMessagePrompts> prompts_;
  std::unique_ptr<ProcMountTable> mounts_;
  std::optional<Path> discImage_;
  std::optional<Path> playlistFile_;
  std::unique_ptr<DiscImageFileSystem> discFiles_;  // what the game data reads through
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<QtDiscImagePicker> imagePicker_;
  std::unique_ptr<QtDiscImageMemory> imageMemory_;
  std::unique_ptr<GameData> gameData_;
  std::unique_ptr<AudioEngine> engine_;
  std::unique_ptr<FrameAudioHost> audioHost_;
  std::unique_ptr<QTimer> soundTimer_;
  // Sleeps the timer and the device while nothing can sound.
  std::unique_ptr<QtTickTimer> tickTimer_;
  std::unique_ptr<SoundWake> soundWake_;
  std::unique_ptr<StudioSession> session_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<QObject> mediaKeys_;  // null without a session bus; goes before the frame
};

// Creates the QApplication, runs start-up, the event loop and shut-down.
int runWavecrate(int argc, char** argv);

}  // namespace wc
