#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);
const std::vector<QRgb> kPalette = {kRed, kGreen, kBlue, kWhite};

struct PixelCheck {
  int x, y;
  QRgb colour;
};

struct GifCase {
  const char* name;
  std::function<Bytes()> make;
  std::string message;
  QSize size;
  std::vector<PixelCheck> pixels;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const GifCase& c, std::ostream* os) { *os << c.name; }


GifImage Image(int w, int h, std::function<int(int, int)> index, bool interlace = false) {
  GifImage i;
  i.width = w;
  i.height = h;
  i.interlace = interlace;
  i.index = std::move(index);
  return i;
}

// Rows coloured by row number: red, green, blue, white, red, ...
int ByRow(int, int y) { return y % 4; }

int Noise(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  return static_cast<int>((h >> 15) & 3);
}

Bytes Simple() { return MakeGif(4, 3, kPalette, {Image(4, 3, [](int x, int) { return x; })}); }

Bytes WithSignature(Bytes b, const char* signature) {
  for (int i = 0; i < 6; ++i) b[static_cast<std::size_t>(i)] = static_cast<unsigned char>(signature[i]);
  return b;
}

// The simple GIF with an extension block of `label` put in before its image.
Bytes WithExtension(unsigned label) {
  Bytes b = Simple();
  const std::size_t afterTable = 13 + 3 * 4;
  Bytes block = {0x21, static_cast<unsigned char>(label), 2, 'h', 'i', 0};
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(afterTable), block.begin(), block.end());
  return b;
}

Bytes Cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}

Bytes WithScreen(Bytes b, unsigned w, unsigned h) {
  b[6] = w & 0xFF;
  b[7] = static_cast<unsigned char>(w >> 8);
  b[8] = h & 0xFF;
  b[9] = static_cast<unsigned char>(h >> 8);
  return b;
}

const std::vector<PixelCheck> kSimpleChecks = {{0, 0, kRed}, {1, 1, kGreen}, {2, 2, kBlue}, {3, 0, kWhite}};

const GifCase kCases[] = {
    {"simple", Simple, "", {4, 3}, kSimpleChecks},
    {"version_87a", [] { return WithSignature(Simple(), "GIF87a"); }, "", {4, 3}, kSimpleChecks},
    {"lower_case_signature", [] { return WithSignature(Simple(), "gif89a"); }, "", {4, 3}, kSimpleChecks},
    {"mixed_case_signature", [] { return WithSignature(Simple(), "GiF87A"); }, "", {4, 3}, kSimpleChecks},
    {"version_88a", [] { return WithSignature(Simple(), "GIF88a"); }, "Неизвестная версия изображения GIF", {}, {}},
    {"not_a_gif", [] { return WithSignature(Simple(), "JFIF89"); }, "Неизвестная версия изображения GIF", {}, {}},
    {"local_palette_wins",
     [] {
       GifImage i = Image(2, 1, [](int x, int) { return x; });
       i.localPalette = {kBlue, kWhite};
       return MakeGif(2, 1, kPalette, {i});
     },
     "", {2, 1}, {{0, 0, kBlue}, {1, 0, kWhite}}},
    {"interlaced_rows_in_place", [] { return MakeGif(3, 11, kPalette, {Image(3, 11, ByRow, true)}); }, "", {3, 11},
     {{0, 0, kRed}, {0, 1, kGreen}, {1, 2, kBlue}, {2, 3, kWhite}, {0, 4, kRed}, {0, 9, kGreen}, {0, 10, kBlue}}},
    {"transparent_index_is_painted", [] { return MakeGif(4, 3, kPalette, {Image(4, 3, [](int x, int) { return x; })}, 2); },
     "", {4, 3}, kSimpleChecks},
    {"first_image_only_without_offset",
     [] {
       GifImage first = Image(2, 2, [](int, int) { return 1; });
       first.left = 5;
       first.top = 6;
       GifImage second = Image(8, 8, [](int, int) { return 2; });
       return MakeGif(20, 20, kPalette, {first, second});
     },
     "", {2, 2}, {{0, 0, kGreen}, {1, 1, kGreen}}},
    {"graphic_control_extension", [] { return WithExtension(0xF9); }, "", {4, 3}, kSimpleChecks},
    {"comment_extension", [] { return WithExtension(0xFE); }, "", {4, 3}, kSimpleChecks},
    {"plain_text_extension", [] { return WithExtension(0x01); }, "", {4, 3}, kSimpleChecks},
    {"application_extension", [] { return WithExtension(0xFF); }, "", {4, 3}, kSimpleChecks},
    {"undefined_extension", [] { return WithExtension(0x42); }, "Неопределенное расширение GIF: 42", {}, {}},
    {"undefined_extension_lower_case_hex", [] { return WithExtension(0xAB); }, "Неопределенное расширение GIF: ab", {}, {}},
    {"undefined_extension_cut_after_label", [] { return Cut(WithExtension(0x0C), 13 + 12 + 2); },
     "Неопределенное расширение GIF: 0c", {}, {}},
    {"zero_bytes_is_empty", [] { return Bytes{}; }, "", {0, 0}, {}},
    {"cut_in_signature", [] { return Cut(Simple(), 3); }, "Stream read error", {}, {}},
    {"cut_in_screen", [] { return Cut(Simple(), 10); }, "Stream read error", {}, {}},
    {"cut_in_global_table", [] { return Cut(Simple(), 13 + 5); }, "Stream read error", {}, {}},
    {"cut_in_image_descriptor", [] { return Cut(Simple(), 13 + 12 + 4); }, "Stream read error", {}, {}},
    {"cut_in_local_table",
     [] {
       GifImage i = Image(2, 1, [](int x, int) { return x; });
       i.localPalette = {kBlue, kWhite};
       return Cut(MakeGif(2, 1, kPalette, {i}), 13 + 12 + 10 + 3);
     },
     "Stream read error", {}, {}},
    {"no_image_is_empty", [] { return Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}; }, "", {0, 0}, {}},
    {"damaged_data_shows_decoded_rows",
     [] {
       // Noise compresses poorly, so cutting the data halfway leaves whole
       // data blocks for the first rows.
       Bytes b = MakeGif(64, 256, kPalette, {Image(64, 256, Noise)});
       return Cut(b, b.size() / 2);
     },
     "", {64, 256}, {{0, 0, kPalette[Noise(0, 0)]}, {5, 0, kPalette[Noise(5, 0)]}, {1, 1, kPalette[Noise(1, 1)]},
                     {10, 3, kPalette[Noise(10, 3)]}, {63, 7, kPalette[Noise(63, 7)]}}},
    {"screen_claims_65535_around_small_image", [] { return WithScreen(Simple(), 65535, 65535); }, "", {4, 3}, kSimpleChecks},
};

class Gifs : public ::testing::TestWithParam<GifCase> {};

TEST_P(Gifs, DecodeAsExpected) {
  const GifCase& c = GetParam();
  ScratchFolder folder;
  const std::string path = folder.write("case.gif", c.make());
  picture::Picture picture;
  ASSERT_EQ(MessageOf([&] { picture = picture::LoadPicture(path); }), c.message);
  if (!c.message.empty()) return;
  EXPECT_EQ(picture.naturalSize(), c.size);
  EXPECT_EQ(picture.isEmpty(), c.size.isEmpty());
  if (c.size.isEmpty()) return;
  const QImage drawn = Render(picture, QRect(QPoint(0, 0), c.size), 0xFFFF00FFu, c.size);
  for (const PixelCheck& p : c.pixels)
    EXPECT_EQ(drawn.pixel(p.x, p.y), p.colour) << "pixel " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Table, Gifs, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
