// How values are read from program.desc: the rules of the Windows profile
// functions, which the disc's menu program reads the file through.
#include <gtest/gtest.h>

#include <ostream>

#include "store/store.h"
#include "test_folder.h"

namespace store {
void PrintTo(const DescriptionRecord& r, std::ostream* os) {
  *os << "{Type=" << ::testing::PrintToString(r.Type) << " Name=" << ::testing::PrintToString(r.Name)
      << " Desc=" << ::testing::PrintToString(r.Desc) << " Screenshot=" << ::testing::PrintToString(r.Screenshot)
      << " File=" << ::testing::PrintToString(r.File) << "}";
}
}  // namespace store

namespace store::testing {
namespace {

using namespace std::string_literals;

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

struct ReadCase {
  const char* name;
  std::string file;
  DescriptionRecord expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadingProgramDesc : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadingProgramDesc, GivesTheValuesWindowsWouldGive) {
  TempFolder folder;
  WriteBytes(folder.path("program.desc"), GetParam().file);
  EXPECT_EQ(ReadDescription(folder.dir()), GetParam().expected);
}

const std::string Long3000 = std::string(3000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadingProgramDesc,
    ::testing::Values(
        ReadCase{"plain_crlf", "[Info]\r\nType=Games\r\nName=Chess\r\nDesc=A board game\r\nScreenshot=shot.jpg\r\nFile=chess.exe\r\n",
                 {"Games", "Chess", "A board game", "shot.jpg", "chess.exe"}},
        ReadCase{"lf_line_ends", "[Info]\nType=a\nName=b\n", {"a", "b", "", "", ""}},
        ReadCase{"lone_cr_line_ends", "[Info]\rType=a\rName=b", {"a", "b", "", "", ""}},
        ReadCase{"names_ignore_letter_case", "[iNFO]\r\ntype=a\r\nNAME=b\r\n", {"a", "b", "", "", ""}},
        ReadCase{"section_line_blanks_and_trailing_text", "  \t[ Info ] anything=1\r\nType=a\r\n", {"a", "", "", "", ""}},
        ReadCase{"section_line_without_bracket", "[Info\r\nType=a\r\n", {"a", "", "", "", ""}},
        ReadCase{"other_section_name", "[Information]\r\nType=a\r\n", {}},
        ReadCase{"keys_above_the_first_section", "Type=x\r\n[Info]\r\nName=b\r\n", {"", "b", "", "", ""}},
        ReadCase{"only_the_first_info_section", "[Info]\r\nType=a\r\n[Other]\r\nName=o\r\n[Info]\r\nType=b\r\nDesc=d\r\n",
                 {"a", "", "", "", ""}},
        ReadCase{"first_line_of_a_key_wins", "[Info]\r\nType=a\r\ntype=b\r\n", {"a", "", "", "", ""}},
        ReadCase{"line_without_equals_is_an_empty_key", "[Info]\r\nType\r\nType=late\r\nName=n\r\n", {"", "n", "", "", ""}},
        ReadCase{"line_starting_with_equals_is_ignored", "[Info]\r\n  =Type\r\nType=a\r\n", {"a", "", "", "", ""}},
        ReadCase{"no_comments", "[Info]\r\n;Type=x\r\nType=Games ; note\r\n#Name=y\r\nDesc=# not a comment\r\n",
                 {"Games ; note", "", "# not a comment", "", ""}},
        ReadCase{"blanks_around_key_and_value", "[Info]\r\n \t Type \v=\t a  b \v \r\n", {"a  b", "", "", "", ""}},
        ReadCase{"enclosing_quotes_removed",
                 "[Info]\r\nType=\"  a \"\r\nName='x'\r\nDesc=\"x'\r\nScreenshot=\"\r\nFile=''\r\n",
                 {"  a ", "x", "\"x'", "\"", ""}},
        ReadCase{"quotes_inside_blanks", "[Info]\r\nType=  \"q\"  \r\n", {"q", "", "", "", ""}},
        ReadCase{"value_cut_to_2047_bytes", "[Info]\r\nType=" + Long3000 + "\r\nName=\"" + Long3000 + "\"\r\n",
                 {std::string(2047, 'x'), std::string(2047, 'x'), "", "", ""}},
        ReadCase{"cut_is_not_trimmed_again", "[Info]\r\nType=" + std::string(2045, 'a') + "   b\r\n",
                 {std::string(2045, 'a') + "  ", "", "", "", ""}},
        ReadCase{"utf8_byte_order_mark_hides_the_section", "\xEF\xBB\xBF[Info]\r\nType=a\r\n", {}},
        ReadCase{"nul_ends_the_value", "[Info]\r\nType=ab\0cd\r\nName=n\r\n"s, {"ab", "n", "", "", ""}},
        ReadCase{"high_bytes_unchanged", "[Info]\r\nType=\xC8\xE3\xF0\xFB\r\nName=\x80\xFF\r\n",
                 {"\xC8\xE3\xF0\xFB", "\x80\xFF", "", "", ""}},
        ReadCase{"empty_file", "", {}},
        ReadCase{"utf16le_converted_to_windows_1251",
                 Utf16Le(u"[Info]\r\nType=Игры\r\nName=a\U0001F600b\r\nDesc=№ «x» ё\r\n"),
                 {"\xC8\xE3\xF0\xFB", "a?b", "\xB9 \xABx\xBB \xB8", "", ""}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadingProgramDesc, MissingFileOrFolderGivesEmptyValues) {
  TempFolder folder;
  EXPECT_EQ(ReadDescription(folder.dir()), DescriptionRecord{});
  EXPECT_EQ(ReadDescription(folder.dir() + "gone/"), DescriptionRecord{});
  MakeFolder(folder.path("program.desc"));
  EXPECT_EQ(ReadDescription(folder.dir()), DescriptionRecord{});
}

}  // namespace
}  // namespace store::testing
