#pragma once
// The program's command set in one table: every command with its menu text,
// its prompt (status-bar text, then "\n" and the tooltip), its toolbar image
// and who handles it. The menus, the toolbar and the enable pass are all
// built from this table and the two layouts below.
#include <span>
#include <string>

#include "session/Command.h"

namespace wc {

enum class CommandHandler { View, Frame, App };
enum class MenuName { None, File, Edit, View, Playback, Tools, Help };

// Not a command: a menu row or toolbar slot that holds a separator.
inline constexpr Command kSeparator = Command{0};
inline constexpr int kNoImage = -1;

struct CommandInfo {
  Command id;            // kSeparator for a menu separator
  MenuName menu;         // None: no menu item
  const char* menuText;  // "&" marks the access key
  const char* prompt;    // empty when the command has none
  int toolbarImage;      // index into the toolbar strip, or kNoImage
  CommandHandler handler;
};

// Menu rows in menu order (separators included), then the hidden commands.
std::span<const CommandInfo> commandTable();
// The row of `id`, or null (never a separator).
const CommandInfo* findCommand(Command id);

struct MenuTitle {
  MenuName menu;
  const char* title;
};
// The menu bar, left to right.
std::span<const MenuTitle> menuTitles();

// Toolbar buttons left to right; kSeparator for a gap.
std::span<const Command> toolbarLayout();

// The prompt's parts: the status-bar text before "\n", the tooltip after it.
std::string promptStatusText(const char* prompt);
std::string promptTooltip(const char* prompt);

}  // namespace wc
