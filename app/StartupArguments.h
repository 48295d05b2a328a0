#pragma once
// The window program's command line, read before any window system is
// opened, so that --help, --version and mistakes are answered on a terminal
// without a display.
#include <optional>
#include <string>
#include <variant>

#include <QStringList>

#include "base/File.h"

namespace wc {

struct StartupArguments {
  enum class Request { Run, Help, Version };
  Request request = Request::Run;  // the first --help or --version wins
  std::optional<Path> discImage;   // --disc-image FILE or --disc-image=FILE
  // The first argument that is not an option: a playlist file to open once
  // the window shows, made absolute against the directory the program
  // started in.
  std::optional<Path> playlist;
};

// `arguments` as main() receives them, the program's name first. Qt's
// standard options (-platform, -style, -display and the like) are passed
// over with their values, for QApplication to take; any other option is an
// error (the message), as is a --disc-image without a file. "--" ends the
// options.
std::variant<StartupArguments, std::string> parseStartupArguments(const QStringList& arguments);

// What --help prints, and what follows the message of a wrong command line.
std::string startupUsage();
// What --version prints.
std::string startupVersion();

}  // namespace wc
