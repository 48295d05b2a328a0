#pragma once
// The keyboard shortcuts of menu commands. The menus show them in their
// shortcut column; the menu texts themselves stay as the command table has them.
#include <QKeySequence>

#include "session/Command.h"

namespace wc {

// The shortcut of command `id`, empty for a command that has none.
QKeySequence menuShortcut(Command id);

}  // namespace wc
