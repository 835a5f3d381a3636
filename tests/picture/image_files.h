// Small picture files made by the tests: writers for each format, and a
// scratch folder to keep them in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QRgb>

#include "picture/picture.h"

namespace picture_test {

using Bytes = std::vector<unsigned char>;

// A folder of its own for each test, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  // Writes `bytes` to a file of that name in the folder; gives its path.
  std::string write(const std::string& name, const Bytes& bytes) const;
  std::string path(const std::string& name) const;

 private:
  std::string folder_;
};

// Little-endian writer.
struct Writer {
  Bytes bytes;
  Writer& u8(unsigned v);
  Writer& u16(unsigned v);
  Writer& u32(std::uint32_t v);
  Writer& raw(const Bytes& b);
  Writer& text(const std::string& s);
};

// A .BMP file: a 40-byte (or `headerSize`) info header, palette and pixels,
// made by the caller's row writer. Rows are given top to bottom and stored
// bottom-up unless `topDown`.
struct BitmapSpec {
  int width = 0, height = 0, bits = 24;
  std::uint32_t compression = 0;
  bool topDown = false;
  int headerSize = 40;
  std::vector<QRgb> palette;
  std::vector<std::uint32_t> masks;  // written after a 40-byte header, or inside a larger one
  // The colour or index of pixel (x, y); for 16 and 32 bits the raw value.
  std::function<std::uint32_t(int x, int y)> pixel;
};
Bytes MakeBitmap(const BitmapSpec& spec);
// A .BMP file around already encoded pixel bytes (RLE).
Bytes MakeBitmapWithData(const BitmapSpec& spec, const Bytes& pixels);

// An icon entry: a DIB of `image` (at `bits`, with its AND mask), or a PNG.
struct IconImage {
  int width = 32, height = 32, bits = 32;
  bool png = false;
  std::function<QRgb(int x, int y)> pixel;       // for 32 bits, with alpha
  std::function<bool(int x, int y)> transparent;  // AND mask bit
};
Bytes MakeIcon(const std::vector<IconImage>& images, int type = 1);

// A GIF of one or more images (indices from `index`), written by giflib.
struct GifImage {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlace = false;
  std::vector<QRgb> localPalette;
  std::function<int(int x, int y)> index;
};
Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<QRgb>& globalPalette,
              const std::vector<GifImage>& images, int transparentIndex = -1);

// A JPEG of `width` x `height` written by libjpeg.
enum class JpegKind { Grey, Rgb, Progressive, Arithmetic, Cmyk };
Bytes MakeJpeg(int width, int height, JpegKind kind, const std::function<QRgb(int x, int y)>& pixel,
               int quality = 95);
// Streams a JPEG straight to a file, row by row (for the very large ones).
void WriteJpegFile(const std::string& path, int width, int height, JpegKind kind,
                   const std::function<QRgb(int x, int y)>& pixel, int quality = 75);

// Draws `picture` into a 271 x 186 image filled with `background`.
QImage Render(picture::Picture& picture, const QRect& target, QRgb background = 0xFFFF00FFu,
              QSize canvas = QSize(271, 186));

// The message of the Error that `action` raises, or "" when it raises none.
std::string MessageOf(const std::function<void()>& action);

// Colours close enough for lossy formats.
bool Near(QRgb a, QRgb b, int tolerance);

}  // namespace picture_test

namespace picture_test {
// Draws like Render, and gives the message of an Error that the draw raised
// ("" when none) together with what was drawn.
QImage RenderCatching(picture::Picture& picture, const QRect& target, std::string& message,
                      QRgb background = 0xFFFF00FFu, QSize canvas = QSize(271, 186));
}  // namespace picture_test
