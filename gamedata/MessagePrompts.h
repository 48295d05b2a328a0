#pragma once
// Modal message boxes without an owner window, as the game data layer shows
// them before or outside the main window. The window program implements this
// with real dialogs; tests script the answers.
#include <string_view>

namespace wc {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class MessagePrompts {
 public:
  virtual ~MessagePrompts() = default;
  // Blocks until the user answers. Closing the box counts as Cancel.
  virtual MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) = 0;
};

}  // namespace wc
