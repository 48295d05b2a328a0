#pragma once
// Modal message boxes without an owner window, as the game data layer shows
// them before or outside the main window. The window program implements this
// with real dialogs; tests script the answers.
#include <string_view>

namespace wc {

// OkCancelOpenImage is the disc box with a third button, "Open Disc
// Image...", answered with OpenImage.
enum class MessageButtons { Ok, OkCancel, OkCancelOpenImage };
enum class MessageAnswer { Ok, Cancel, OpenImage };

class MessagePrompts {
 public:
  virtual ~MessagePrompts() = default;
  // Blocks until the user answers. Closing the box counts as Cancel.
  virtual MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) = 0;
};

}  // namespace wc
