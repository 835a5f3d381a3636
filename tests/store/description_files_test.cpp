// The description files as a whole: paths, the long text, writing and
// deleting, and every way a write can be refused without losing a byte.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "store/store.h"
#include "test_folder.h"

namespace store::testing {
namespace {

using namespace std::string_literals;

TEST(IncludeSlash, AppendsOneSeparatorUnlessThereIsOne) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "/"}, {"/", "/"}, {"/home/a", "/home/a/"}, {"/home/a/", "/home/a/"}, {"a\\", "a\\/"}, {"a//", "a//"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(IncludeSlash(path), expected) << path;
}

TEST(DescriptionExists, OnlyForAFileOfThatExactName) {
  TempFolder folder;
  EXPECT_FALSE(DescriptionExists(folder.dir()));
  WriteBytes(folder.path("PROGRAM.DESC"), "");
  WriteBytes(folder.path("memo.desc"), "");
  EXPECT_FALSE(DescriptionExists(folder.dir()));
  WriteBytes(folder.path("program.desc"), "");
  EXPECT_TRUE(DescriptionExists(folder.dir()));

  TempFolder withFolder;
  MakeFolder(withFolder.path("program.desc"));
  EXPECT_FALSE(DescriptionExists(withFolder.dir()));
  EXPECT_FALSE(DescriptionExists(folder.dir() + "vanished/"));
}

TEST(ReadLongText, MakesLineBreaksCrLfAndStopsAtNul) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"ab\r\ncd", "ab\r\ncd"},
      {"ab\ncd\n", "ab\r\ncd\r\n"},
      {"ab\rcd\r", "ab\r\ncd\r\n"},
      {"a\n\rb", "a\r\n\r\nb"},
      {"a\r\r\nb", "a\r\n\r\nb"},
      {"a\nb\0c\nd"s, "a\r\nb"},
      {"\0rest"s, ""},
      {"\xC8\xE3\xF0\xFB\t\x7F", "\xC8\xE3\xF0\xFB\t\x7F"},
  };
  TempFolder folder;
  for (const auto& [stored, expected] : cases) {
    WriteBytes(folder.path("memo.desc"), stored);
    EXPECT_EQ(ReadLongText(folder.dir()), expected) << ::testing::PrintToString(stored);
  }
}

TEST(ReadLongText, EmptyWithoutAFileOfThatName) {
  TempFolder folder;
  EXPECT_EQ(ReadLongText(folder.dir()), "");
  MakeFolder(folder.path("memo.desc"));
  EXPECT_EQ(ReadLongText(folder.dir()), "");
  EXPECT_EQ(ReadLongText("relative/"), "");
}

TEST(ReadLongText, UnreadableFileNamesPathAndReason) {
  TempFolder folder;
  WriteBytes(folder.path("memo.desc"), "secret");
  SetMode(folder.path("memo.desc"), 0);
  const std::string dir = folder.dir();
  EXPECT_EQ(RunAsOrdinaryUser([&] { return ErrorOf([&] { ReadLongText(dir); }); }),
            "Cannot open file \"" + dir + "memo.desc\". Permission denied");
}

TEST(ReadLongText, RefusesAFileLargerThanTheCapacity) {
  TempFolder folder;
  const std::string path = folder.path("memo.desc");
  WriteBytes(path, "");
  std::filesystem::resize_file(path, LongTextCapacity + 1);  // sparse: costs no disk
  EXPECT_EQ(ErrorOf([&] { ReadLongText(folder.dir()); }), "Text exceeds memo capacity");
}

TEST(WriteDescription, WritesBothFilesExactly) {
  TempFolder folder;
  WriteDescription(folder.dir(), {"Игры", "Chess", "", "shot.jpg", "chess.exe"}, "ab\r\ncd");
  EXPECT_EQ(ReadBytes(folder.path("program.desc")),
            "[Info]\r\nType=Игры\r\nName=Chess\r\nDesc=\r\nScreenshot=shot.jpg\r\nFile=chess.exe\r\n");
  EXPECT_EQ(ReadBytes(folder.path("memo.desc")), "ab\r\ncd");
}

TEST(WriteDescription, ReplacesALeftOverMemoAndWritesAnEmptyOne) {
  TempFolder folder;
  WriteBytes(folder.path("memo.desc"), "old text that is longer");
  EXPECT_FALSE(DescriptionExists(folder.dir()));
  WriteDescription(folder.dir(), {}, "new\r\n");
  EXPECT_TRUE(DescriptionExists(folder.dir()));
  EXPECT_EQ(ReadBytes(folder.path("memo.desc")), "new\r\n");
  WriteDescription(folder.dir(), {}, "");
  EXPECT_EQ(ReadBytes(folder.path("memo.desc")), "");
}

TEST(WriteDescription, KeepsPermissionBitsAndLeavesNoTemporaryFile) {
  TempFolder folder;
  WriteBytes(folder.path("program.desc"), "[Info]\r\n");
  WriteBytes(folder.path("memo.desc"), "");
  SetMode(folder.path("program.desc"), 0640);
  SetMode(folder.path("memo.desc"), 0604);
  WriteDescription(folder.dir(), {"a", "b", "c", "d", "e"}, "text");
  struct stat status {};
  ASSERT_EQ(::stat(folder.path("program.desc").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  ASSERT_EQ(::stat(folder.path("memo.desc").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0604u);
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.dir())) ++entries;
  EXPECT_EQ(entries, 2u);
}

TEST(WriteDescription, WritesThroughALinkIntoItsTarget) {
  TempFolder folder;
  MakeFolder(folder.path("shared"));
  WriteBytes(folder.path("shared/program.desc"), "[Info]\r\nType=old\r\n");
  std::filesystem::create_symlink("shared/program.desc", folder.path("program.desc"));
  WriteDescription(folder.dir(), {"new", "", "", "", ""}, "");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path("program.desc")));
  EXPECT_EQ(ReadDescription(folder.dir() + "shared/").Type, "new");
}

// A folder as it stood before a refused write, to prove nothing changed.
struct Snapshot {
  std::string description, memo;
};

Snapshot Take(const TempFolder& folder) {
  auto read = [&](const char* name) {
    const auto path = folder.path(name);
    return std::filesystem::is_regular_file(path) ? ReadBytes(path) : "<absent>";
  };
  return {read("program.desc"), read("memo.desc")};
}

struct RefusedWrite {
  const char* name;
  void (*prepare)(const TempFolder&);
  std::string expected;  // "%P" stands for program.desc's path, "%M" for memo.desc's
  std::string subfolder = "";
};

void PrintTo(const RefusedWrite& c, std::ostream* os) { *os << c.name; }

std::string Expand(std::string text, const std::string& dir) {
  for (auto [mark, name] : {std::pair{"%P", "program.desc"}, std::pair{"%M", "memo.desc"}}) {
    const auto at = text.find(mark);
    if (at != std::string::npos) text.replace(at, 2, dir + name);
  }
  return text;
}

// Files any user may write, so that only what a case changes stops a write.
void WritableFile(const std::string& path, const std::string& bytes) {
  WriteBytes(path, bytes);
  SetMode(path, 0666);
}

void WithBothFiles(const TempFolder& f) {
  WritableFile(f.path("program.desc"), "[Info]\r\nType=old\r\n[Mine]\r\nk=v\r\n");
  WritableFile(f.path("memo.desc"), "old memo");
}

class RefusedWrites : public ::testing::TestWithParam<RefusedWrite> {};

TEST_P(RefusedWrites, FailBeforeAnythingIsReplaced) {
  TempFolder folder;
  GetParam().prepare(folder);
  const Snapshot before = Take(folder);
  const std::string dir = folder.dir() + GetParam().subfolder;
  const std::string message = RunAsOrdinaryUser([&] {
    return ErrorOf([&] { WriteDescription(dir, {"new", "new", "new", "new", "new"}, "new memo"); });
  });
  EXPECT_EQ(message, Expand(GetParam().expected, dir));
  const Snapshot after = Take(folder);
  EXPECT_EQ(after.description, before.description);
  EXPECT_EQ(after.memo, before.memo);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RefusedWrites,
    ::testing::Values(
        RefusedWrite{"read_only_description",
                     [](const TempFolder& f) {
                       WithBothFiles(f);
                       SetMode(f.path("program.desc"), 0444);
                     },
                     "Unable to write to %P"},
        RefusedWrite{"read_only_memo",
                     [](const TempFolder& f) {
                       WithBothFiles(f);
                       SetMode(f.path("memo.desc"), 0444);
                     },
                     "Cannot create file \"%M\". Permission denied"},
        RefusedWrite{"read_only_folder",
                     [](const TempFolder& f) {
                       WithBothFiles(f);
                       SetMode(f.dir(), 0555);
                     },
                     "Unable to write to %P"},
        RefusedWrite{"read_only_folder_without_files", [](const TempFolder& f) { SetMode(f.dir(), 0555); },
                     "Unable to write to %P"},
        RefusedWrite{"folder_named_program_desc", [](const TempFolder& f) { MakeFolder(f.path("program.desc")); },
                     "Unable to write to %P"},
        RefusedWrite{"folder_named_memo_desc",
                     [](const TempFolder& f) {
                       WritableFile(f.path("program.desc"), "[Info]\r\n");
                       MakeFolder(f.path("memo.desc"));
                     },
                     "Cannot create file \"%M\". Is a directory"},
        RefusedWrite{"vanished_folder", [](const TempFolder&) {}, "Unable to write to %P", "vanished/"},
        RefusedWrite{"utf16_description",
                     [](const TempFolder& f) { WritableFile(f.path("program.desc"), "\xFF\xFE[\0I\0\r\0\n\0"s); },
                     "%P is stored as UTF-16 text, which this editor does not write; nothing was changed"}),
    [](const ::testing::TestParamInfo<RefusedWrite>& info) { return std::string(info.param.name); });

TEST(WriteDescription, RefusesValuesThatWouldBreakTheFile) {
  TempFolder folder;
  WithBothFiles(folder);
  const Snapshot before = Take(folder);
  const std::pair<DescriptionRecord, const char*> cases[] = {
      {{"a\r\nType=evil", "", "", "", ""}, "Type"}, {{"", "", "", "", "x\ny"}, "File"},
      {{"", "a\rb", "", "", ""}, "Name"},          {{"", "", "a\0b"s, "", ""}, "Desc"}};
  for (const auto& [record, key] : cases) {
    EXPECT_EQ(ErrorOf([&] { WriteDescription(folder.dir(), record, ""); }),
              "The value of "s + key + " holds a line break or a zero byte, which program.desc cannot store; "
              "nothing was written");
  }
  EXPECT_EQ(Take(folder).description, before.description);
  EXPECT_EQ(Take(folder).memo, before.memo);
}

TEST(WriteDescription, NeverWritesIntoARelativeFolder) {
  TempFolder folder;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.dir());
  const std::string message = ErrorOf([] { WriteDescription("Computer/", {}, ""); });
  const std::string rootMessage = ErrorOf([] { WriteDescription("", {}, ""); });
  std::filesystem::current_path(previous);
  EXPECT_EQ(message, "Unable to write to Computer/program.desc");
  EXPECT_EQ(rootMessage, "Unable to write to program.desc");
  EXPECT_FALSE(Exists(folder.path("program.desc")));
  EXPECT_FALSE(Exists(folder.path("Computer")));
}

// A tiny file system that the test can fill up. Needs root to mount.
class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    mountPoint_ = folder_.dir() + "disk";
    MakeFolder(mountPoint_);
    if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount tmpfs here";
    }
    mounted_ = true;
    dir_ = mountPoint_ + "/";
  }
  void TearDown() override {
    if (mounted_) ::umount(mountPoint_.c_str());
  }
  // Fills the disk up to about `room` free bytes.
  void Fill(std::size_t room) {
    const auto free = std::filesystem::space(mountPoint_).available;
    WriteBytes(dir_ + "filler", std::string(free > room ? free - room : 0, 'f'));
  }

  TempFolder folder_;
  std::string mountPoint_, dir_;
  bool mounted_ = false;
};

TEST_F(FullDisk, MemoThatDoesNotFitChangesNothing) {
  WriteDescription(dir_, {"old", "", "", "", ""}, "old memo");
  Fill(8 * 1024);
  EXPECT_EQ(ErrorOf([&] { WriteDescription(dir_, {"new", "", "", "", ""}, std::string(32 * 1024, 'm')); }),
            "Stream write error");
  EXPECT_EQ(ReadDescription(dir_).Type, "old");
  EXPECT_EQ(ReadBytes(dir_ + "memo.desc"), "old memo");
}

TEST_F(FullDisk, DescriptionThatDoesNotFitChangesNothing) {
  WriteDescription(dir_, {"old", "", "", "", ""}, "old memo");
  Fill(0);
  EXPECT_EQ(ErrorOf([&] { WriteDescription(dir_, {std::string(16 * 1024, 'n'), "", "", "", ""}, ""); }),
            "Unable to write to " + dir_ + "program.desc");
  EXPECT_EQ(ReadDescription(dir_).Type, "old");
  EXPECT_EQ(ReadBytes(dir_ + "memo.desc"), "old memo");
}

TEST(DeleteDescription, DeletesProgramDescOnly) {
  TempFolder folder;
  WithBothFiles(folder);
  EXPECT_TRUE(DeleteDescription(folder.dir()));
  EXPECT_FALSE(Exists(folder.path("program.desc")));
  EXPECT_EQ(ReadBytes(folder.path("memo.desc")), "old memo");
  EXPECT_FALSE(DeleteDescription(folder.dir()));
}

TEST(DeleteDescription, AnswersFalseWhereItMayNotDelete) {
  struct Case {
    const char* name;
    void (*prepare)(const TempFolder&);
  };
  const Case cases[] = {
      {"folder_of_that_name", [](const TempFolder& f) { MakeFolder(f.path("program.desc")); }},
      {"read_only_file",
       [](const TempFolder& f) {
         WithBothFiles(f);
         SetMode(f.path("program.desc"), 0444);
       }},
      {"read_only_folder",
       [](const TempFolder& f) {
         WithBothFiles(f);
         SetMode(f.dir(), 0555);
       }},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    c.prepare(folder);
    const std::string dir = folder.dir();
    EXPECT_EQ(RunAsOrdinaryUser([&] { return DeleteDescription(dir) ? "deleted" : "kept"; }), "kept") << c.name;
    EXPECT_TRUE(Exists(folder.path("program.desc"))) << c.name;
  }
  EXPECT_FALSE(DeleteDescription("relative/"));
}

}  // namespace
}  // namespace store::testing
