#include "app/RecentPlaylists.h"

#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

namespace wc {

namespace {
constexpr const char* kSettingsKey = "RecentPlaylists";
}  // namespace

QStringList RecentPlaylists::stored() const { return settings_.value(QLatin1String(kSettingsKey)).toStringList(); }

void RecentPlaylists::store(const QStringList& paths) {
  settings_.setValue(QLatin1String(kSettingsKey), paths);
  settings_.sync();  // another instance started later reads the same list
}

QStringList RecentPlaylists::entries() {
  const QStringList all = stored();
  QStringList existing;
  for (const QString& path : all)
    if (QFileInfo(path).isFile()) existing.append(path);
  if (existing.size() != all.size()) store(existing);
  return existing;
}

void RecentPlaylists::add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList paths = stored();
  paths.removeAll(absolute);
  paths.prepend(absolute);
  while (paths.size() > kMaxEntries) paths.removeLast();
  store(paths);
}

void RecentPlaylists::remove(const QString& path) {
  QStringList paths = stored();
  if (paths.removeAll(QFileInfo(path).absoluteFilePath()) > 0) store(paths);
}

QString droppedPlaylistPath(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (path.endsWith(QLatin1String(".wcpl"), Qt::CaseInsensitive)) return path;
  }
  return {};
}

}  // namespace wc
