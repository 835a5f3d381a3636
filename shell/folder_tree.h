// The folder tree: the folder namespace in a tree view with the Desktop as its
// one top node (drawn without an expand button), 19 pixels of indent per
// level, the open-folder icon on the selected node, no context menu, and an
// auto-refresh of the selected folder.
//
// changed() is raised whenever the selected node changes (by the user, by a
// pick in the linked combo box, by selectFolder) and when the auto-refresh has
// rebuilt and reselected the selected node. clickedInTree() is raised by a
// left click anywhere in the tree.
#pragma once

#include <QModelIndex>
#include <QString>
#include <QTreeView>

namespace shell {

class FolderModel;
class FolderWatcher;

class FolderTree : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderTree(QWidget* parent = nullptr);
  ~FolderTree() override;

  FolderModel* folders() const { return model_; }

  // The start-up selection: expands the Desktop one level and selects it,
  // which raises changed().
  void start();

  // The path of the selected folder: a file-system path, the display name of
  // a virtual folder, empty when nothing is selected.
  QString selectedPath() const;
  QModelIndex selectedIndex() const;

  // Expands the tree down to the node and selects it; changed() is raised
  // when this changes the selection.
  void selectIndex(const QModelIndex& index);
  // The same for a file-system folder given by its path. Answers false,
  // changing nothing, when the folder is not in the namespace.
  bool selectFolder(const QString& path);

  // Rebuilds the selected node (its subfolders read again, those that were
  // expanded and still exist expanded again, the scroll position kept) and
  // selects it again, raising changed(). When the selected folder has
  // vanished, its nearest remaining ancestor is rebuilt and selected.
  void refreshSelected();

 signals:
  void changed();
  void clickedInTree();
  // A failure raised by a handler of changed() during an auto-refresh; it is
  // caught here so that it never reaches the program's error box.
  void refreshFailed(const QString& message);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
  void onFolderNamesChanged();
  void watchSelected();

  FolderModel* model_;
  FolderWatcher* watcher_;
  bool quiet_ = false;  // set while a refresh moves the selection itself
};

}  // namespace shell
