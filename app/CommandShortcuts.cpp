#include "app/CommandShortcuts.h"

#include <array>

#include "ui/CommandIds.h"

namespace wc {

namespace {

struct Shortcut {
  int id;
  const char* keys;  // in QKeySequence's portable text form
};

// The desktop's usual keys for the file commands and Help; Ctrl with the
// arrows steps through the tracks, as media players do.
constexpr std::array kShortcuts{
    Shortcut{cmd::FileNew, "Ctrl+N"},          Shortcut{cmd::FileOpen, "Ctrl+O"}, Shortcut{cmd::FileSave, "Ctrl+S"},
    Shortcut{cmd::FileSaveAs, "Ctrl+Shift+S"}, Shortcut{cmd::AppExit, "Ctrl+Q"},  Shortcut{cmd::AppAbout, "F1"},
    Shortcut{cmd::Previous, "Ctrl+Left"},      Shortcut{cmd::Next, "Ctrl+Right"},
};

}  // namespace

QKeySequence menuShortcut(int id) {
  for (const Shortcut& s : kShortcuts)
    if (s.id == id) return QKeySequence(QString::fromLatin1(s.keys), QKeySequence::PortableText);
  return {};
}

}  // namespace wc
