// How WriteDescription changes program.desc: our values in, every other byte
// kept, and what we write reads back as we meant it.
#include <gtest/gtest.h>

#include <optional>

#include "store/store.h"
#include "test_folder.h"

namespace store::testing {
namespace {

using namespace std::string_literals;

const DescriptionRecord Record{"T", "N", "D", "S", "F"};
const std::string RecordLines = "Type=T\r\nName=N\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n";

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // nullopt: no program.desc yet
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WritingProgramDesc : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WritingProgramDesc, ChangesOnlyOurKeys) {
  TempFolder folder;
  if (GetParam().before) WriteBytes(folder.path("program.desc"), *GetParam().before);
  WriteDescription(folder.dir(), Record, "");
  EXPECT_EQ(ReadBytes(folder.path("program.desc")), GetParam().after);
  EXPECT_EQ(ReadDescription(folder.dir()), Record);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WritingProgramDesc,
    ::testing::Values(
        WriteCase{"new_file", std::nullopt, "[Info]\r\n" + RecordLines},
        WriteCase{"empty_file", "", "[Info]\r\n" + RecordLines},
        WriteCase{"foreign_lines_kept_byte_for_byte",
                  "; made by hand\n[Other]\nx = 1 \n[info]\ntype=old\nAuthor=me\nName = old\r\nDesc=o\rScreenshot=s\nFile=f\n[Tail]\ny=2"s,
                  "; made by hand\n[Other]\nx = 1 \n[info]\nType=T\r\nAuthor=me\nName=N\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n[Tail]\ny=2"},
        WriteCase{"missing_keys_after_the_last_key_line", "[Info]\nName=a\n\n[X]\nk=v\n",
                  "[Info]\nName=N\r\nType=T\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n\n[X]\nk=v\n"},
        WriteCase{"section_line_at_the_end_without_line_end", "[Info]", "[Info]\r\n" + RecordLines},
        WriteCase{"last_key_line_without_line_end", "[Info]\r\nAuthor=me", "[Info]\r\nAuthor=me\r\n" + RecordLines},
        WriteCase{"missing_section_appended", "[Other]\r\nx=1", "[Other]\r\nx=1\r\n[Info]\r\n" + RecordLines},
        WriteCase{"missing_section_after_a_final_line_end", "x=1\n", "x=1\n[Info]\r\n" + RecordLines},
        WriteCase{"second_info_section_untouched", "[Info]\r\nType=a\r\n[Info]\r\nName=b\r\n",
                  "[Info]\r\nType=T\r\nName=N\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n[Info]\r\nName=b\r\n"},
        WriteCase{"only_the_first_line_of_a_key_replaced", "[Info]\r\nType=a\r\nType=b\r\n",
                  "[Info]\r\nType=T\r\nType=b\r\nName=N\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n"},
        WriteCase{"byte_order_mark_section_is_not_ours", "\xEF\xBB\xBF[Info]\r\nType=a\r\n",
                  "\xEF\xBB\xBF[Info]\r\nType=a\r\n[Info]\r\n" + RecordLines},
        WriteCase{"nul_bytes_in_foreign_lines_kept", "[X]\r\nk=a\0b\r\n[Info]\r\nType=a\0b\r\n"s,
                  "[X]\r\nk=a\0b\r\n[Info]\r\nType=T\r\nName=N\r\nDesc=D\r\nScreenshot=S\r\nFile=F\r\n"s}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(WritingProgramDesc, ValuesReadBackUnchanged) {
  const std::vector<DescriptionRecord> records = {
      {" lead", "trail\t", "\"quoted\"", "'x'", "  "},
      {"a\"b", "\"", "'", "''", "\"'"},
      {"", "", "", "", ""},
      {"\xC8\xE3\xF0\xFB", "; not a comment", "[not a section]", "=x=", "a = b"},
  };
  TempFolder folder;
  for (const auto& record : records) {
    WriteDescription(folder.dir(), record, "");
    EXPECT_EQ(ReadDescription(folder.dir()), record) << ReadBytes(folder.path("program.desc"));
  }
}

TEST(WritingProgramDesc, QuotesOnlyWhereNeeded) {
  TempFolder folder;
  WriteDescription(folder.dir(), {" a", "b c", "\"d\"", "e\"", ""}, "");
  EXPECT_EQ(ReadBytes(folder.path("program.desc")),
            "[Info]\r\nType=\" a\"\r\nName=b c\r\nDesc=\"\"d\"\"\r\nScreenshot=e\"\r\nFile=\r\n");
}

TEST(WritingProgramDesc, LongValueWrittenWholeReadBackCut) {
  TempFolder folder;
  const std::string value(3000, 'v');
  WriteDescription(folder.dir(), {value, "", "", "", ""}, "");
  EXPECT_NE(ReadBytes(folder.path("program.desc")).find("Type=" + value + "\r\n"), std::string::npos);
  EXPECT_EQ(ReadDescription(folder.dir()).Type, value.substr(0, 2047));
}

}  // namespace
}  // namespace store::testing
