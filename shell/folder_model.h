// The folder namespace shown by the folder tree and the folder combo box.
//
//   Рабочий стол            the user's desktop folder (home when it is missing)
//     <home folder>         the user's home folder
//     Компьютер             virtual: the file system's root and mounted volumes
//       /                   the root of the file system
//       <volume>            each mounted volume, by its label
//     <desktop subfolders>  the desktop folder's own subfolders
//
// Hidden folders are left out; siblings sort by name without regard to letter
// case. A node's children are read the first time they are asked for (the
// view asks when the node is first expanded) and again by reload().
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class QStyle;

namespace shell {

class FolderModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum class Kind { Desktop, Home, Computer, Volume, Folder };

  static const QString DesktopName;   // "Рабочий стол"
  static const QString ComputerName;  // "Компьютер"

  explicit FolderModel(QObject* parent = nullptr);
  ~FolderModel() override;

  // The namespace's root node, the Desktop.
  QModelIndex desktopIndex() const;
  // The virtual computer node below the Desktop.
  QModelIndex computerIndex() const;

  Kind kind(const QModelIndex& index) const;
  // The display name of the node.
  QString name(const QModelIndex& index) const;
  // The file-system path of a folder node; for the virtual computer node its
  // display name; empty for an invalid index.
  QString path(const QModelIndex& index) const;
  // True for nodes that stand for a folder on disk (every node but the
  // computer node).
  bool isFileSystem(const QModelIndex& index) const;

  // Reads the node's children when they have not been read yet.
  void ensureChildren(const QModelIndex& index);
  // Reads the node's children again; the old child nodes are removed first.
  void reload(const QModelIndex& index);
  // The child of `parent` whose path is `path`, reading children as needed;
  // invalid when there is none.
  QModelIndex childByPath(const QModelIndex& parent, const QString& path);
  // The node of a file-system folder given by its absolute path, reached
  // through the desktop, the home folder or the computer's volumes, reading
  // children on the way; invalid when the folder is not in the namespace
  // (missing or hidden).
  QModelIndex findFolder(const QString& path);

  // The node drawn with the open-folder icon (the tree's selected node).
  void setOpenIndex(const QModelIndex& index);

  // QAbstractItemModel
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  struct Node;

  Node* node(const QModelIndex& index) const;
  QModelIndex indexOf(const Node* node) const;
  std::vector<std::unique_ptr<Node>> readChildren(const Node& node) const;
  void load(const QModelIndex& index, Node* node);

  // The style's icon for a kind of node. The style builds a new icon,
  // reading its images, on every request, and the view asks for a row's icon
  // on every paint; so each is made once per style, when first needed.
  enum class Icon { Desktop, Computer, Volume, Closed, Open, Count };
  QIcon icon(Icon which) const;

  std::unique_ptr<Node> top_;  // invisible; holds the Desktop as its one child
  QPersistentModelIndex open_;
  mutable const QStyle* iconStyle_ = nullptr;
  mutable std::array<QIcon, static_cast<std::size_t>(Icon::Count)> icons_;
};

// The names of the visible subfolders of `path`, sorted without regard to
// letter case (ties by exact comparison).
QStringList VisibleSubfolders(const QString& path);

// A mounted volume: the folder it is mounted on and its label (the root path
// when the volume has no label).
struct Volume {
  QString root;
  QString label;
};

// The mounted volumes shown below the computer node: every mounted folder
// other than "/" that holds a device's or a removable medium's file system,
// sorted by root path. The mount table is read once.
std::vector<Volume> MountedVolumes();

}  // namespace shell
