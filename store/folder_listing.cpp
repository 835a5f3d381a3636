#include <algorithm>
#include <cstdint>
#include <utility>

#include "store/platform.h"
#include "store/store.h"

namespace store {

const std::array<std::string_view, 7> ImageExtensions = {".BMP", ".ICO", ".WMF", ".EMF", ".GIF", ".JPG", ".JPEG"};

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
// name with ASCII letters compared as upper case. Names equal but for case
// (possible here, not there) keep a fixed order by their bytes. `from` is
// where the names may first differ.
bool InWindowsOrder(std::string_view a, std::string_view b, std::size_t from) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = from; i < common; ++i) {
    const auto x = AsciiUpper(static_cast<unsigned char>(a[i]));
    const auto y = AsciiUpper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// Sorting compares mostly the first bytes of names, so each name carries its
// first sixteen bytes upper-cased as two numbers that compare in that order;
// only names that agree on those are looked at themselves.
struct SortKey {
  std::uint64_t head;
  std::uint64_t tail;
  std::uint32_t offset;  // of the name in the collector's text
  std::uint32_t length;
};

constexpr std::size_t KeyLength = 16;

std::uint64_t UpperBytes(std::string_view name, std::size_t from) {
  std::uint64_t bytes = 0;
  for (std::size_t i = from; i < from + 8; ++i) {
    bytes = (bytes << 8) | (i < name.size() ? AsciiUpper(static_cast<unsigned char>(name[i])) : 0);
  }
  return bytes;
}

// A stable radix sort by (head, tail), one byte at a time from the least
// significant; bytes that all keys share are skipped. Folders hold up to
// hundreds of thousands of names, and this is several times faster than
// comparing them.
void SortByKey(std::vector<SortKey>& keys) {
  constexpr std::size_t Digits = 2 * sizeof(std::uint64_t);
  auto digit = [](const SortKey& key, std::size_t d) {
    const std::uint64_t word = d < 8 ? key.tail : key.head;
    return static_cast<std::size_t>((word >> (8 * (d % 8))) & 0xFF);
  };
  std::vector<std::array<std::size_t, 256>> counts(Digits);
  for (const SortKey& key : keys) {
    for (std::size_t d = 0; d < Digits; ++d) ++counts[d][digit(key, d)];
  }
  std::vector<SortKey> buffer(keys.size());
  for (std::size_t d = 0; d < Digits; ++d) {
    auto& count = counts[d];
    if (std::find(count.begin(), count.end(), keys.size()) != count.end()) continue;
    std::size_t position = 0;
    for (auto& slot : count) position += std::exchange(slot, position);
    for (const SortKey& key : keys) buffer[count[digit(key, d)]++] = key;
    keys.swap(buffer);
  }
}

// Names gathered as they come from the folder, kept side by side in one
// text so that sorting touches little memory, and made into strings once,
// in their final order.
class NameCollector {
 public:
  void add(std::string_view name) {
    keys_.push_back({UpperBytes(name, 0), UpperBytes(name, 8), static_cast<std::uint32_t>(text_.size()),
                     static_cast<std::uint32_t>(name.size())});
    text_.append(name);
  }

  std::vector<std::string> sortedInWindowsOrder() && {
    SortByKey(keys_);
    // Names whose keys agree (the same first sixteen bytes but for case)
    // stand together now; put each such run in order by the names.
    for (auto run = keys_.begin(); run != keys_.end();) {
      const auto runEnd = std::find_if(run + 1, keys_.end(), [&](const SortKey& key) {
        return key.head != run->head || key.tail != run->tail;
      });
      if (runEnd - run > 1) {
        std::sort(run, runEnd, [this](const SortKey& a, const SortKey& b) {
          return InWindowsOrder(nameOf(a), nameOf(b), std::min<std::size_t>({a.length, b.length, KeyLength}));
        });
      }
      run = runEnd;
    }
    std::vector<std::string> sorted;
    sorted.reserve(keys_.size());
    for (const SortKey& key : keys_) sorted.emplace_back(nameOf(key));
    return sorted;
  }

 private:
  std::string_view nameOf(const SortKey& key) const { return std::string_view(text_).substr(key.offset, key.length); }

  std::vector<SortKey> keys_;
  std::string text_;
};

bool HasImageExtension(std::string_view nameOrPath) {
  const std::string_view extension = ExtensionOf(nameOrPath);
  return std::any_of(ImageExtensions.begin(), ImageExtensions.end(), [extension](std::string_view member) {
    return member.size() == extension.size() &&
           std::equal(member.begin(), member.end(), extension.begin(), [](char m, char e) {
             return static_cast<unsigned char>(m) == AsciiUpper(static_cast<unsigned char>(e));
           });
  });
}

}  // namespace

bool IsImageFile(const std::string& nameOrPath) { return HasImageExtension(nameOrPath); }

std::vector<std::string> ListFolderFiles(const std::string& pathInFolder, bool imagesOnly) {
  const std::string folder = FolderPartOf(pathInFolder);
  if (!platform::IsAbsolute(folder)) return {};
  NameCollector names;
  platform::ForEachEntry(folder, [&](std::string_view name, bool isFolder) {
    if (isFolder || name == DescriptionFileName || name == LongTextFileName) return;
    if (imagesOnly && !HasImageExtension(name)) return;
    names.add(name);
  });
  return std::move(names).sortedInWindowsOrder();
}

}  // namespace store
