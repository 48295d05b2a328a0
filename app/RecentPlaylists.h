#pragma once
// The playlists opened or saved last, newest first, kept in the settings so
// that the File menu offers them in the next session too.
#include <QString>
#include <QStringList>

class QMimeData;
class QSettings;

namespace wc {

class RecentPlaylists {
 public:
  static constexpr int kMaxEntries = 8;

  // `settings` must outlive this object.
  explicit RecentPlaylists(QSettings& settings) : settings_(settings) {}

  // The stored list, newest first, without the files that no longer exist
  // (those are dropped from the settings too).
  QStringList entries();
  // Puts `path` first (once), keeping at most kMaxEntries.
  void add(const QString& path);
  void remove(const QString& path);

 private:
  QStringList stored() const;
  void store(const QStringList& paths);

  QSettings& settings_;
};

// The playlist a drag from the file manager carries: the first local file
// whose name ends in ".wcpl" (any case). Empty when there is none.
QString droppedPlaylistPath(const QMimeData& data);

}  // namespace wc
