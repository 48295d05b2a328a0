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
};

// `arguments` as QCoreApplication::arguments() gives them, the program's
// name first. Arguments it does not know are left alone, as before it took
// any; a --disc-image without a file is an error (the message).
std::variant<StartupArguments, std::string> parseStartupArguments(const QStringList& arguments);

}  // namespace wc
