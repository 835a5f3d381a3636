#include "shell/folder_combo.h"

#include "shell/folder_model.h"
#include "shell/folder_tree.h"
#include "tests/shell/qt_test_env.h"

#include <QAbstractItemView>
#include <QDir>
#include <QSignalSpy>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

using shell::FolderCombo;
using shell::FolderModel;
using shell::FolderTree;

namespace {

struct Entry {
  QString name;
  int depth;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << e.name.toStdString() << "@" << e.depth;
}

std::vector<Entry> Entries(const FolderCombo& combo) {
  std::vector<Entry> entries;
  for (int row = 0; row < combo.count(); ++row)
    entries.push_back({combo.itemText(row), combo.itemData(row, FolderCombo::DepthRole).toInt()});
  return entries;
}

int RowOf(const FolderCombo& combo, const QString& name) { return combo.findText(name); }

struct Linked {
  QWidget window;
  FolderTree* tree = new FolderTree(&window);
  FolderCombo* combo = new FolderCombo(tree, &window);
  Linked() {
    for (const char* name : {"Docs", "apps"}) MakeFolder(TestDesktop() + "/" + name);
    window.show();
    tree->start();
  }
  ~Linked() {
    for (const char* name : {"Docs", "apps"}) QDir(TestDesktop() + "/" + name).removeRecursively();
  }
};

}  // namespace

TEST(FolderCombo, ListsDesktopItsChildrenAndTheVolumes) {
  Linked linked;
  FolderModel& model = *linked.tree->folders();
  std::vector<Entry> expected{{QStringLiteral("Рабочий стол"), 0},
                              {QStringLiteral("home"), 1},
                              {QStringLiteral("Компьютер"), 1}};
  const QModelIndex computer = model.computerIndex();
  for (int row = 0; row < model.rowCount(computer); ++row) expected.push_back({model.name(model.index(row, 0, computer)), 2});
  expected.push_back({QStringLiteral("apps"), 1});
  expected.push_back({QStringLiteral("Docs"), 1});
  EXPECT_EQ(Entries(*linked.combo), expected);
  EXPECT_EQ(linked.combo->currentText(), QStringLiteral("Рабочий стол"));
  EXPECT_EQ(expected[3].name, QStringLiteral("/"));
}

TEST(FolderCombo, HoldsTheChainDownToTheSelectedFolder) {
  Linked linked;
  const QString deep = MakeFolder(TestHome() + "/one/two");
  MakeFolder(TestHome() + "/one/sibling");
  ASSERT_TRUE(linked.tree->selectFolder(deep));
  const std::vector<Entry> entries = Entries(*linked.combo);
  const int home = RowOf(*linked.combo, QStringLiteral("home"));
  ASSERT_GE(home, 0);
  EXPECT_EQ(entries[home + 1], (Entry{QStringLiteral("one"), 2}));
  EXPECT_EQ(entries[home + 2], (Entry{QStringLiteral("two"), 3}));
  EXPECT_EQ(entries[home + 3], (Entry{QStringLiteral("Компьютер"), 1}));
  EXPECT_EQ(RowOf(*linked.combo, QStringLiteral("sibling")), -1);
  EXPECT_EQ(linked.combo->currentIndex(), home + 2);
  QDir(TestHome() + "/one").removeRecursively();
}

TEST(FolderCombo, PickSelectsInTheTreeAndRaisesChangeOnce) {
  Linked linked;
  QSignalSpy changed(linked.tree, &FolderTree::changed);
  const int docs = RowOf(*linked.combo, QStringLiteral("Docs"));
  ASSERT_GE(docs, 0);
  linked.combo->setCurrentIndex(docs);
  emit linked.combo->activated(docs);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(linked.tree->selectedPath(), TestDesktop() + "/Docs");
  EXPECT_EQ(linked.combo->currentText(), QStringLiteral("Docs"));

  const int root = RowOf(*linked.combo, QStringLiteral("/"));
  linked.combo->setCurrentIndex(root);
  emit linked.combo->activated(root);
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(linked.tree->selectedPath(), QStringLiteral("/"));
}

TEST(FolderCombo, PickingTheSelectedFolderRaisesNothing) {
  Linked linked;
  QSignalSpy changed(linked.tree, &FolderTree::changed);
  const int desktop = RowOf(*linked.combo, QStringLiteral("Рабочий стол"));
  emit linked.combo->activated(desktop);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(linked.tree->selectedPath(), TestDesktop());
}

TEST(FolderCombo, OpenListIndentsEachRowByItsDepth) {
  Linked linked;
  FolderCombo& combo = *linked.combo;
  const int desktop = RowOf(combo, QStringLiteral("Рабочий стол"));
  const int root = RowOf(combo, QStringLiteral("/"));
  ASSERT_GE(desktop, 0);
  ASSERT_GE(root, 0);
  ASSERT_EQ(combo.itemData(root, FolderCombo::DepthRole).toInt(), 2);
  combo.showPopup();
  QAbstractItemView* list = combo.view();
  ASSERT_TRUE(list->isVisible());
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.font = list->font();
  // The same text at depth 0 and at depth 2: the rows differ by two indents.
  combo.setItemText(root, combo.itemText(desktop));
  const QModelIndex atDepth0 = combo.model()->index(desktop, 0);
  const QModelIndex atDepth2 = combo.model()->index(root, 0);
  EXPECT_EQ(list->itemDelegate()->sizeHint(option, atDepth2).width() -
                list->itemDelegate()->sizeHint(option, atDepth0).width(),
            2 * FolderCombo::IndentPerLevel);
  combo.hidePopup();
}
