#include "shell/folder_tree.h"

#include "shell/folder_model.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

using shell::FolderModel;
using shell::FolderTree;

namespace {

QImage IconImage(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

// A tree shown on the screen, with the start-up selection made.
struct ShownTree {
  FolderTree tree;
  ShownTree() {
    tree.resize(291, 211);
    tree.show();
    tree.start();
  }
};

}  // namespace

TEST(FolderTree, StartSelectsTheDesktopExpandedOneLevel) {
  FolderTree tree;
  QSignalSpy changed(&tree, &FolderTree::changed);
  EXPECT_EQ(tree.selectedPath(), QString());
  tree.start();
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(tree.selectedIndex(), tree.folders()->desktopIndex());
  EXPECT_EQ(tree.selectedPath(), TestDesktop());
  EXPECT_TRUE(tree.isExpanded(tree.folders()->desktopIndex()));
  EXPECT_FALSE(tree.rootIsDecorated());
  EXPECT_EQ(tree.indentation(), 19);
  EXPECT_EQ(tree.contextMenuPolicy(), Qt::PreventContextMenu);
}

TEST(FolderTree, SelectFolderExpandsDownToItAndRaisesChangeOnce) {
  const QString folder = NewTestFolder();
  const QString deep = MakeFolder(folder + "/x/y/z");
  ShownTree shown;
  QSignalSpy changed(&shown.tree, &FolderTree::changed);
  ASSERT_TRUE(shown.tree.selectFolder(deep));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(shown.tree.selectedPath(), deep);
  for (QModelIndex up = shown.tree.selectedIndex().parent(); up.isValid(); up = up.parent())
    EXPECT_TRUE(shown.tree.isExpanded(up)) << shown.tree.folders()->path(up).toStdString();
  EXPECT_FALSE(shown.tree.selectFolder(folder + "/missing"));
  EXPECT_EQ(shown.tree.selectedPath(), deep);
  EXPECT_EQ(changed.count(), 1);
}

TEST(FolderTree, SelectingTheComputerGivesItsDisplayName) {
  ShownTree shown;
  shown.tree.selectIndex(shown.tree.folders()->computerIndex());
  EXPECT_EQ(shown.tree.selectedPath(), QStringLiteral("Компьютер"));
}

TEST(FolderTree, SelectedNodeCarriesTheOpenFolderIcon) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/a");
  MakeFolder(folder + "/b");
  ShownTree shown;
  ASSERT_TRUE(shown.tree.selectFolder(folder + "/a"));
  const QModelIndex a = shown.tree.selectedIndex();
  const QModelIndex b = a.siblingAtRow(1);
  QStyle* style = QApplication::style();
  EXPECT_EQ(IconImage(a.data(Qt::DecorationRole).value<QIcon>()), IconImage(style->standardIcon(QStyle::SP_DirOpenIcon)));
  EXPECT_EQ(IconImage(b.data(Qt::DecorationRole).value<QIcon>()),
            IconImage(style->standardIcon(QStyle::SP_DirClosedIcon)));
  shown.tree.selectIndex(b);
  EXPECT_EQ(IconImage(a.data(Qt::DecorationRole).value<QIcon>()),
            IconImage(style->standardIcon(QStyle::SP_DirClosedIcon)));
}

TEST(FolderTree, RightClickChangesNothingLeftClickSelectsAndReportsTheClick) {
  ShownTree shown;
  FolderTree& tree = shown.tree;
  const QModelIndex home = tree.folders()->index(0, 0, tree.folders()->desktopIndex());
  const QPoint onHome = tree.visualRect(home).center();
  QSignalSpy changed(&tree, &FolderTree::changed);
  QSignalSpy clicked(&tree, &FolderTree::clickedInTree);

  QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, onHome);
  EXPECT_EQ(tree.selectedIndex(), tree.folders()->desktopIndex());
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(clicked.count(), 0);

  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, onHome);
  EXPECT_EQ(tree.selectedIndex(), home);
  EXPECT_EQ(tree.selectedPath(), TestHome());
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(clicked.count(), 1);
}

TEST(FolderTree, AutoRefreshAfterAnotherProcessCreatesAFile) {
  const QString folder = NewTestFolder();
  ShownTree shown;
  ASSERT_TRUE(shown.tree.selectFolder(folder));
  QSignalSpy changed(&shown.tree, &FolderTree::changed);
  ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {folder + "/program.desc"}), 0);
  ASSERT_TRUE(changed.wait(5000));
  EXPECT_EQ(shown.tree.selectedPath(), folder);
}

TEST(FolderTree, RefreshRereadsSubfoldersAndKeepsExpandedOnes) {
  const QString folder = NewTestFolder();
  MakeFolder(folder + "/open/inner/leaf");
  MakeFolder(folder + "/closed/inner");
  ShownTree shown;
  FolderTree& tree = shown.tree;
  FolderModel& model = *tree.folders();
  ASSERT_TRUE(tree.selectFolder(folder + "/open/inner"));
  tree.expand(model.findFolder(folder + "/open/inner"));
  ASSERT_TRUE(tree.selectFolder(folder));
  tree.expand(model.findFolder(folder));
  QSignalSpy changed(&tree, &FolderTree::changed);

  ASSERT_EQ(QProcess::execute(QStringLiteral("mkdir"), {folder + "/added"}), 0);
  ASSERT_TRUE(changed.wait(5000));
  const QModelIndex node = tree.selectedIndex();
  EXPECT_EQ(model.path(node), folder);
  ASSERT_EQ(model.rowCount(node), 3);
  EXPECT_EQ(model.name(model.index(0, 0, node)), QStringLiteral("added"));
  EXPECT_TRUE(tree.isExpanded(node));
  EXPECT_TRUE(tree.isExpanded(model.findFolder(folder + "/open")));
  EXPECT_TRUE(tree.isExpanded(model.findFolder(folder + "/open/inner")));
  EXPECT_EQ(model.rowCount(model.findFolder(folder + "/open/inner")), 1);
  EXPECT_FALSE(tree.isExpanded(model.findFolder(folder + "/closed")));
}

TEST(FolderTree, RefreshKeepsTheScrollPosition) {
  const QString folder = NewTestFolder();
  for (int i = 0; i < 60; ++i) MakeFolder(folder + QStringLiteral("/sub%1").arg(i, 2, 10, QLatin1Char('0')));
  ShownTree shown;
  FolderTree& tree = shown.tree;
  ASSERT_TRUE(tree.selectFolder(folder));
  tree.expand(tree.selectedIndex());
  QApplication::processEvents();
  ASSERT_GT(tree.verticalScrollBar()->maximum(), 20);
  tree.verticalScrollBar()->setValue(tree.verticalScrollBar()->maximum() / 2);
  const int scroll = tree.verticalScrollBar()->value();
  tree.refreshSelected();
  QApplication::processEvents();
  EXPECT_EQ(tree.verticalScrollBar()->value(), scroll);
  EXPECT_TRUE(tree.isExpanded(tree.selectedIndex()));
}

TEST(FolderTree, VanishedFolderSelectsItsParentWithoutCrashing) {
  const QString folder = NewTestFolder();
  const QString doomed = MakeFolder(folder + "/doomed/below");
  ShownTree shown;
  ASSERT_TRUE(shown.tree.selectFolder(doomed));
  QSignalSpy changed(&shown.tree, &FolderTree::changed);
  ASSERT_EQ(QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-r"), folder + "/doomed"}), 0);
  ASSERT_TRUE(changed.wait(5000));
  EXPECT_EQ(shown.tree.selectedPath(), folder);
  EXPECT_EQ(shown.tree.folders()->rowCount(shown.tree.selectedIndex()), 0);
}

TEST(FolderTree, FailureOfTheReloadIsHandedOnAndWatchingGoesOn) {
  const QString folder = NewTestFolder();
  ShownTree shown;
  ASSERT_TRUE(shown.tree.selectFolder(folder));
  int reloads = 0;
  QObject::connect(&shown.tree, &FolderTree::changed, [&] {
    ++reloads;
    throw std::runtime_error("Cannot open file \"memo.desc\". Permission denied");
  });
  QSignalSpy failed(&shown.tree, &FolderTree::refreshFailed);

  ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {folder + "/one"}), 0);
  ASSERT_TRUE(failed.wait(5000));
  EXPECT_EQ(failed.takeFirst().at(0).toString(), QStringLiteral("Cannot open file \"memo.desc\". Permission denied"));
  ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {folder + "/two"}), 0);
  ASSERT_TRUE(failed.wait(5000));
  EXPECT_EQ(reloads, 2);
  EXPECT_EQ(shown.tree.selectedPath(), folder);
}
