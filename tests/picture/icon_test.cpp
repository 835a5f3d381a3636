#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

const QRgb kBackground = 0xFFFF00FFu;

IconImage Solid(int side, int bits, QRgb colour) {
  IconImage i;
  i.width = i.height = side;
  i.bits = bits;
  i.pixel = [colour](int, int) { return colour; };
  return i;
}

struct IconCase {
  const char* name;
  std::function<Bytes()> make;
  std::string message;
  QSize size;
  QRgb centre;  // the colour drawn at the image's centre over the background
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const IconCase& c, std::ostream* os) { *os << c.name; }


Bytes Cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}

const IconCase kCases[] = {
    {"single_32bit", [] { return MakeIcon({Solid(32, 32, qRgb(10, 20, 30))}); }, "", {32, 32}, qRgb(10, 20, 30)},
    {"type_zero_is_taken", [] { return MakeIcon({Solid(32, 32, qRgb(10, 20, 30))}, 0); }, "", {32, 32}, qRgb(10, 20, 30)},
    {"deepest_32x32_is_chosen",
     [] {
       return MakeIcon({Solid(16, 32, qRgb(1, 1, 1)), Solid(32, 8, qRgb(2, 2, 2)), Solid(32, 32, qRgb(200, 0, 0)),
                        Solid(48, 32, qRgb(3, 3, 3)), Solid(32, 24, qRgb(4, 4, 4))});
     },
     "", {32, 32}, qRgb(200, 0, 0)},
    {"closest_size_without_32x32", [] { return MakeIcon({Solid(64, 32, qRgb(1, 1, 1)), Solid(20, 32, qRgb(0, 200, 0))}); },
     "", {20, 20}, qRgb(0, 200, 0)},
    {"tie_in_size_takes_deeper", [] { return MakeIcon({Solid(16, 24, qRgb(1, 1, 1)), Solid(48, 32, qRgb(0, 0, 200))}); },
     "", {48, 48}, qRgb(0, 0, 200)},
    {"eight_bit_grey", [] { return MakeIcon({Solid(32, 8, qRgb(77, 77, 77))}); }, "", {32, 32}, qRgb(77, 77, 77)},
    {"png_entry",
     [] {
       IconImage i = Solid(32, 32, qRgb(0, 128, 255));
       i.png = true;
       return MakeIcon({i});
     },
     "", {32, 32}, qRgb(0, 128, 255)},
    {"and_mask_makes_holes",
     [] {
       IconImage i = Solid(32, 24, qRgb(9, 9, 9));
       i.transparent = [](int x, int y) { return x >= 8 && x < 24 && y >= 8 && y < 24; };
       return MakeIcon({i});
     },
     "", {32, 32}, kBackground},
    {"zero_alpha_falls_back_to_and_mask",
     [] {
       IconImage i = Solid(32, 32, qRgb(9, 9, 9) & 0x00FFFFFFu);
       i.transparent = [](int x, int) { return x < 4; };
       return MakeIcon({i});
     },
     "", {32, 32}, qRgb(9, 9, 9)},
    {"type_two_is_refused", [] { return MakeIcon({Solid(32, 32, 0xFF000000u)}, 2); }, "Icon image is not valid", {}, 0},
    {"no_entries", [] { return Bytes{0, 0, 1, 0, 0, 0}; }, "Icon image is not valid", {}, 0},
    {"bad_image_header",
     [] {
       Bytes b = MakeIcon({Solid(32, 32, 0xFF000000u)});
       b[6 + 16] = 99;
       return b;
     },
     "Icon image is not valid", {}, 0},
    {"pixels_past_the_entry",
     [] {
       Bytes b = MakeIcon({Solid(32, 32, 0xFF000000u)});
       b[6 + 8] = 60;  // the entry claims 60 bytes: the header, not the pixels
       b[6 + 9] = 0;
       return b;
     },
     "Icon image is not valid", {}, 0},
    {"zero_bytes", [] { return Bytes{}; }, "Stream read error", {}, 0},
    {"cut_in_header", [] { return Bytes{0, 0, 1}; }, "Stream read error", {}, 0},
    {"cut_in_directory", [] { return Cut(MakeIcon({Solid(32, 32, 0xFF000000u)}), 6 + 10); }, "Stream read error", {}, 0},
    {"cut_in_image", [] { return Cut(MakeIcon({Solid(32, 32, 0xFF000000u)}), 6 + 16 + 100); }, "Stream read error", {}, 0},
};

class Icons : public ::testing::TestWithParam<IconCase> {};

TEST_P(Icons, DecodeAsExpected) {
  const IconCase& c = GetParam();
  ScratchFolder folder;
  const std::string path = folder.write("case.ico", c.make());
  picture::Picture picture;
  ASSERT_EQ(MessageOf([&] { picture = picture::LoadPicture(path); }), c.message);
  if (!c.message.empty()) return;
  EXPECT_TRUE(picture.isIcon());
  EXPECT_EQ(picture.naturalSize(), c.size);
  const QImage drawn = Render(picture, QRect(QPoint(0, 0), c.size), kBackground, c.size);
  EXPECT_EQ(drawn.pixel(c.size.width() / 2, c.size.height() / 2), c.centre);
}

INSTANTIATE_TEST_SUITE_P(Table, Icons, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IconDrawing, AtItsOwnSizeAtTheTargetsTopLeft) {
  ScratchFolder folder;
  const std::string path = folder.write("i.ico", MakeIcon({Solid(32, 32, qRgb(0, 0, 255))}));
  picture::Picture picture = picture::LoadPicture(path);
  const QRect place = picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
  EXPECT_EQ(place.topLeft(), QPoint(119, 77));
  // A target larger than the icon does not stretch it.
  const QImage drawn = Render(picture, QRect(119, 77, 100, 100));
  EXPECT_EQ(drawn.pixel(119, 77), qRgb(0, 0, 255));
  EXPECT_EQ(drawn.pixel(150, 108), qRgb(0, 0, 255));
  EXPECT_EQ(drawn.pixel(151, 77), kBackground);
  EXPECT_EQ(drawn.pixel(119, 109), kBackground);
  EXPECT_EQ(drawn.pixel(118, 77), kBackground);
}

TEST(IconDrawing, AndMaskShowsTheBackground) {
  ScratchFolder folder;
  IconImage i = Solid(32, 24, qRgb(9, 9, 9));
  i.transparent = [](int x, int) { return x < 16; };
  picture::Picture picture = picture::LoadPicture(folder.write("m.ico", MakeIcon({i})));
  const QImage drawn = Render(picture, QRect(0, 0, 32, 32));
  EXPECT_EQ(drawn.pixel(3, 5), kBackground);
  EXPECT_EQ(drawn.pixel(20, 5), qRgb(9, 9, 9));
}

}  // namespace
