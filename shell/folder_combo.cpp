#include "shell/folder_combo.h"

#include "shell/folder_model.h"
#include "shell/folder_tree.h"

#include <QPersistentModelIndex>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace shell {

namespace {

// Indents the rows of the drop-down list by their depth; the box itself
// shows the selected folder without indent.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem indented = option;
    indented.rect.adjust(index.data(FolderCombo::DepthRole).toInt() * FolderCombo::IndentPerLevel, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(FolderCombo::DepthRole).toInt() * FolderCombo::IndentPerLevel;
    return size;
  }
};

}  // namespace

FolderCombo::FolderCombo(FolderTree* tree, QWidget* parent) : QComboBox(parent), tree_(tree) {
  setEditable(false);
  connect(tree_, &FolderTree::changed, this, &FolderCombo::sync);
  connect(this, &QComboBox::activated, this, &FolderCombo::pick);
}

void FolderCombo::showPopup() {
  // The delegate goes on the list when it is first opened: setting it makes
  // the box build its list view and popup frame, which the box itself does
  // not need to be shown.
  if (!indented_) {
    setItemDelegate(new IndentDelegate(this));
    indented_ = true;
  }
  QComboBox::showPopup();
}

QModelIndex FolderCombo::folderAt(int row) const {
  return itemData(row, IndexRole).value<QPersistentModelIndex>();
}

void FolderCombo::pick(int row) {
  const QModelIndex folder = folderAt(row);
  if (!folder.isValid()) return;
  if (folder == tree_->selectedIndex()) {
    sync();
    return;
  }
  tree_->selectIndex(folder);
}

void FolderCombo::sync() {
  FolderModel* model = tree_->folders();
  const QModelIndex selected = tree_->selectedIndex();
  const QModelIndex computer = model->computerIndex();
  const QModelIndex desktop = model->desktopIndex();

  // The chain from the Desktop down to the selected folder.
  QList<QPersistentModelIndex> chain;
  for (QModelIndex at = selected; at.isValid(); at = at.parent()) chain.prepend(at);

  const QSignalBlocker blocker(this);
  clear();
  int current = -1;
  auto add = [&](auto&& self, const QModelIndex& at, int depth) -> void {
    if (at == selected) current = count();
    addItem(at.data(Qt::DecorationRole).value<QIcon>(), model->name(at));
    setItemData(count() - 1, depth, DepthRole);
    setItemData(count() - 1, QVariant::fromValue(QPersistentModelIndex(at)), IndexRole);
    if (at == desktop || at == computer) {
      model->ensureChildren(at);
      for (int row = 0; row < model->rowCount(at); ++row) self(self, model->index(row, 0, at), depth + 1);
      return;
    }
    const int onChain = chain.indexOf(QPersistentModelIndex(at));
    if (onChain >= 0 && onChain + 1 < chain.size()) self(self, chain[onChain + 1], depth + 1);
  };
  add(add, desktop, 0);
  setCurrentIndex(current);
}

}  // namespace shell
