#pragma once
// Message boxes for the game data layer. They have no owner window: the first
// ones come up while the catalogue loads, before the main window exists.
#include "gamedata/MessagePrompts.h"

namespace wc {

class QtMessagePrompts final : public MessagePrompts {
 public:
  MessageAnswer showMessage(std::string_view caption, std::string_view text, MessageButtons buttons) override;
};

}  // namespace wc
