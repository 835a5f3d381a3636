#include "shell/folder_model.h"

#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QCursor>
#include <QDir>

#include <gtest/gtest.h>

using shell::FolderModel;

namespace {

QStringList ChildNames(FolderModel& model, const QModelIndex& parent) {
  model.ensureChildren(parent);
  QStringList names;
  for (int row = 0; row < model.rowCount(parent); ++row) names << model.name(model.index(row, 0, parent));
  return names;
}

}  // namespace

TEST(FolderModel, DesktopIsTheOneTopNode) {
  FolderModel model;
  ASSERT_EQ(model.rowCount(), 1);
  const QModelIndex desktop = model.desktopIndex();
  EXPECT_EQ(desktop, model.index(0, 0));
  EXPECT_EQ(model.name(desktop), QStringLiteral("Рабочий стол"));
  EXPECT_EQ(model.path(desktop), TestDesktop());
  EXPECT_EQ(model.kind(desktop), FolderModel::Kind::Desktop);
}

TEST(FolderModel, DesktopHoldsHomeComputerThenItsSubfoldersSortedWithoutCase) {
  for (const char* name : {"gamma", "Alpha", "beta", ".hidden", "Beta2"}) MakeFolder(TestDesktop() + "/" + name);
  FolderModel model;
  const QModelIndex desktop = model.desktopIndex();
  EXPECT_EQ(ChildNames(model, desktop),
            (QStringList{QStringLiteral("home"), QStringLiteral("Компьютер"), QStringLiteral("Alpha"),
                         QStringLiteral("beta"), QStringLiteral("Beta2"), QStringLiteral("gamma")}));
  EXPECT_EQ(model.path(model.index(0, 0, desktop)), TestHome());
  EXPECT_EQ(model.kind(model.index(0, 0, desktop)), FolderModel::Kind::Home);
  EXPECT_EQ(model.path(model.index(2, 0, desktop)), TestDesktop() + "/Alpha");
  for (const char* name : {"gamma", "Alpha", "beta", ".hidden", "Beta2"}) QDir(TestDesktop() + "/" + name).removeRecursively();
}

TEST(FolderModel, ComputerIsVirtualAndHoldsTheRootFirst) {
  FolderModel model;
  const QModelIndex computer = model.computerIndex();
  ASSERT_TRUE(computer.isValid());
  EXPECT_EQ(model.path(computer), QStringLiteral("Компьютер"));
  EXPECT_FALSE(model.isFileSystem(computer));
  ASSERT_GE(ChildNames(model, computer).size(), 1);
  const QModelIndex fileSystemRoot = model.index(0, 0, computer);
  EXPECT_EQ(model.path(fileSystemRoot), QStringLiteral("/"));
  EXPECT_TRUE(model.isFileSystem(fileSystemRoot));
}

TEST(FolderModel, PathOfNothingIsEmpty) {
  FolderModel model;
  EXPECT_EQ(model.path(QModelIndex()), QString());
}

TEST(FolderModel, ChildrenAreReadWhenFirstFetchedWithTheWaitCursor) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/one/deeper");
  MakeFolder(folder + "/empty");
  FolderModel model;
  const QModelIndex node = model.findFolder(folder);
  ASSERT_TRUE(node.isValid());
  EXPECT_EQ(model.rowCount(node), 0);
  EXPECT_TRUE(model.canFetchMore(node));
  EXPECT_TRUE(model.hasChildren(node));

  Qt::CursorShape duringRead = Qt::ArrowCursor;
  QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, [&] {
    if (QGuiApplication::overrideCursor() != nullptr) duringRead = QGuiApplication::overrideCursor()->shape();
  });
  model.fetchMore(node);
  EXPECT_EQ(duringRead, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(model.canFetchMore(node));
  ASSERT_EQ(model.rowCount(node), 2);
  const QModelIndex empty = model.index(0, 0, node);
  const QModelIndex one = model.index(1, 0, node);
  EXPECT_EQ(model.name(empty), QStringLiteral("empty"));
  EXPECT_FALSE(model.hasChildren(empty));
  EXPECT_TRUE(model.hasChildren(one));
}

TEST(FolderModel, FindsFoldersThroughTheirBranch) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/a/b");
  MakeFolder(TestDesktop() + "/onDesktop/inner");
  MakeFolder(TestHome() + "/inHome");
  FolderModel model;

  struct Case {
    const char* name;
    QString path;
    FolderModel::Kind branch;  // the kind of the desktop's child the walk goes through
  };
  const Case cases[] = {
      {"below the desktop", TestDesktop() + "/onDesktop/inner", FolderModel::Kind::Folder},
      {"below home", TestHome() + "/inHome", FolderModel::Kind::Home},
      {"elsewhere", folder + "/a/b", FolderModel::Kind::Computer},
  };
  for (const Case& c : cases) {
    const QModelIndex found = model.findFolder(c.path);
    ASSERT_TRUE(found.isValid()) << c.name;
    EXPECT_EQ(model.path(found), c.path) << c.name;
    QModelIndex branch = found;
    while (branch.parent() != model.desktopIndex()) branch = branch.parent();
    EXPECT_EQ(model.kind(branch), c.branch) << c.name;
  }
  EXPECT_EQ(model.findFolder(TestDesktop()), model.desktopIndex());
  QDir(TestDesktop() + "/onDesktop").removeRecursively();
  QDir(TestHome() + "/inHome").removeRecursively();
}

TEST(FolderModel, HiddenAndMissingFoldersAreNotFound) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/.secret/inside");
  FolderModel model;
  EXPECT_FALSE(model.findFolder(folder + "/.secret/inside").isValid());
  EXPECT_FALSE(model.findFolder(folder + "/missing").isValid());
  EXPECT_FALSE(model.findFolder(QString()).isValid());
}

TEST(FolderModel, DesktopFallsBackToHomeWhenMissing) {
  ASSERT_TRUE(QDir(TestDesktop()).removeRecursively());
  FolderModel model;
  EXPECT_EQ(model.path(model.desktopIndex()), TestHome());
  MakeFolder(TestDesktop());
}

TEST(FolderModel, ReloadReadsSubfoldersAgain) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/first");
  FolderModel model;
  const QModelIndex node = model.findFolder(folder);
  EXPECT_EQ(ChildNames(model, node), QStringList{QStringLiteral("first")});
  MakeFolder(folder + "/Second");
  EXPECT_EQ(ChildNames(model, node), QStringList{QStringLiteral("first")});
  model.reload(node);
  EXPECT_EQ(ChildNames(model, node), (QStringList{QStringLiteral("first"), QStringLiteral("Second")}));
}
