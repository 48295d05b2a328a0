#include "app/StartupArguments.h"

#include <QFileInfo>

namespace wc {

std::variant<StartupArguments, std::string> parseStartupArguments(const QStringList& arguments) {
  static const QString kOption = QStringLiteral("--disc-image");
  StartupArguments parsed;
  bool optionsEnded = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (optionsEnded || !arg.startsWith(QLatin1Char('-'))) {
      if (!parsed.playlist && !arg.isEmpty()) parsed.playlist = Path(QFileInfo(arg).absoluteFilePath().toStdString());
      continue;
    }
    if (arg == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    QString file;
    if (arg == kOption) {
      if (i + 1 >= arguments.size()) return std::string("--disc-image needs the image file");
      file = arguments[++i];
    } else if (arg.startsWith(kOption + QLatin1Char('='))) {
      file = arg.mid(kOption.size() + 1);
    } else {
      continue;
    }
    if (file.isEmpty()) return std::string("--disc-image needs the image file");
    parsed.discImage = Path(file.toStdString());
  }
  return parsed;
}

}  // namespace wc
