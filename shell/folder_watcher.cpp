#include "shell/folder_watcher.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

FolderWatcher::FolderWatcher(QObject* parent) : QObject(parent) {
  connect(&system_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
    if (path == path_) check();
  });
}

QSet<QString> FolderWatcher::namesIn(const QString& path) {
  const QStringList list =
      QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  return QSet<QString>(list.begin(), list.end());
}

void FolderWatcher::watch(const QString& path) {
  if (!system_.directories().isEmpty()) system_.removePaths(system_.directories());
  path_.clear();
  names_.clear();
  if (path.isEmpty() || !QFileInfo(path).isDir()) return;
  path_ = path;
  // A folder the system cannot watch (no permission, too many watches) is
  // simply not refreshed.
  system_.addPath(path);
  names_ = namesIn(path);
}

void FolderWatcher::check() {
  if (path_.isEmpty()) return;
  const QString path = path_;
  if (!QFileInfo(path).isDir()) {
    // The folder itself went away; the system has dropped its watch.
    names_.clear();
    emit namesChanged();
    return;
  }
  if (!system_.directories().contains(path)) system_.addPath(path);
  QSet<QString> now = namesIn(path);
  if (now == names_) return;
  names_ = std::move(now);
  emit namesChanged();
}

}  // namespace shell
