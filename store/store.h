// The description store: the two files that describe a program folder of a
// collection disc, and the listing of a folder's files.
//
//   program.desc  an INI record, section [Info], keys Type, Name, Desc,
//                 Screenshot and File (see ini_file.h for the rules the
//                 disc's menu program reads it by);
//   memo.desc     the long text: its bytes exactly, CR LF line breaks,
//                 nothing after the last line.
//
// Every value, path and text is a byte string that is never converted.
// `currentDir` is always a folder path ending with the platform's separator
// (see IncludeSlash). Nothing is kept open or cached between calls.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace store {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

inline constexpr std::string_view DescriptionFileName = "program.desc";
inline constexpr std::string_view LongTextFileName = "memo.desc";

// The largest memo.desc that ReadLongText takes (16 MiB): far beyond any
// real description, and still a text the memo field edits without delay.
inline constexpr std::size_t LongTextCapacity = std::size_t{16} << 20;

// The five values of section [Info] of program.desc, in the order they are
// written. Bytes, never converted.
struct DescriptionRecord {
  std::string Type, Name, Desc, Screenshot, File;
  bool operator==(const DescriptionRecord&) const = default;
};

// A failure of a store operation; what() is the message for the user.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The path unchanged when it ends with the separator, else the path followed
// by one separator; "" gives the separator alone.
std::string IncludeSlash(const std::string& path);

// True when currentDir holds program.desc as a file (not a folder). Never
// fails: a missing or unreadable folder answers false.
bool DescriptionExists(const std::string& currentDir);

// The five values of program.desc; a missing file, section or key reads as
// empty, a value longer than 2047 bytes as its first 2047 bytes. Never fails.
DescriptionRecord ReadDescription(const std::string& currentDir);

// The text of memo.desc with every line break made CR LF and cut before the
// first NUL byte; empty when there is no memo.desc. Raises Error with
// "Cannot open file "<path>". <reason>" when it cannot be opened or read, and
// "Text exceeds memo capacity" when it is larger than LongTextCapacity.
std::string ReadLongText(const std::string& currentDir);

// Writes the record into program.desc (other sections, keys and lines kept
// byte for byte) and replaces memo.desc by the long text. Each file is
// replaced whole through a new file and a rename, so it is never torn.
// Raises Error with "Unable to write to <program.desc>" when program.desc
// cannot be written (nothing is changed then), "Cannot create file
// "<memo.desc>". <reason>" when memo.desc cannot be (program.desc already
// holds the record), and "Stream write error" when the disk fills up while
// memo.desc is written (its old bytes are kept). A relative currentDir or a
// value holding CR or LF is refused before anything is written.
void WriteDescription(const std::string& currentDir, const DescriptionRecord& record,
                      const std::string& longText);

// Deletes program.desc, never memo.desc. Answers false, deleting nothing, when
// there is no such file, it is a folder, it is read-only for the user, or the
// system refuses. Never fails.
bool DeleteDescription(const std::string& currentDir);

// The seven extensions that make a file an illustration, upper case, with
// their leading dot.
extern const std::array<std::string_view, 7> ImageExtensions;

// True when the extension of the name's last component, upper-cased, is one
// of ImageExtensions.
bool IsImageFile(const std::string& nameOrPath);

// The names of the plain files in the folder that holds pathInFolder (whose
// last component need not exist), leaving out program.desc and memo.desc and,
// when imagesOnly is set, every non-image. Sorted by name ignoring ASCII
// letter case. A folder that cannot be read gives an empty list.
std::vector<std::string> ListFolderFiles(const std::string& pathInFolder, bool imagesOnly);

}  // namespace store
