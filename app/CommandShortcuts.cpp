#include "app/CommandShortcuts.h"

#include <array>

#include "session/Command.h"

namespace wc {

namespace {

struct Shortcut {
  Command id;
  const char* keys;  // in QKeySequence's portable text form
};

// The desktop's usual keys for the file and edit commands and Help; Ctrl with the
// arrows steps through the tracks, as media players do.
constexpr std::array kShortcuts{
    Shortcut{Command::FileNew, "Ctrl+N"},     Shortcut{Command::FileOpen, "Ctrl+O"},
    Shortcut{Command::FileSave, "Ctrl+S"},    Shortcut{Command::FileSaveAs, "Ctrl+Shift+S"},
    Shortcut{Command::AppExit, "Ctrl+Q"},     Shortcut{Command::AppAbout, "F1"},
    Shortcut{Command::Previous, "Ctrl+Left"}, Shortcut{Command::Next, "Ctrl+Right"},
    Shortcut{Command::EditUndo, "Ctrl+Z"},    Shortcut{Command::EditRedo, "Ctrl+Shift+Z"},
};

}  // namespace

QKeySequence menuShortcut(Command id) {
  for (const Shortcut& s : kShortcuts)
    if (s.id == id) return QKeySequence(QString::fromLatin1(s.keys), QKeySequence::PortableText);
  return {};
}

}  // namespace wc
