// Watches one folder for files or folders being created, deleted or renamed.
//
// The system reports every change of the folder's entries (contents and
// attributes included); the watcher keeps the set of names it last saw and
// reports only when that set differs. So a file replaced through a new file
// and a rename (the description store's safe write) is no change, while a
// creation, a deletion or a rename to a new name is.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>

namespace shell {

class FolderWatcher : public QObject {
  Q_OBJECT

 public:
  explicit FolderWatcher(QObject* parent = nullptr);

  // Starts watching `path` in place of the folder watched before; an empty
  // path, or one that is no folder, stops watching.
  void watch(const QString& path);
  QString watchedPath() const { return path_; }

  // Compares the folder's names with those last seen and raises
  // namesChanged() when they differ; the system's change reports end here.
  void check();

 signals:
  // The set of names in the watched folder changed, or the folder vanished.
  void namesChanged();

 private:
  static QSet<QString> namesIn(const QString& path);

  QFileSystemWatcher system_;
  QString path_;
  QSet<QString> names_;
};

}  // namespace shell
