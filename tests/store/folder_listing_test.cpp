// The lists of a folder's files offered for the file to launch and the
// illustration.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/store.h"
#include "test_folder.h"

namespace store::testing {
namespace {

using Names = std::vector<std::string>;

TEST(IsImageFile, LooksAtTheLastComponentsExtensionOnly) {
  const std::pair<const char*, bool> cases[] = {
      {"shot.jpg", true},         {"shot.JPG", true},        {"photo.Jpeg", true},  {"logo.ico", true},
      {"a.b.gif", true},          {".gif", true},            {"pic.bmp", true},     {"clip.wmf", true},
      {"clip.EMF", true},         {"/my.pics/shot.jpeg", true},
      {"photo.jpe", false},       {"photo.png", false},      {"photo.tif", false},  {"photo.dib", false},
      {"name.", false},           {"noextension", false},    {"a.gif.txt", false},  {"/pics.gif/readme", false},
      {"/pics.gif/", false},      {"", false},               {"shot.jpgx", false},  {"shot.jp", false},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(IsImageFile(name), expected) << name;
}

TEST(ImageExtensions, AreTheSevenIllustrationFormats) {
  EXPECT_EQ(Names(ImageExtensions.begin(), ImageExtensions.end()),
            (Names{".BMP", ".ICO", ".WMF", ".EMF", ".GIF", ".JPG", ".JPEG"}));
}

class ListFolderFilesTest : public ::testing::Test {
 protected:
  void File(const std::string& name) { WriteBytes(folder_.path(name), "x"); }
  Names List(bool imagesOnly) { return ListFolderFiles(folder_.dir() + "program.desc", imagesOnly); }
  TempFolder folder_;
};

TEST_F(ListFolderFilesTest, LeavesOutFoldersAndTheDescriptionFiles) {
  for (const char* name : {"setup.exe", "readme.txt", "shot.JPG", "program.desc", "memo.desc", "PROGRAM.DESC",
                           "Memo.desc", ".hidden", "Thumbs.db"}) {
    File(name);
  }
  for (const char* name : {"data", "pics.jpg", ".hidden-folder.gif"}) MakeFolder(folder_.path(name));
  SetMode(folder_.path("pics.jpg"), 0555);
  EXPECT_EQ(List(false), (Names{".hidden", "Memo.desc", "PROGRAM.DESC", "readme.txt", "setup.exe", "shot.JPG",
                                "Thumbs.db"}));
  EXPECT_EQ(List(true), (Names{"shot.JPG"}));
}

TEST_F(ListFolderFilesTest, SortsByNameIgnoringAsciiLetterCase) {
  for (const char* name : {"b.gif", "A.gif", "_x.gif", "a1.gif", "B2.gif", "a.gif", "\xD0\xAF.gif", "1.gif"}) {
    File(name);
  }
  // Letters compare as upper case, so '_' (after 'Z') follows them; names
  // that differ only in case (impossible on Windows) keep byte order.
  EXPECT_EQ(List(true), (Names{"1.gif", "A.gif", "a.gif", "a1.gif", "b.gif", "B2.gif", "_x.gif", "\xD0\xAF.gif"}));
}

TEST_F(ListFolderFilesTest, FollowsLinksToTellFilesFromFolders) {
  File("target.bmp");
  MakeFolder(folder_.path("sub"));
  std::filesystem::create_symlink("target.bmp", folder_.path("link.bmp"));
  std::filesystem::create_symlink("sub", folder_.path("folderlink.bmp"));
  std::filesystem::create_symlink("nowhere", folder_.path("broken.bmp"));
  EXPECT_EQ(List(true), (Names{"broken.bmp", "link.bmp", "target.bmp"}));
}

TEST_F(ListFolderFilesTest, ListsTheFolderThatHoldsThePath) {
  MakeFolder(folder_.path("sub"));
  WriteBytes(folder_.path("sub/inner.gif"), "x");
  File("outer.gif");
  const std::pair<std::string, Names> cases[] = {
      {folder_.dir() + "sub/program.desc", {"inner.gif"}},
      {folder_.dir() + "sub/", {"inner.gif"}},
      {folder_.dir() + "sub", {"outer.gif"}},
      {folder_.dir() + "gone/program.desc", {}},
      {"sub/program.desc", {}},
      {"program.desc", Names(ListFolderFiles("/", false))},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(ListFolderFiles(path, false), expected) << path;
}

TEST_F(ListFolderFilesTest, EmptyForAFolderWithoutPlainFiles) {
  File("program.desc");
  File("memo.desc");
  MakeFolder(folder_.path("only-a-folder"));
  EXPECT_EQ(List(false), Names{});
  EXPECT_EQ(List(true), Names{});
}

}  // namespace
}  // namespace store::testing
