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
  // The settings file may have been written by hand or by another program:
  // only the first kMaxEntries count, each once, so a huge list neither
  // fills the menu nor has every name looked up on disk at start-up.
  QStringList existing;
  for (qsizetype i = 0; i < all.size() && i < kMaxEntries; ++i) {
    const QString& path = all[i];
    if (!existing.contains(path) && QFileInfo(path).isFile()) existing.append(path);
  }
  if (existing != all) store(existing);
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
