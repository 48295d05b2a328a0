#include "app/QtDiscImageChoice.h"

#include <QFileDialog>
#include <QSettings>
#include <QUrl>

namespace wc {
namespace {

QString fromPath(const Path& path) { return QString::fromStdString(path.string()); }

}  // namespace

std::optional<Path> QtDiscImagePicker::pickDiscImage() {
  const QString file = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open Disc Image"), QString(),
                                                    QStringLiteral("Disc images (*.iso);;All files (*)"));
  if (file.isEmpty()) return std::nullopt;
  return Path(file.toStdString());
}

QtDiscImageMemory::QtDiscImageMemory(QSettings& settings, const Path& workingDirectory)
    : settings_(settings),
      // Settings keys treat slashes as groups: the directory is one key,
      // percent-encoded whole.
      key_(QStringLiteral("DiscImages/") +
           QString::fromLatin1(QUrl::toPercentEncoding(fromPath(workingDirectory.lexically_normal())))) {}

std::optional<Path> QtDiscImageMemory::recall() {
  const QString image = settings_.value(key_).toString();
  if (image.isEmpty()) return std::nullopt;
  return Path(image.toStdString());
}

void QtDiscImageMemory::remember(const Path& image) {
  settings_.setValue(key_, fromPath(std::filesystem::absolute(image).lexically_normal()));
  settings_.sync();
}

void QtDiscImageMemory::forget() {
  settings_.remove(key_);
  settings_.sync();
}

}  // namespace wc
