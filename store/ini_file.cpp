#include "store/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace store::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
}

// One line of the file as the profile functions see it.
struct Line {
  enum class Kind { Ignored, Section, Key };
  Kind kind = Kind::Ignored;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key lines: trimmed value, quotes still on
  std::size_t begin = 0;   // offset of the line's first byte
  std::size_t end = 0;     // offset just past its text, before the line end
  std::size_t next = 0;    // offset of the next line
};

Line ClassifyLine(std::string_view file, std::size_t begin, std::size_t end, std::size_t next) {
  Line line;
  line.begin = begin;
  line.end = end;
  line.next = next;
  std::string_view text = file.substr(begin, end - begin);
  text = text.substr(0, text.find('\0'));
  text = Trim(text);
  if (text.empty()) return line;
  if (text.front() == '[') {
    line.kind = Line::Kind::Section;
    text.remove_prefix(1);
    line.name = Trim(text.substr(0, text.find(']')));
    return line;
  }
  const auto equals = text.find('=');
  if (equals == 0) return line;
  line.kind = Line::Kind::Key;
  line.name = Trim(text.substr(0, equals));
  if (equals != std::string_view::npos) line.value = Trim(text.substr(equals + 1));
  return line;
}

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < file.size()) {
    const auto end = std::min(file.find_first_of("\r\n", begin), file.size());
    std::size_t next = end;
    if (next < file.size()) next += (file[next] == '\r' && next + 1 < file.size() && file[next + 1] == '\n') ? 2 : 1;
    lines.push_back(ClassifyLine(file, begin, end, next));
    begin = next;
  }
  return lines;
}

// The lines of the first section of that name: [first, last) indices into
// lines, first being the section line itself.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::Section || !SameName(lines[i].name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != Line::Kind::Section) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::string ValueForReading(std::string_view stored) {
  if (IsQuoted(stored)) stored = stored.substr(1, stored.size() - 2);
  return std::string(stored.substr(0, MaxValueLength));
}

std::string LineForWriting(const Entry& entry) {
  const std::string_view value = entry.value;
  const bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value));
  std::string line(entry.key);
  line += '=';
  if (needsQuotes) line += '"';
  line += value;
  if (needsQuotes) line += '"';
  line += "\r\n";
  return line;
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// Windows-1251 bytes 0x80 to 0xBF, indexed by byte - 0x80; 0 marks the one
// byte (0x98) that holds no character. Bytes 0xC0 to 0xFF are U+0410 to
// U+044F, А to я, in order.
constexpr std::uint16_t Windows1251Symbols[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char ToWindows1251(std::uint16_t codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  if (codePoint >= 0x0410 && codePoint <= 0x044F) return static_cast<char>(0xC0 + (codePoint - 0x0410));
  const auto* found = std::find(std::begin(Windows1251Symbols), std::end(Windows1251Symbols), codePoint);
  if (found == std::end(Windows1251Symbols)) return '?';
  return static_cast<char>(0x80 + (found - std::begin(Windows1251Symbols)));
}

// The UTF-16LE text after the byte-order mark, as Windows-1251 bytes; a
// surrogate pair is one character, an odd last byte is dropped.
std::string Utf16ToWindows1251(std::string_view file) {
  std::string text;
  text.reserve(file.size() / 2);
  for (std::size_t i = 2; i + 1 < file.size(); i += 2) {
    const auto unit = static_cast<std::uint16_t>(static_cast<unsigned char>(file[i]) |
                                                 (static_cast<unsigned char>(file[i + 1]) << 8));
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < file.size()) {
      const auto low = static_cast<std::uint16_t>(static_cast<unsigned char>(file[i + 2]) |
                                                  (static_cast<unsigned char>(file[i + 3]) << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) i += 2;
      text += '?';
      continue;
    }
    text += ToWindows1251(unit);
  }
  return text;
}

}  // namespace

bool IsUtf16(std::string_view file) { return file.size() >= 2 && file[0] == '\xFF' && file[1] == '\xFE'; }

std::vector<std::string> ReadValues(std::string_view file, std::string_view section,
                                    std::span<const std::string_view> keys) {
  std::string converted;
  if (IsUtf16(file)) {
    converted = Utf16ToWindows1251(file);
    file = converted;
  }
  std::vector<std::string> values(keys.size());
  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  if (!span) return values;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
      if (lines[i].kind == Line::Kind::Key && SameName(lines[i].name, keys[k])) {
        values[k] = ValueForReading(lines[i].value);
        break;
      }
    }
  }
  return values;
}

std::string WriteValues(std::string_view file, std::string_view section, std::span<const Entry> entries) {
  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  std::string out;
  out.reserve(file.size() + 64 * entries.size());

  if (!span) {
    out.append(file);
    if (!file.empty() && !EndsWithLineBreak(file)) out += "\r\n";
    out += '[';
    out += section;
    out += "]\r\n";
    for (const Entry& entry : entries) out += LineForWriting(entry);
    return out;
  }

  // Which line each entry replaces, and after which line the new ones go.
  std::vector<std::optional<std::size_t>> replaced(entries.size());
  std::size_t insertAfter = span->header;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].kind != Line::Kind::Key) continue;
    insertAfter = i;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (!replaced[e] && SameName(lines[i].name, entries[e].key)) {
        replaced[e] = i;
        break;
      }
    }
  }

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const auto entry = std::find(replaced.begin(), replaced.end(), i);
    if (entry != replaced.end()) {
      out += LineForWriting(entries[static_cast<std::size_t>(entry - replaced.begin())]);
    } else {
      out.append(file.substr(line.begin, line.next - line.begin));
      // A last line without a line end needs one before anything follows it.
      if (i == insertAfter && line.next == line.end) out += "\r\n";
    }
    if (i != insertAfter) continue;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (!replaced[e]) out += LineForWriting(entries[e]);
    }
  }
  return out;
}

}  // namespace store::ini
