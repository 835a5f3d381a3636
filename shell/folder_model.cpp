#include "shell/folder_model.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>

namespace shell {

const QString FolderModel::DesktopName = QStringLiteral("Рабочий стол");
const QString FolderModel::ComputerName = QStringLiteral("Компьютер");

struct FolderModel::Node {
  Kind kind = Kind::Folder;
  QString name;
  QString path;  // file-system path; empty for the computer node and the top
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;
  bool loaded = false;
  mutable int hasSubfolders = -1;  // -1: not probed yet

  int row() const {
    if (parent == nullptr) return 0;
    for (std::size_t i = 0; i < parent->children.size(); ++i)
      if (parent->children[i].get() == this) return static_cast<int>(i);
    return 0;
  }
};

namespace {

bool LessByName(const QString& a, const QString& b) {
  const int c = QString::compare(a, b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

QString DesktopPath() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (!desktop.isEmpty() && QFileInfo(desktop).isDir()) return QDir::cleanPath(desktop);
  return QDir::cleanPath(QDir::homePath());
}

// True when `path` is `folder` itself or lies below it.
bool IsWithin(const QString& path, const QString& folder) {
  if (path == folder) return true;
  const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
  return path.startsWith(prefix);
}

// Stops the wait cursor when the read is done, however it ends.
class WaitCursor {
 public:
  WaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      active_ = true;
    }
  }
  ~WaitCursor() {
    if (active_) QGuiApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool active_ = false;
};

}  // namespace

QStringList VisibleSubfolders(const QString& path) {
  QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
  std::sort(names.begin(), names.end(), LessByName);
  return names;
}

std::vector<Volume> MountedVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const QString root = QDir::cleanPath(volume.rootPath());
    if (root == QLatin1String("/") || !QFileInfo(root).isDir()) continue;
    // Kernel and container file systems (proc, sysfs, overlay, tmpfs below
    // /run and /dev) are no volumes a user picks; removable media mount
    // below /media, /mnt or /run/media whatever their device.
    const bool device = volume.device().startsWith("/dev/");
    const bool mediaPlace = IsWithin(root, QStringLiteral("/media")) ||
                            IsWithin(root, QStringLiteral("/mnt")) ||
                            IsWithin(root, QStringLiteral("/run/media"));
    if (!device && !mediaPlace) continue;
    if (root.contains(QLatin1String("/."))) continue;  // hidden place
    // The label from the same table: asking QStorageInfo(root) for it would
    // read the whole mount table again for every volume. Of two mounts on one
    // folder the later one is the one seen there.
    QString label = volume.displayName();
    if (label.isEmpty()) label = root;
    const auto same = std::find_if(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == root; });
    if (same != volumes.end())
      same->label = label;
    else
      volumes.push_back({root, label});
  }
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return LessByName(a.root, b.root); });
  return volumes;
}

FolderModel::FolderModel(QObject* parent) : QAbstractItemModel(parent), top_(std::make_unique<Node>()) {
  auto desktop = std::make_unique<Node>();
  desktop->kind = Kind::Desktop;
  desktop->name = DesktopName;
  desktop->path = DesktopPath();
  desktop->parent = top_.get();
  top_->children.push_back(std::move(desktop));
  top_->loaded = true;
}

FolderModel::~FolderModel() = default;

FolderModel::Node* FolderModel::node(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<Node*>(index.internalPointer());
}

QModelIndex FolderModel::indexOf(const Node* n) const {
  if (n == nullptr || n == top_.get()) return {};
  return createIndex(n->row(), 0, const_cast<Node*>(n));
}

QModelIndex FolderModel::desktopIndex() const { return indexOf(top_->children.front().get()); }

QModelIndex FolderModel::computerIndex() const {
  Node* desktop = top_->children.front().get();
  const_cast<FolderModel*>(this)->ensureChildren(indexOf(desktop));
  for (const auto& child : desktop->children)
    if (child->kind == Kind::Computer) return indexOf(child.get());
  return {};
}

FolderModel::Kind FolderModel::kind(const QModelIndex& index) const {
  const Node* n = node(index);
  return n != nullptr ? n->kind : Kind::Folder;
}

QString FolderModel::name(const QModelIndex& index) const {
  const Node* n = node(index);
  return n != nullptr ? n->name : QString();
}

QString FolderModel::path(const QModelIndex& index) const {
  const Node* n = node(index);
  if (n == nullptr) return {};
  return n->kind == Kind::Computer ? n->name : n->path;
}

bool FolderModel::isFileSystem(const QModelIndex& index) const {
  const Node* n = node(index);
  return n != nullptr && n->kind != Kind::Computer;
}

std::vector<std::unique_ptr<FolderModel::Node>> FolderModel::readChildren(const Node& n) const {
  std::vector<std::unique_ptr<Node>> children;
  auto add = [&](Kind kind, const QString& name, const QString& path) {
    auto child = std::make_unique<Node>();
    child->kind = kind;
    child->name = name;
    child->path = path;
    children.push_back(std::move(child));
  };
  switch (n.kind) {
    case Kind::Desktop: {
      const QString home = QDir::cleanPath(QDir::homePath());
      add(Kind::Home, QFileInfo(home).fileName().isEmpty() ? home : QFileInfo(home).fileName(), home);
      add(Kind::Computer, ComputerName, QString());
      for (const QString& name : VisibleSubfolders(n.path))
        add(Kind::Folder, name, QDir(n.path).filePath(name));
      break;
    }
    case Kind::Computer:
      add(Kind::Volume, QStringLiteral("/"), QStringLiteral("/"));
      for (const Volume& volume : MountedVolumes()) add(Kind::Volume, volume.label, volume.root);
      break;
    case Kind::Home:
    case Kind::Volume:
    case Kind::Folder:
      for (const QString& name : VisibleSubfolders(n.path))
        add(Kind::Folder, name, QDir(n.path).filePath(name));
      break;
  }
  return children;
}

void FolderModel::load(const QModelIndex& index, Node* n) {
  auto children = readChildren(*n);
  n->loaded = true;
  n->hasSubfolders = children.empty() ? 0 : 1;
  if (children.empty()) return;
  beginInsertRows(index, 0, static_cast<int>(children.size()) - 1);
  for (auto& child : children) {
    child->parent = n;
    n->children.push_back(std::move(child));
  }
  endInsertRows();
}

void FolderModel::ensureChildren(const QModelIndex& index) {
  Node* n = node(index);
  if (n == nullptr || n->loaded) return;
  load(index, n);
}

void FolderModel::reload(const QModelIndex& index) {
  Node* n = node(index);
  if (n == nullptr) return;
  if (!n->children.empty()) {
    beginRemoveRows(index, 0, static_cast<int>(n->children.size()) - 1);
    n->children.clear();
    endRemoveRows();
  }
  n->loaded = false;
  n->hasSubfolders = -1;
  load(index, n);
}

QModelIndex FolderModel::childByPath(const QModelIndex& parent, const QString& path) {
  ensureChildren(parent);
  const Node* n = node(parent);
  if (n == nullptr) return {};
  for (const auto& child : n->children)
    if (child->kind != Kind::Computer && child->path == path) return indexOf(child.get());
  return {};
}

QModelIndex FolderModel::findFolder(const QString& rawPath) {
  if (rawPath.isEmpty()) return {};
  const QString path = QDir::cleanPath(QFileInfo(rawPath).absoluteFilePath());
  const QModelIndex desktop = desktopIndex();
  const Node* desktopNode = node(desktop);

  // The folder the walk starts from: the desktop, the home folder, or the
  // computer's volume whose root is the longest prefix of the path.
  QModelIndex start;
  QString startPath;
  if (IsWithin(path, desktopNode->path)) {
    start = desktop;
    startPath = desktopNode->path;
  } else {
    ensureChildren(desktop);
    for (const auto& child : desktopNode->children)
      if (child->kind == Kind::Home && IsWithin(path, child->path)) {
        start = indexOf(child.get());
        startPath = child->path;
      }
    if (!start.isValid()) {
      const QModelIndex computer = computerIndex();
      ensureChildren(computer);
      for (const auto& volume : node(computer)->children)
        if (IsWithin(path, volume->path) && volume->path.size() >= startPath.size()) {
          start = indexOf(volume.get());
          startPath = volume->path;
        }
    }
  }
  if (!start.isValid()) return {};

  QModelIndex current = start;
  QString currentPath = startPath;
  const QStringList parts = path.mid(startPath.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    currentPath = QDir(currentPath).filePath(part);
    current = childByPath(current, currentPath);
    if (!current.isValid()) return {};
  }
  return current;
}

void FolderModel::setOpenIndex(const QModelIndex& index) {
  const QModelIndex old = open_;
  open_ = index;
  if (old.isValid()) emit dataChanged(old, old, {Qt::DecorationRole});
  if (index.isValid()) emit dataChanged(index, index, {Qt::DecorationRole});
}

QModelIndex FolderModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const Node* p = parent.isValid() ? node(parent) : top_.get();
  if (p == nullptr || row >= static_cast<int>(p->children.size())) return {};
  return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
}

QModelIndex FolderModel::parent(const QModelIndex& child) const {
  const Node* n = node(child);
  if (n == nullptr || n->parent == nullptr) return {};
  return indexOf(n->parent);
}

int FolderModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const Node* n = parent.isValid() ? node(parent) : top_.get();
  return n != nullptr ? static_cast<int>(n->children.size()) : 0;
}

int FolderModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderModel::data(const QModelIndex& index, int role) const {
  const Node* n = node(index);
  if (n == nullptr) return {};
  if (role == Qt::DisplayRole) return n->name;
  if (role == Qt::ToolTipRole) return {};  // the tree shows no hints
  if (role == Qt::DecorationRole) {
    switch (n->kind) {
      case Kind::Desktop: return icon(Icon::Desktop);
      case Kind::Computer: return icon(Icon::Computer);
      case Kind::Volume: return icon(Icon::Volume);
      case Kind::Home:
      case Kind::Folder: return icon(open_ == index ? Icon::Open : Icon::Closed);
    }
  }
  return {};
}

QIcon FolderModel::icon(Icon which) const {
  const QStyle* style =
      qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr ? QApplication::style() : nullptr;
  if (style == nullptr) return {};
  if (style != iconStyle_) {
    icons_ = {};
    iconStyle_ = style;
  }
  QIcon& cached = icons_[static_cast<std::size_t>(which)];
  if (cached.isNull()) {
    static constexpr QStyle::StandardPixmap Pixmaps[] = {QStyle::SP_DesktopIcon, QStyle::SP_ComputerIcon,
                                                         QStyle::SP_DriveHDIcon, QStyle::SP_DirClosedIcon,
                                                         QStyle::SP_DirOpenIcon};
    cached = style->standardIcon(Pixmaps[static_cast<std::size_t>(which)]);
  }
  return cached;
}

bool FolderModel::hasChildren(const QModelIndex& parent) const {
  const Node* n = parent.isValid() ? node(parent) : top_.get();
  if (n == nullptr) return false;
  if (n->loaded) return !n->children.empty();
  if (n->kind == Kind::Desktop || n->kind == Kind::Computer) return true;
  if (n->hasSubfolders < 0) {
    QDirIterator it(n->path, QDir::Dirs | QDir::NoDotAndDotDot);
    n->hasSubfolders = it.hasNext() ? 1 : 0;
  }
  return n->hasSubfolders == 1;
}

bool FolderModel::canFetchMore(const QModelIndex& parent) const {
  const Node* n = node(parent);
  return n != nullptr && !n->loaded;
}

void FolderModel::fetchMore(const QModelIndex& parent) {
  Node* n = node(parent);
  if (n == nullptr || n->loaded) return;
  WaitCursor wait;
  load(parent, n);
}

}  // namespace shell
