#include <algorithm>

#include "store/platform.h"
#include "store/store.h"

namespace store {
namespace {

bool IsFolderSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  return c == PathSeparator;
#endif
}

unsigned char AsciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

std::string_view ExtensionOf(std::string_view name) {
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  for (std::size_t i = dot + 1; i < name.size(); ++i) {
    if (IsFolderSeparator(name[i])) return {};
  }
  return name.substr(dot);
}

// The folder that holds the path: everything up to its last separator, that
// separator dropped unless it is the root's own.
std::string FolderPartOf(const std::string& path) {
  std::size_t cut = 0;
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsFolderSeparator(path[i - 1])) {
      cut = i;
      break;
    }
  }
  std::string folder = path.substr(0, cut);
  if (folder.size() >= 2 && folder.back() == PathSeparator && !IsFolderSeparator(folder[folder.size() - 2])) {
    folder.pop_back();
  }
  return IncludeSlash(folder);
}

// The order in which a Windows file system delivers a folder's names: by
// name with ASCII letters compared as upper case; names equal but for case
// (possible here, not there) keep a fixed order by their bytes.
bool WindowsNameOrder(const std::string& a, const std::string& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = AsciiUpper(static_cast<unsigned char>(a[i]));
    const auto y = AsciiUpper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

const std::array<std::string_view, 7> ImageExtensions = {".BMP", ".ICO", ".WMF", ".EMF", ".GIF", ".JPG", ".JPEG"};

bool IsImageFile(const std::string& nameOrPath) {
  const std::string_view extension = ExtensionOf(nameOrPath);
  return std::any_of(ImageExtensions.begin(), ImageExtensions.end(), [extension](std::string_view member) {
    return member.size() == extension.size() &&
           std::equal(member.begin(), member.end(), extension.begin(), [](char m, char e) {
             return static_cast<unsigned char>(m) == AsciiUpper(static_cast<unsigned char>(e));
           });
  });
}

std::vector<std::string> ListFolderFiles(const std::string& pathInFolder, bool imagesOnly) {
  std::vector<std::string> names;
  const std::string folder = FolderPartOf(pathInFolder);
  if (!platform::IsAbsolute(folder)) return names;
  platform::ForEachEntry(folder, [&](std::string_view name, bool isFolder) {
    if (isFolder || name == DescriptionFileName || name == LongTextFileName) return;
    std::string entry(name);
    if (imagesOnly && !IsImageFile(entry)) return;
    names.push_back(std::move(entry));
  });
  std::sort(names.begin(), names.end(), WindowsNameOrder);
  return names;
}

}  // namespace store
