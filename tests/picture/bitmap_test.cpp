#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

struct PixelCheck {
  int x, y;
  QRgb colour;
};

struct BitmapCase {
  const char* name;
  std::function<Bytes()> make;
  std::string message;  // "" when it loads
  QSize size;
  std::vector<PixelCheck> pixels;  // of the picture drawn at its own size
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const BitmapCase& c, std::ostream* os) { *os << c.name; }


const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255),
           kBlack = qRgb(0, 0, 0);

// 3 x 2: top row red, green, blue; bottom row white, black, red.
QRgb Sample3x2(int x, int y) {
  static const QRgb colours[2][3] = {{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
                                     {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0)}};
  return colours[y][x];
}

const std::vector<PixelCheck> k3x2Checks = {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {0, 1, kWhite},
                                            {1, 1, kBlack}, {2, 1, kRed}};

BitmapSpec Spec(int width, int height, int bits, std::function<std::uint32_t(int, int)> pixel) {
  BitmapSpec s;
  s.width = width;
  s.height = height;
  s.bits = bits;
  s.pixel = std::move(pixel);
  return s;
}

Bytes Rgb24(bool topDown) {
  BitmapSpec s = Spec(3, 2, 24, Sample3x2);
  s.topDown = topDown;
  return MakeBitmap(s);
}

Bytes Indexed(int bits, int headerSize = 40) {
  BitmapSpec s = Spec(3, 2, bits, [bits](int x, int y) -> std::uint32_t { return static_cast<std::uint32_t>(y * 3 + x) % (bits == 1 ? 2 : 6); });
  s.headerSize = headerSize;
  s.palette = bits == 1 ? std::vector<QRgb>{kRed, kGreen} : std::vector<QRgb>{kRed, kGreen, kBlue, kWhite, kBlack, kRed};
  // The OS/2 header has no count of colours: its table is always full.
  if (headerSize == 12) s.palette.resize(std::size_t{1} << bits, kBlack);
  return MakeBitmap(s);
}

std::uint32_t To565(QRgb c) {
  return static_cast<std::uint32_t>((qRed(c) >> 3) << 11 | (qGreen(c) >> 2) << 5 | (qBlue(c) >> 3));
}
std::uint32_t To555(QRgb c) {
  return static_cast<std::uint32_t>((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3));
}

// RLE8 of 4 x 3: row 0 (bottom) = run of 4 x index 1; row 1 = absolute 2,1,2; row 2 = delta past two pixels, then 2.
Bytes Rle8Pixels() {
  return {4, 1, 0, 0,              // bottom row: four of index 1
          0, 3, 2, 1, 2, 0, 0, 0,  // absolute 2 1 2 (padded), end of line
          0, 2, 2, 0, 1, 2,        // delta right 2, then one of index 2
          0, 1};                   // end of bitmap
}

BitmapSpec RleSpec(int width, int height, int bits, std::uint32_t compression) {
  BitmapSpec s = Spec(width, height, bits, nullptr);
  s.compression = compression;
  s.palette = {kBlack, kRed, kGreen, kBlue};
  return s;
}

Bytes Cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}

Bytes WithHeaderField(Bytes b, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
  return b;
}

const BitmapCase kCases[] = {
    {"rgb24_bottom_up", [] { return Rgb24(false); }, "", {3, 2}, k3x2Checks},
    {"rgb24_top_down", [] { return Rgb24(true); }, "", {3, 2}, k3x2Checks},
    {"indexed1", [] { return Indexed(1); }, "", {3, 2}, {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kRed}, {0, 1, kGreen}}},
    {"indexed4", [] { return Indexed(4); }, "", {3, 2}, k3x2Checks},
    {"indexed8", [] { return Indexed(8); }, "", {3, 2}, k3x2Checks},
    {"os2_core_header", [] { return Indexed(8, 12); }, "", {3, 2}, k3x2Checks},
    {"index_past_palette_is_black",
     [] {
       BitmapSpec s = Spec(2, 1, 8, [](int x, int) -> std::uint32_t { return x ? 200 : 1; });
       s.palette = {kRed, kGreen};
       return MakeBitmap(s);
     },
     "", {2, 1}, {{0, 0, kGreen}, {1, 0, kBlack}}},
    {"rgb16_default_555", [] { return MakeBitmap(Spec(3, 2, 16, [](int x, int y) { return To555(Sample3x2(x, y)); })); },
     "", {3, 2}, k3x2Checks},
    {"rgb16_bitfields_565",
     [] {
       BitmapSpec s = Spec(3, 2, 16, [](int x, int y) { return To565(Sample3x2(x, y)); });
       s.compression = 3;
       s.masks = {0xF800, 0x07E0, 0x001F};
       return MakeBitmap(s);
     },
     "", {3, 2}, k3x2Checks},
    {"rgb32_without_masks_is_opaque",
     [] { return MakeBitmap(Spec(3, 2, 32, [](int x, int y) { return Sample3x2(x, y) & 0x00FFFFFFu; })); }, "", {3, 2},
     k3x2Checks},
    {"rgb32_v5_masks_reversed",
     [] {
       BitmapSpec s = Spec(3, 2, 32, [](int x, int y) -> std::uint32_t {
         const QRgb c = Sample3x2(x, y);
         return static_cast<std::uint32_t>(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16);
       });
       s.compression = 3;
       s.headerSize = 124;
       s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
       return MakeBitmap(s);
     },
     "", {3, 2}, k3x2Checks},
    {"rgb16_v4_masks_444",
     [] {
       BitmapSpec s = Spec(3, 2, 16, [](int x, int y) -> std::uint32_t {
         const QRgb c = Sample3x2(x, y);
         return static_cast<std::uint32_t>((qRed(c) >> 4) << 8 | (qGreen(c) >> 4) << 4 | (qBlue(c) >> 4));
       });
       s.compression = 3;
       s.headerSize = 108;
       s.masks = {0x0F00, 0x00F0, 0x000F, 0};
       return MakeBitmap(s);
     },
     "", {3, 2}, k3x2Checks},
    {"rgb32_v3_header_masks",
     [] {
       BitmapSpec s = Spec(3, 2, 32, [](int x, int y) { return Sample3x2(x, y) & 0xFFFFFFu; });
       s.compression = 3;
       s.headerSize = 56;
       s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
       return MakeBitmap(s);
     },
     "", {3, 2}, k3x2Checks},
    {"rle8", [] { return MakeBitmapWithData(RleSpec(4, 3, 8, 1), Rle8Pixels()); }, "", {4, 3},
     {{0, 2, kRed}, {3, 2, kRed}, {0, 1, kGreen}, {1, 1, kRed}, {2, 1, kGreen}, {2, 0, kGreen}, {0, 0, kBlack}}},
    {"rle4",
     [] {
       // bottom: run of 5 alternating 1,2; top: absolute 3,3,1 then end of bitmap.
       return MakeBitmapWithData(RleSpec(5, 2, 4, 2), {5, 0x12, 0, 0, 0, 3, 0x33, 0x10, 0, 1});
     },
     "", {5, 2}, {{0, 1, kRed}, {1, 1, kGreen}, {4, 1, kRed}, {0, 0, kBlue}, {1, 0, kBlue}, {2, 0, kRed}, {3, 0, kBlack}}},
    {"rle8_cut_short_keeps_decoded_rows", [] { return Cut(MakeBitmapWithData(RleSpec(4, 3, 8, 1), Rle8Pixels()), 14 + 40 + 16 + 6); },
     "", {4, 3}, {{0, 2, kRed}, {3, 2, kRed}}},
    {"rle8_runs_and_deltas_past_the_edges",
     [] {
       return MakeBitmapWithData(RleSpec(4, 3, 8, 1), {255, 1, 0, 2, 200, 0, 0, 2, 0, 200, 0, 0, 3, 1, 2, 3, 0, 0, 2, 0, 1});
     },
     "", {4, 3}, {{0, 2, kRed}, {3, 2, kRed}}},
    {"zero_bytes_is_empty", [] { return Bytes{}; }, "", {0, 0}, {}},
    {"width_zero_is_empty", [] { return MakeBitmap(Spec(0, 5, 24, Sample3x2)); }, "", {0, 0}, {}},
    {"not_bm", [] { return WithHeaderField(Rgb24(false), 0, 0x4D42 + 1); }, "Bitmap image is not valid", {}, {}},
    {"unknown_header_size", [] { return WithHeaderField(Rgb24(false), 14, 64); }, "Bitmap image is not valid", {}, {}},
    {"negative_width", [] { return WithHeaderField(Rgb24(false), 18, static_cast<std::uint32_t>(-3)); },
     "Bitmap image is not valid", {}, {}},
    {"two_bits_per_pixel", [] { return WithHeaderField(Rgb24(false), 28, 2); }, "Bitmap image is not valid", {}, {}},
    {"jpeg_compression", [] { return WithHeaderField(Rgb24(false), 30, 4); }, "Bitmap image is not valid", {}, {}},
    {"rle8_with_24_bits", [] { return WithHeaderField(Rgb24(false), 30, 1); }, "Bitmap image is not valid", {}, {}},
    {"cut_in_file_header", [] { return Cut(Rgb24(false), 10); }, "Stream read error", {}, {}},
    {"cut_in_info_header", [] { return Cut(Rgb24(false), 30); }, "Stream read error", {}, {}},
    {"cut_in_palette", [] { return Cut(Indexed(8), 14 + 40 + 10); }, "Stream read error", {}, {}},
    {"cut_in_masks", [] {
       BitmapSpec s = Spec(3, 2, 16, [](int x, int y) { return To565(Sample3x2(x, y)); });
       s.compression = 3;
       s.masks = {0xF800, 0x07E0, 0x001F};
       return Cut(MakeBitmap(s), 14 + 40 + 6);
     }, "Stream read error", {}, {}},
    {"cut_in_pixels", [] { return Cut(Rgb24(false), 14 + 40 + 20); }, "Stream read error", {}, {}},
    {"size_lie_uncompressed", [] { return WithHeaderField(WithHeaderField(Rgb24(false), 18, 60000), 22, 60000); },
     "Stream read error", {}, {}},
};

class Bitmaps : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(Bitmaps, DecodeAsExpected) {
  const BitmapCase& c = GetParam();
  ScratchFolder folder;
  const std::string path = folder.write("case.bmp", c.make());
  picture::Picture picture;
  const std::string message = MessageOf([&] { picture = picture::LoadPicture(path); });
  ASSERT_EQ(message, c.message);
  if (!c.message.empty()) return;
  EXPECT_EQ(picture.naturalSize(), c.size);
  EXPECT_FALSE(picture.isIcon());
  EXPECT_EQ(picture.isEmpty(), c.size.isEmpty());
  if (c.size.isEmpty()) return;
  const QImage drawn = Render(picture, QRect(QPoint(0, 0), c.size), 0xFFFF00FFu, c.size);
  for (const PixelCheck& p : c.pixels)
    EXPECT_EQ(drawn.pixel(p.x, p.y), p.colour) << "pixel " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Table, Bitmaps, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Shrinking samples the picture's own pixels: a picture of 1-pixel stripes
// drawn at half size shows stripes of one colour, never a blend.
TEST(BitmapDrawing, ShrinkingSamplesWithoutSmoothing) {
  ScratchFolder folder;
  const std::string path =
      folder.write("stripes.bmp", MakeBitmap(Spec(542, 372, 24, [](int x, int) { return x % 2 ? kBlue : kRed; })));
  picture::Picture picture = picture::LoadPicture(path);
  const QRect place = picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
  ASSERT_EQ(place, QRect(0, 0, 271, 186));
  const QImage drawn = Render(picture, place);
  for (int y = 0; y < 186; y += 7)
    for (int x = 0; x < 271; ++x) ASSERT_TRUE(drawn.pixel(x, y) == kBlue || drawn.pixel(x, y) == kRed) << x << "," << y;
}

// A large bitmap is kept sampled; what is drawn still shows its layout and
// only its own colours.
TEST(BitmapDrawing, LargeBitmapShowsItsQuadrants) {
  ScratchFolder folder;
  auto colour = [](int x, int y) -> std::uint32_t {
    if ((x + y) % 2) return kBlack;  // a checkerboard that any blending would turn grey
    return y < 1500 ? (x < 2000 ? kRed : kGreen) : (x < 2000 ? kBlue : kWhite);
  };
  const std::string path = folder.write("large.bmp", MakeBitmap(Spec(4000, 3000, 24, colour)));
  picture::Picture picture = picture::LoadPicture(path);
  EXPECT_EQ(picture.naturalSize(), QSize(4000, 3000));
  const QRect place = picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
  const QImage drawn = Render(picture, place);
  int coloured[4] = {0, 0, 0, 0};
  for (int y = place.top(); y <= place.bottom(); ++y)
    for (int x = place.left(); x <= place.right(); ++x) {
      const QRgb c = drawn.pixel(x, y);
      ASSERT_TRUE(c == kRed || c == kGreen || c == kBlue || c == kWhite || c == kBlack) << x << "," << y;
      const bool top = y < place.top() + place.height() / 2, left = x < place.left() + place.width() / 2;
      if (c != kBlack) {
        const QRgb expected = top ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
        if (std::abs(y - (place.top() + place.height() / 2)) > 1 && std::abs(x - (place.left() + place.width() / 2)) > 1)
          ASSERT_EQ(c, expected) << x << "," << y;
        ++coloured[(top ? 0 : 2) + (left ? 0 : 1)];
      }
    }
  for (int n : coloured) EXPECT_GT(n, 100);
}

}  // namespace
