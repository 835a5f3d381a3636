#include "store/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace store::platform {
namespace {

// Closes a descriptor when the scope ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

[[noreturn]] void ThrowLastError() { throw SystemError{errno}; }

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowLastError();
    }
    if (written == 0) throw SystemError{ENOSPC};
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Makes a rename in the folder durable; a folder that cannot be synced (some
// file systems refuse) is no reason to fail a write that already landed.
void SyncFolder(const std::string& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// A link is replaced in its target's place, so the link itself survives.
std::string ResolveLink(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

}  // namespace

EntryKind Lookup(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return EntryKind::Missing;
  return S_ISDIR(status.st_mode) ? EntryKind::Folder : EntryKind::File;
}

bool IsOutOfSpace(int code) { return code == ENOSPC || code == EDQUOT || code == EFBIG; }

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string ErrorText(int code) {
  std::string text = std::strerror(code);
  while (!text.empty()) {
    const auto last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.' && last != 0x7F) break;
    text.pop_back();
  }
  return text;
}

FileContents ReadFile(const std::string& path, std::size_t capacity) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowLastError();
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) ThrowLastError();
  if (S_ISDIR(status.st_mode)) throw SystemError{EISDIR};
  if (static_cast<std::size_t>(status.st_size) > capacity) return {{}, true};

  // The length taken at opening bounds the read; a file that shrinks
  // meanwhile gives what it still holds.
  std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowLastError();
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return {std::move(bytes), false};
}

bool CheckReplaceable(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return false;
    ThrowLastError();
  }
  if (S_ISDIR(status.st_mode)) throw SystemError{EISDIR};
  if (::access(path.c_str(), W_OK) != 0) ThrowLastError();
  return true;
}

Replacement::Replacement(const std::string& path, std::string_view bytes)
    : target_(ResolveLink(path)) {
  const std::string folder = FolderOf(target_);
  const std::string name = target_.substr(target_.rfind('/') + 1);
  // A hidden name keeps the half-written file out of every listing.
  std::string pattern = folder + "/." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  FileDescriptor fd(::mkostemp(buffer.data(), O_CLOEXEC));
  if (fd.get() < 0) ThrowLastError();
  temporary_ = buffer.data();

  try {
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0) {
      if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
        // Only the owner's and group's ids could not be kept (not root);
        // the file then belongs to the user who writes it, as any new file.
      }
      if (::fchmod(fd.get(), old.st_mode & 07777) != 0) ThrowLastError();
    } else if (::fchmod(fd.get(), 0666 & ~CurrentUmask()) != 0) {
      ThrowLastError();
    }
    WriteAll(fd.get(), bytes);
    if (::fsync(fd.get()) != 0) ThrowLastError();
    if (::close(fd.release()) != 0) ThrowLastError();
  } catch (...) {
    ::unlink(temporary_.c_str());
    throw;
  }
}

Replacement::~Replacement() {
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void Replacement::Commit() {
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) ThrowLastError();
  temporary_.clear();
  SyncFolder(FolderOf(target_));
}

bool RemoveFile(const std::string& path) {
  if (Lookup(path) != EntryKind::File) return false;
  if (::access(path.c_str(), W_OK) != 0) return false;
  return ::unlink(path.c_str()) == 0;
}

void ForEachEntry(const std::string& folder,
                  const std::function<void(std::string_view name, bool isFolder)>& visit) {
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return;
  const int folderFd = ::dirfd(directory);
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    // Links and file systems that do not report the type need a look-up;
    // a link counts as what it points to, a broken one as a file.
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat status {};
      isFolder = ::fstatat(folderFd, entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
    }
    visit(name, isFolder);
  }
  ::closedir(directory);
}

}  // namespace store::platform
