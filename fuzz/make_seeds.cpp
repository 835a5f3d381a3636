// Writes the fuzzers' seed corpora: small valid files of each format made by
// the tests' own writers, covering the decoders' main paths.
//   make_seeds <folder>   creates <folder>/{bmp,ico,gif,jpeg}/
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "image_files.h"

using namespace picture_test;

namespace {

std::filesystem::path gRoot;

void Put(const std::string& format, const std::string& name, const Bytes& bytes) {
  const auto folder = gRoot / format;
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

QRgb Pattern(int x, int y) { return qRgb((x * 40) & 255, (y * 60) & 255, ((x + y) * 25) & 255); }

BitmapSpec Spec(int w, int h, int bits, std::uint32_t compression = 0) {
  BitmapSpec s;
  s.width = w;
  s.height = h;
  s.bits = bits;
  s.compression = compression;
  if (bits <= 8)
    for (int i = 0; i < (1 << bits); ++i) s.palette.push_back(qRgb(i * 255 >> bits, 255 - (i * 255 >> bits), i * 37 & 255));
  s.pixel = [bits](int x, int y) -> std::uint32_t {
    if (bits <= 8) return static_cast<std::uint32_t>(x + y) & ((1u << bits) - 1);
    if (bits == 16) return static_cast<std::uint32_t>(x * 1057 + y * 31) & 0xFFFF;
    return Pattern(x, y);
  };
  return s;
}

void Bitmaps() {
  for (int bits : {1, 4, 8, 16, 24, 32}) Put("bmp", "rgb" + std::to_string(bits) + ".bmp", MakeBitmap(Spec(7, 5, bits)));
  BitmapSpec top = Spec(6, 4, 24);
  top.topDown = true;
  Put("bmp", "topdown.bmp", MakeBitmap(top));
  BitmapSpec core = Spec(5, 3, 8);
  core.headerSize = 12;
  Put("bmp", "core.bmp", MakeBitmap(core));
  BitmapSpec fields = Spec(5, 3, 16, 3);
  fields.masks = {0xF800, 0x07E0, 0x001F};
  Put("bmp", "bitfields565.bmp", MakeBitmap(fields));
  BitmapSpec v5 = Spec(5, 3, 32, 3);
  v5.headerSize = 124;
  v5.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
  Put("bmp", "v5.bmp", MakeBitmap(v5));
  BitmapSpec v4 = Spec(5, 3, 24);
  v4.headerSize = 108;
  Put("bmp", "v4.bmp", MakeBitmap(v4));
  Put("bmp", "rle8.bmp", MakeBitmapWithData(Spec(6, 4, 8, 1), {4, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 0, 6, 5, 0, 1}));
  Put("bmp", "rle4.bmp", MakeBitmapWithData(Spec(6, 3, 4, 2), {5, 0x12, 0, 0, 0, 3, 0x33, 0x10, 0, 0, 0, 2, 1, 0, 2, 0x45, 0, 1}));
}

void Icons() {
  auto solid = [](int side, int bits, bool png) {
    IconImage i;
    i.width = i.height = side;
    i.bits = bits;
    i.png = png;
    i.pixel = [](int x, int y) { return Pattern(x, y) | 0xFF000000u; };
    i.transparent = [](int x, int y) { return (x ^ y) & 4; };
    return i;
  };
  Put("ico", "single32.ico", MakeIcon({solid(8, 32, false)}));
  Put("ico", "three.ico", MakeIcon({solid(4, 8, false), solid(8, 24, false), solid(6, 32, false)}));
  Put("ico", "png.ico", MakeIcon({solid(5, 32, true)}));
}

void Gifs() {
  const std::vector<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
  auto image = [](int w, int h, bool interlace) {
    GifImage i;
    i.width = w;
    i.height = h;
    i.interlace = interlace;
    i.index = [](int x, int y) { return (x * 3 + y * 5 + x * y) & 3; };
    return i;
  };
  Put("gif", "plain.gif", MakeGif(9, 7, palette, {image(9, 7, false)}));
  Put("gif", "interlaced.gif", MakeGif(9, 11, palette, {image(9, 11, true)}));
  Put("gif", "transparent.gif", MakeGif(9, 7, palette, {image(9, 7, false)}, 1));
  GifImage local = image(5, 4, false);
  local.localPalette = {qRgb(1, 2, 3), qRgb(4, 5, 6)};
  local.left = 2;
  local.top = 3;
  Put("gif", "two_images.gif", MakeGif(12, 12, palette, {local, image(12, 12, false)}));
  Bytes withComment = MakeGif(4, 4, palette, {image(4, 4, false)});
  const Bytes comment = {0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  withComment.insert(withComment.begin() + 13 + 12, comment.begin(), comment.end());
  Put("gif", "extensions.gif", withComment);
}

void Jpegs() {
  auto pattern = [](int x, int y) { return Pattern(x / 2, y / 2); };
  Put("jpeg", "grey.jpg", MakeJpeg(17, 9, JpegKind::Grey, pattern, 80));
  Put("jpeg", "rgb.jpg", MakeJpeg(17, 9, JpegKind::Rgb, pattern, 80));
  Put("jpeg", "progressive.jpg", MakeJpeg(17, 9, JpegKind::Progressive, pattern, 80));
  Put("jpeg", "arithmetic.jpg", MakeJpeg(17, 9, JpegKind::Arithmetic, pattern, 80));
  Put("jpeg", "cmyk.jpg", MakeJpeg(17, 9, JpegKind::Cmyk, pattern, 80));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <folder>\n");
    return 2;
  }
  gRoot = argv[1];
  Bitmaps();
  Icons();
  Gifs();
  Jpegs();
  return 0;
}
