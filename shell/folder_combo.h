// The folder combo box linked to a folder tree. It always shows the tree's
// selected folder; its list holds the Desktop, the Desktop's folders, the
// computer's volumes and the chain of folders from the Desktop down to the
// selected one, each indented by its depth. A pick selects the same folder in
// the tree (raising the tree's changed() once); picking the folder that is
// already selected does nothing. The box raises nothing of its own.
#pragma once

#include <QComboBox>
#include <QModelIndex>

namespace shell {

class FolderTree;

class FolderCombo : public QComboBox {
  Q_OBJECT

 public:
  static constexpr int IndentPerLevel = 10;  // pixels per depth in the list
  static constexpr int DepthRole = Qt::UserRole + 1;
  static constexpr int IndexRole = Qt::UserRole + 2;

  FolderCombo(FolderTree* tree, QWidget* parent = nullptr);

  // The tree node of list entry `row`.
  QModelIndex folderAt(int row) const;
  // Picks list entry `row` as a user's choice would.
  void pick(int row);
  // Rebuilds the list around the tree's selected folder.
  void sync();

  // Opens the list, whose rows are indented by their depth.
  void showPopup() override;

 private:
  FolderTree* tree_;
  bool indented_ = false;  // the indenting delegate is set on the list
};

}  // namespace shell
