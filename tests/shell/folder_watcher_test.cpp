#include "shell/folder_watcher.h"

#include "tests/shell/qt_test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

TEST(FolderWatcher, ReportsAFileCreatedByAnotherProcess) {
  const QString folder = NewTestFolder();
  shell::FolderWatcher watcher;
  watcher.watch(folder);
  QSignalSpy spy(&watcher, &shell::FolderWatcher::namesChanged);
  ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {folder + "/new.txt"}), 0);
  EXPECT_TRUE(spy.wait(5000));
}

TEST(FolderWatcher, ReplacingAFileThroughARenameIsNoChange) {
  const QString folder = NewTestFolder();
  WriteFile(folder + "/program.desc", "old");
  shell::FolderWatcher watcher;
  watcher.watch(folder);
  QSignalSpy spy(&watcher, &shell::FolderWatcher::namesChanged);

  // The store's safe write: a new file, then a rename over the old one.
  WriteFile(folder + "/program.desc.new", "new");
  ASSERT_TRUE(QFile::rename(folder + "/program.desc", folder + "/program.desc.old"));
  ASSERT_TRUE(QFile::rename(folder + "/program.desc.new", folder + "/program.desc"));
  ASSERT_TRUE(QFile::remove(folder + "/program.desc.old"));
  watcher.check();
  EXPECT_EQ(spy.count(), 0);

  WriteFile(folder + "/memo.desc", "memo");
  watcher.check();
  EXPECT_EQ(spy.count(), 1);
  watcher.check();
  EXPECT_EQ(spy.count(), 1);
}

TEST(FolderWatcher, ReportsDeletionRenameAndAVanishingFolder) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/inner");
  WriteFile(folder + "/a.txt", "a");
  shell::FolderWatcher watcher;
  watcher.watch(folder);
  QSignalSpy spy(&watcher, &shell::FolderWatcher::namesChanged);

  ASSERT_TRUE(QFile::rename(folder + "/a.txt", folder + "/b.txt"));
  ASSERT_TRUE(spy.wait(5000));
  ASSERT_TRUE(QFile::remove(folder + "/b.txt"));
  ASSERT_TRUE(spy.wait(5000));
  ASSERT_TRUE(QDir(folder).removeRecursively());
  ASSERT_TRUE(spy.wait(5000));
}

TEST(FolderWatcher, WatchesOneFolderOnly) {
  const QString first = NewTestFolder();
  const QString second = NewTestFolder();
  shell::FolderWatcher watcher;
  watcher.watch(first);
  watcher.watch(second);
  EXPECT_EQ(watcher.watchedPath(), second);
  QSignalSpy spy(&watcher, &shell::FolderWatcher::namesChanged);
  WriteFile(first + "/ignored.txt", "x");
  WriteFile(second + "/seen.txt", "x");
  ASSERT_TRUE(spy.wait(5000));
  EXPECT_FALSE(spy.wait(200));
  EXPECT_EQ(spy.count(), 1);
  watcher.watch(QString());
  EXPECT_EQ(watcher.watchedPath(), QString());
}
