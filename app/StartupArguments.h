#pragma once
// The window program's own command-line arguments, after Qt has taken its
// standard ones out.
#include <optional>
#include <string>
#include <variant>

#include <QStringList>

#include "base/File.h"

namespace wc {

struct StartupArguments {
  std::optional<Path> discImage;  // --disc-image FILE or --disc-image=FILE
  // The first argument that is not an option: a playlist file to open once
  // the window shows, made absolute against the directory the program
  // started in.
  std::optional<Path> playlist;
};

// `arguments` as QCoreApplication::arguments() gives them, the program's
// name first. Options it does not know are left alone; a --disc-image
// without a file is an error (the message). "--" ends the options.
std::variant<StartupArguments, std::string> parseStartupArguments(const QStringList& arguments);

}  // namespace wc
