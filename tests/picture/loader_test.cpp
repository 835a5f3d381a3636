#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "image_files.h"
#include "picture/picture.h"
#include "picture/picture_loader.h"
#include "picture/source.h"

using namespace picture_test;

namespace {

struct ExtensionCase {
  const char* path;
  const char* extension;
};

const ExtensionCase kExtensions[] = {
    {"shot.jpg", ".JPG"},      {"a.b.gif", ".GIF"},           {"name.", "."},
    {".gif", ".GIF"},          {"noext", ""},                 {"/my.pics/readme", ""},
    {"photo.Jpeg", ".JPEG"},   {"dir/logo.ico", ".ICO"},      {"a.gif.txt", ".TXT"},
};

TEST(Loader, UpperExtension) {
  for (const ExtensionCase& c : kExtensions) EXPECT_EQ(picture::UpperExtension(c.path), c.extension) << c.path;
}

TEST(Loader, MissingFileNamesTheAbsolutePathAndTheReason) {
  ScratchFolder folder;
  const std::string path = folder.path("missing.bmp");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(path); }),
            "Cannot open file \"" + path + "\". No such file or directory");
}

TEST(Loader, RelativePathIsShownAbsolute) {
  ScratchFolder folder;
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(folder.path(""));
  const std::string message = MessageOf([] { picture::LoadPicture("sub/../none.gif"); });
  std::filesystem::current_path(old);
  EXPECT_EQ(message, "Cannot open file \"" + folder.path("none.gif") + "\". No such file or directory");
}

TEST(Loader, FolderIsNotAPicture) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.path("pics.jpg"));
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.path("pics.jpg")); }),
            "Cannot open file \"" + folder.path("pics.jpg") + "\". Is a directory");
}

TEST(Loader, ReasonLosesTrailingBlanksControlsAndFullStops) {
  EXPECT_EQ(picture::TrimReason("The system cannot find the file specified.\r\n"),
            "The system cannot find the file specified");
  EXPECT_EQ(picture::TrimReason("Access is denied. . \t"), "Access is denied");
  EXPECT_EQ(picture::TrimReason("v1.2 failed"), "v1.2 failed");
}

TEST(Loader, ExtensionChoosesTheDecoderNotTheContent) {
  ScratchFolder folder;
  const Bytes bitmap = MakeBitmap([] {
    BitmapSpec s;
    s.width = 2;
    s.height = 2;
    s.pixel = [](int, int) { return qRgb(1, 2, 3); };
    return s;
  }());
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("shot.bmp", bitmap)); }), "");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("shot.BMP", bitmap)); }), "");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("shot.jpg", bitmap)); }), "JPEG error #53");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("shot.gif", bitmap)); }),
            "Неизвестная версия изображения GIF");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("shot.ico", bitmap)); }), "Icon image is not valid");
}

TEST(Loader, MetafilesAreRefusedAfterOpening) {
  ScratchFolder folder;
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("m.wmf", Bytes(200, 0))); }), "Metafile is not valid");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("m.EMF", Bytes(200, 0))); }), "Metafile is not valid");
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.path("none.wmf")); }),
            "Cannot open file \"" + folder.path("none.wmf") + "\". No such file or directory");
}

TEST(Loader, OtherExtensionsAreNotPictures) {
  ScratchFolder folder;
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(folder.write("photo.png", Bytes(10, 0))); }),
            "Unknown picture file extension (.PNG)");
}

TEST(Loader, EmptyPictureDrawsNothing) {
  ScratchFolder folder;
  picture::Picture picture = picture::LoadPicture(folder.write("empty.gif", {}));
  EXPECT_TRUE(picture.isEmpty());
  EXPECT_EQ(picture.naturalSize(), QSize(0, 0));
  const QImage drawn = Render(picture, QRect(0, 0, 271, 186));
  EXPECT_EQ(drawn.pixel(135, 93), 0xFFFF00FFu);
  picture::Picture none;
  EXPECT_TRUE(none.isEmpty());
  EXPECT_FALSE(none.isIcon());
}

}  // namespace
