#include "app/StartupArguments.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

namespace wc {
namespace {

// The options QGuiApplication and QApplication take out of the command line
// themselves, with a single dash as documented (a double one works too).
constexpr std::array kQtOptionsWithValue = {"-platform",
                                            "-platformpluginpath",
                                            "-platformtheme",
                                            "-plugin",
                                            "-qwindowgeometry",
                                            "-geometry",
                                            "-qwindowtitle",
                                            "-title",
                                            "-qwindowicon",
                                            "-icon",
                                            "-session",
                                            "-display",
                                            "-name",
                                            "-style",
                                            "-stylesheet",
                                            "-qmljsdebugger"};
constexpr std::array kQtFlags = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync", "-testability"};

constexpr QLatin1StringView kDiscImageOption("--disc-image");

bool listed(const auto& options, const QString& name) {
  return std::any_of(options.begin(), options.end(), [&](const char* o) { return name == QLatin1String(o); });
}

// The image file of --disc-image FILE (taking the next argument) or
// --disc-image=FILE; empty when none is given.
QString discImageFile(const QStringList& arguments, qsizetype& i) {
  const QString& arg = arguments[i];
  if (arg.size() > kDiscImageOption.size()) return arg.mid(kDiscImageOption.size() + 1);
  return i + 1 < arguments.size() ? arguments[++i] : QString();
}

}  // namespace

std::variant<StartupArguments, std::string> parseStartupArguments(const QStringList& arguments) {
  const QString kDiscImage = QString::fromLatin1(kDiscImageOption);
  StartupArguments parsed;
  bool optionsEnded = false;
  auto request = [&](StartupArguments::Request r) {
    if (parsed.request == StartupArguments::Request::Run) parsed.request = r;
  };
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (optionsEnded || !arg.startsWith(QLatin1Char('-'))) {
      if (!parsed.playlist && !arg.isEmpty()) parsed.playlist = Path(QFileInfo(arg).absoluteFilePath().toStdString());
      continue;
    }
    if (arg == QLatin1String("--")) {
      optionsEnded = true;
    } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      request(StartupArguments::Request::Help);
    } else if (arg == QLatin1String("--version")) {
      request(StartupArguments::Request::Version);
    } else if (arg == kDiscImage || arg.startsWith(kDiscImage + QLatin1Char('='))) {
      const QString file = discImageFile(arguments, i);
      if (file.isEmpty()) return std::string("--disc-image needs the image file");
      parsed.discImage = Path(file.toStdString());
    } else {
      const QString single = arg.startsWith(QLatin1String("--")) ? arg.mid(1) : arg;
      const QString name = single.section(QLatin1Char('='), 0, 0);
      if (listed(kQtOptionsWithValue, name)) {
        if (name == single && i + 1 < arguments.size()) ++i;  // its value is the next argument
      } else if (!listed(kQtFlags, single)) {
        return "unrecognised option '" + arg.toStdString() + "'";
      }
    }
  }
  return parsed;
}

std::string startupUsage() {
  return "Usage: wavecrate [OPTION]... [PLAYLIST]\n"
         "Build audio CDs from the radio stations of a game disc, opening PLAYLIST\n"
         "(a .wcpl file) once the window shows.\n"
         "\n"
         "  --disc-image FILE  read the game disc from the ISO image FILE\n"
         "  -h, --help         show this help and exit\n"
         "  --version          show the version and exit\n"
         "\n"
         "Qt's standard options (-platform, -style, -display and the others) are\n"
         "taken too. The catalogue file and the audio cache are kept in the\n"
         "working directory; the desktop entry starts the program in\n"
         "$XDG_DATA_HOME/wavecrate.\n";
}

std::string startupVersion() { return "wavecrate " WAVECRATE_VERSION "\n"; }

}  // namespace wc
