// The few file-system operations the store stands on. The store speaks only
// through these, so that a Win32 backend can sit beside the POSIX one.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace store::platform {

// A failed system call; code is the system's error number.
struct SystemError {
  int code;
};

// True for the errors of a full disk or an exhausted quota.
bool IsOutOfSpace(int code);

enum class EntryKind { Missing, File, Folder };

// What is at path, following links. A look-up that fails counts as Missing.
EntryKind Lookup(const std::string& path);

bool IsAbsolute(const std::string& path);

// The system's text for an error, without trailing blanks, control
// characters and full stops, ready to stand inside a sentence.
std::string ErrorText(int code);

struct FileContents {
  std::string bytes;
  bool tooLarge = false;  // larger than the capacity: nothing was read
};

// The whole file, or tooLarge when it holds more than capacity bytes.
// Throws SystemError when it cannot be opened or read.
FileContents ReadFile(const std::string& path, std::size_t capacity);

// Whether a file is at path. Throws SystemError when it could not be
// replaced: it is a folder, or it exists and the user may not write it.
bool CheckReplaceable(const std::string& path);

// A new version of a file, written beside it under a temporary name and put
// in its place by Commit with one rename, so that readers see either the old
// file or the new one, never a torn one. The new file keeps the old one's
// permission bits and owner. Destroying an uncommitted replacement removes
// the temporary file and leaves the old one as it was.
class Replacement {
 public:
  // Throws SystemError when the temporary file cannot be created or written
  // whole (disk full included); nothing is left behind then.
  Replacement(const std::string& path, std::string_view bytes);
  ~Replacement();
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  // Throws SystemError when the rename fails.
  void Commit();

 private:
  std::string target_;
  std::string temporary_;
};

// Deletes the file at path, not a folder. False when there is no file, the
// user may not write it, or the system refuses.
bool RemoveFile(const std::string& path);

// Calls visit(name, isFolder) for every entry of the folder other than "."
// and "..", in the order the system delivers them. A folder that cannot be
// read visits nothing.
void ForEachEntry(const std::string& folder,
                  const std::function<void(std::string_view name, bool isFolder)>& visit);

}  // namespace store::platform
