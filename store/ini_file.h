// Reading and writing INI text the way the Windows profile functions
// (GetPrivateProfileStringA, WritePrivateProfileStringA) read it, so that the
// disc's menu program, which reads program.desc through them, sees exactly
// what we mean.
//
// Reading:
// - A line ends at CR LF, LF or a lone CR. A NUL byte ends the line's text.
// - A line whose first non-blank byte is '[' names a section, closing ']' or
//   not; the name runs to the first ']', blanks trimmed, and whatever follows
//   the ']' is ignored. Lines above the first section belong to no section.
// - Section and key names match regardless of ASCII letter case. Only the
//   first section of a name counts, and within it the first line of a key.
// - Any other line is "key=value" split at its first '='. A line without '='
//   is a key with an empty value; a line that starts with '=' is ignored.
//   There are no comments: ';' and '#' are ordinary bytes.
// - Blanks (space, tab, vertical tab) around the key, the '=' and the value
//   are dropped. A value of two bytes or more enclosed in a matching pair of
//   '"' or '\'' then loses the pair, and is cut to MaxValueLength bytes.
// - A UTF-8 byte-order mark is ordinary text. A file that begins with the
//   UTF-16LE byte-order mark is read as UTF-16 and converted to Windows-1251,
//   characters it cannot hold becoming '?'.
//
// Writing keeps every line it does not change byte for byte, with its own
// line end; the lines it writes end in CR LF. A value whose first or last byte
// is a blank, or which is enclosed in matching quotes, is written inside '"'
// so that it reads back unchanged.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace store::ini {

inline constexpr std::size_t MaxValueLength = 2047;

struct Entry {
  std::string_view key;
  std::string_view value;
};

// True when the text begins with the UTF-16LE byte-order mark.
bool IsUtf16(std::string_view file);

// The values of the keys in the section, in the order of keys; a missing
// section or key gives an empty value.
std::vector<std::string> ReadValues(std::string_view file, std::string_view section,
                                    std::span<const std::string_view> keys);

// The file with each entry's key set to its value in the section: the first
// line of an existing key is replaced, a missing key goes after the section's
// last key line, a missing section goes at the end with all the entries. The
// file must not be UTF-16 and no value may hold CR, LF or NUL.
std::string WriteValues(std::string_view file, std::string_view section,
                        std::span<const Entry> entries);

}  // namespace store::ini
