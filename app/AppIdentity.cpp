#include "app/AppIdentity.h"

#include <QFile>
#include <QGuiApplication>

namespace wc {

QIcon applicationIcon() {
  const QString id = QString::fromLatin1(kDesktopEntryId);
  QIcon icon;
  // The sizes the build draws into the hicolor tree, compiled in.
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString path = QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id);
    if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
  }
  return icon.isNull() ? QIcon::fromTheme(id) : icon;
}

void setApplicationIdentity() {
  // Also the caption of message boxes that name no caption of their own.
  QGuiApplication::setApplicationName(QStringLiteral("Wavecrate"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryId));
  QGuiApplication::setWindowIcon(applicationIcon());
}

}  // namespace wc
