#pragma once
// What the sound output asks of the window program when it cannot start.
namespace wc {

class AudioHost {
 public:
  virtual ~AudioHost() = default;
  // A message box owned by the main window with the system's default
  // caption and an OK button; returns when the user has closed it.
  virtual void showAudioError(const char* message) = 0;
  // Asks the main window to close, which ends the program.
  virtual void closeMainWindow() = 0;
};

}  // namespace wc
