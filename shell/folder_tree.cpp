#include "shell/folder_tree.h"

#include "shell/folder_model.h"
#include "shell/folder_watcher.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace shell {

namespace {

// Restores a flag on every way out of a scope.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = old_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

int Depth(const QModelIndex& index) {
  int depth = 0;
  for (QModelIndex i = index.parent(); i.isValid(); i = i.parent()) ++depth;
  return depth;
}

}  // namespace

FolderTree::FolderTree(QWidget* parent)
    : QTreeView(parent), model_(new FolderModel(this)), watcher_(new FolderWatcher(this)) {
  setModel(model_);
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setIndentation(19);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::PreventContextMenu);
  setExpandsOnDoubleClick(true);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderTree::onCurrentChanged);
  connect(watcher_, &FolderWatcher::namesChanged, this, &FolderTree::onFolderNamesChanged);
}

FolderTree::~FolderTree() = default;

void FolderTree::start() {
  const QModelIndex desktop = model_->desktopIndex();
  model_->ensureChildren(desktop);
  expand(desktop);
  selectIndex(desktop);
}

QModelIndex FolderTree::selectedIndex() const {
  const QModelIndex current = currentIndex();
  if (!current.isValid() || !selectionModel()->isSelected(current)) return {};
  return current;
}

QString FolderTree::selectedPath() const { return model_->path(selectedIndex()); }

void FolderTree::selectIndex(const QModelIndex& index) {
  if (!index.isValid()) return;
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
    model_->ensureChildren(up);
    expand(up);
  }
  setCurrentIndex(index);
  scrollTo(index);
}

bool FolderTree::selectFolder(const QString& path) {
  const QModelIndex index = model_->findFolder(path);
  if (!index.isValid()) return false;
  selectIndex(index);
  return true;
}

void FolderTree::onCurrentChanged(const QModelIndex& current, const QModelIndex&) {
  model_->setOpenIndex(current);
  if (quiet_) return;
  watchSelected();
  emit changed();
}

void FolderTree::watchSelected() {
  const QModelIndex selected = selectedIndex();
  watcher_->watch(model_->isFileSystem(selected) ? model_->path(selected) : QString());
}

void FolderTree::refreshSelected() {
  QModelIndex target = selectedIndex();
  if (!target.isValid()) return;
  {
    FlagGuard quiet(quiet_);
    // A folder that went away is replaced by its nearest ancestor still on
    // disk (the computer node and the Desktop always remain).
    while (model_->isFileSystem(target) && !QFileInfo(model_->path(target)).isDir() && target.parent().isValid())
      target = target.parent();
    const QPersistentModelIndex kept(target);

    // Remember the expanded nodes below the rebuilt one by path and by the
    // path of their parent node, shallow ones first so that re-expanding
    // walks down.
    struct Expanded {
      int depth;
      QString parentPath, path;
    };
    std::vector<Expanded> found;
    std::vector<QModelIndex> pending{target};
    while (!pending.empty()) {
      const QModelIndex at = pending.back();
      pending.pop_back();
      for (int row = 0; row < model_->rowCount(at); ++row) {
        const QModelIndex child = model_->index(row, 0, at);
        if (isExpanded(child)) {
          found.push_back({Depth(child), model_->path(at), model_->path(child)});
          pending.push_back(child);
        }
      }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.depth < b.depth; });
    const bool targetExpanded = isExpanded(target);
    const int scroll = verticalScrollBar()->value();

    model_->reload(kept);
    if (targetExpanded) expand(kept);
    QHash<QString, QPersistentModelIndex> reopened{{model_->path(kept), kept}};
    for (const Expanded& node : found) {
      const auto parentIndex = reopened.constFind(node.parentPath);
      if (parentIndex == reopened.cend() || !parentIndex->isValid()) continue;
      QModelIndex again;
      const QModelIndex parent = *parentIndex;
      for (int row = 0; row < model_->rowCount(parent); ++row)
        if (model_->path(model_->index(row, 0, parent)) == node.path) again = model_->index(row, 0, parent);
      if (!again.isValid()) continue;
      model_->ensureChildren(again);
      expand(again);
      reopened.insert(node.path, again);
    }
    doItemsLayout();
    setCurrentIndex(kept);
    verticalScrollBar()->setValue(scroll);
    model_->setOpenIndex(kept);
  }
  watchSelected();
  emit changed();
}

void FolderTree::onFolderNamesChanged() {
  // This runs from the event loop, not from a user's action: a failure of the
  // reload it triggers is handed on as refreshFailed and watching goes on.
  try {
    refreshSelected();
  } catch (const std::exception& error) {
    emit refreshFailed(QString::fromUtf8(error.what()));
  } catch (...) {
    // A silent abort: nothing to show.
  }
  if (watcher_->watchedPath().isEmpty()) watchSelected();
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
}

void FolderTree::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit clickedInTree();
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

}  // namespace shell
