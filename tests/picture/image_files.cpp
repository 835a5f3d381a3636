#include "image_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <QBuffer>
#include <QPainter>

#include <gif_lib.h>
#include <jpeglib.h>

namespace picture_test {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "picture-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string ScratchFolder::path(const std::string& name) const { return folder_ + "/" + name; }

std::string ScratchFolder::write(const std::string& name, const Bytes& bytes) const {
  const std::string file = path(name);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file);
  return file;
}

Writer& Writer::u8(unsigned v) {
  bytes.push_back(static_cast<unsigned char>(v));
  return *this;
}
Writer& Writer::u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
Writer& Writer::u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
Writer& Writer::raw(const Bytes& b) {
  bytes.insert(bytes.end(), b.begin(), b.end());
  return *this;
}
Writer& Writer::text(const std::string& s) {
  bytes.insert(bytes.end(), s.begin(), s.end());
  return *this;
}

namespace {

Bytes InfoHeader(const BitmapSpec& spec, std::uint32_t imageBytes) {
  Writer w;
  if (spec.headerSize == 12) {
    w.u32(12).u16(static_cast<unsigned>(spec.width)).u16(static_cast<unsigned>(spec.height)).u16(1).u16(
        static_cast<unsigned>(spec.bits));
  } else {
    w.u32(static_cast<std::uint32_t>(spec.headerSize))
        .u32(static_cast<std::uint32_t>(spec.width))
        .u32(static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height))
        .u16(1)
        .u16(static_cast<unsigned>(spec.bits))
        .u32(spec.compression)
        .u32(imageBytes)
        .u32(2835)
        .u32(2835)
        .u32(static_cast<std::uint32_t>(spec.palette.size()))
        .u32(0);
    while (static_cast<int>(w.bytes.size()) < spec.headerSize) {
      const std::size_t at = (w.bytes.size() - 40) / 4;
      w.u32(spec.headerSize > 40 && at < spec.masks.size() ? spec.masks[at] : 0);
    }
  }
  if (spec.headerSize == 40)
    for (std::uint32_t m : spec.masks) w.u32(m);
  for (QRgb c : spec.palette) {
    w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
    if (spec.headerSize != 12) w.u8(0);
  }
  return w.bytes;
}

Bytes Wrap(const Bytes& info, const Bytes& pixels) {
  Writer w;
  w.text("BM").u32(static_cast<std::uint32_t>(14 + info.size() + pixels.size())).u32(0).u32(
      static_cast<std::uint32_t>(14 + info.size()));
  return w.raw(info).raw(pixels).bytes;
}

// Rows of a DIB, each padded to whole 32-bit words; `pixel` gives what the
// bit depth stores.
Bytes PixelRows(int width, int height, int bits, bool topDown, const std::function<std::uint32_t(int, int)>& pixel) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  Bytes out(stride * static_cast<std::size_t>(height), 0);
  for (int r = 0; r < height; ++r) {
    const int y = topDown ? r : height - 1 - r;
    unsigned char* row = out.data() + stride * static_cast<std::size_t>(r);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = pixel(x, y);
      switch (bits) {
        case 1: row[x / 8] |= static_cast<unsigned char>((v & 1) << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<unsigned char>((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = static_cast<unsigned char>(v); break;
        case 16:
          row[2 * x] = v & 0xFF;
          row[2 * x + 1] = (v >> 8) & 0xFF;
          break;
        case 24:
          row[3 * x] = static_cast<unsigned char>(qBlue(v));
          row[3 * x + 1] = static_cast<unsigned char>(qGreen(v));
          row[3 * x + 2] = static_cast<unsigned char>(qRed(v));
          break;
        default:
          for (int i = 0; i < 4; ++i) row[4 * x + i] = (v >> (8 * i)) & 0xFF;
          break;
      }
    }
  }
  return out;
}

}  // namespace

Bytes MakeBitmap(const BitmapSpec& spec) {
  const Bytes pixels = PixelRows(spec.width, spec.height, spec.bits, spec.topDown, spec.pixel);
  return Wrap(InfoHeader(spec, static_cast<std::uint32_t>(pixels.size())), pixels);
}

Bytes MakeBitmapWithData(const BitmapSpec& spec, const Bytes& pixels) {
  return Wrap(InfoHeader(spec, static_cast<std::uint32_t>(pixels.size())), pixels);
}

namespace {

Bytes PngBytes(const IconImage& image) {
  QImage png(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) png.setPixel(x, y, image.pixel(x, y));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  png.save(&buffer, "PNG");
  return Bytes(data.begin(), data.end());
}

Bytes IconDib(const IconImage& image) {
  Writer w;
  std::vector<QRgb> palette;
  if (image.bits == 8)
    for (int i = 0; i < 256; ++i) palette.push_back(qRgb(i, i, i));
  w.u32(40).u32(static_cast<std::uint32_t>(image.width)).u32(static_cast<std::uint32_t>(2 * image.height)).u16(1).u16(
      static_cast<unsigned>(image.bits));
  w.u32(0).u32(0).u32(0).u32(0).u32(static_cast<std::uint32_t>(palette.size())).u32(0);
  for (QRgb c : palette) w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
  w.raw(PixelRows(image.width, image.height, image.bits, false, [&](int x, int y) -> std::uint32_t {
    const QRgb c = image.pixel(x, y);
    return image.bits == 8 ? static_cast<std::uint32_t>(qRed(c)) : c;
  }));
  w.raw(PixelRows(image.width, image.height, 1, false, [&](int x, int y) -> std::uint32_t {
    return image.transparent && image.transparent(x, y) ? 1 : 0;
  }));
  return w.bytes;
}

}  // namespace

Bytes MakeIcon(const std::vector<IconImage>& images, int type) {
  std::vector<Bytes> bodies;
  for (const IconImage& image : images) bodies.push_back(image.png ? PngBytes(image) : IconDib(image));
  Writer w;
  w.u16(0).u16(static_cast<unsigned>(type)).u16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    w.u8(image.width >= 256 ? 0 : static_cast<unsigned>(image.width))
        .u8(image.height >= 256 ? 0 : static_cast<unsigned>(image.height))
        .u8(0)
        .u8(0)
        .u16(1)
        .u16(static_cast<unsigned>(image.bits))
        .u32(static_cast<std::uint32_t>(bodies[i].size()))
        .u32(offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const Bytes& body : bodies) w.raw(body);
  return w.bytes;
}

namespace {

int GifWrite(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

ColorMapObject* MapOf(const std::vector<QRgb>& colours) {
  if (colours.empty()) return nullptr;
  int size = 2;
  while (size < static_cast<int>(colours.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i)
    entries[i] = GifColorType{static_cast<GifByteType>(qRed(colours[i])), static_cast<GifByteType>(qGreen(colours[i])),
                              static_cast<GifByteType>(qBlue(colours[i]))};
  return GifMakeMapObject(size, entries.data());
}

}  // namespace

Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<QRgb>& globalPalette,
              const std::vector<GifImage>& images, int transparentIndex) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, GifWrite, &error);
  if (!gif) throw std::runtime_error("EGifOpen failed");
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MapOf(globalPalette);
  EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, global);
  for (const GifImage& image : images) {
    if (transparentIndex >= 0) {
      const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(transparentIndex)};
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    ColorMapObject* local = MapOf(image.localPalette);
    EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlace, local);
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width));
    auto put = [&](int y) {
      for (int x = 0; x < image.width; ++x) line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(image.index(x, y));
      if (EGifPutLine(gif, line.data(), image.width) != GIF_OK) throw std::runtime_error("EGifPutLine failed");
    };
    if (image.interlace) {
      static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < image.height; y += step[pass]) put(y);
    } else {
      for (int y = 0; y < image.height; ++y) put(y);
    }
    if (local) GifFreeMapObject(local);
  }
  EGifCloseFile(gif, &error);
  if (global) GifFreeMapObject(global);
  return out;
}

namespace {

void Compress(jpeg_compress_struct& info, int width, int height, JpegKind kind,
              const std::function<QRgb(int, int)>& pixel, int quality) {
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  switch (kind) {
    case JpegKind::Grey:
      info.input_components = 1;
      info.in_color_space = JCS_GRAYSCALE;
      break;
    case JpegKind::Cmyk:
      info.input_components = 4;
      info.in_color_space = JCS_CMYK;
      break;
    default:
      info.input_components = 3;
      info.in_color_space = JCS_RGB;
      break;
  }
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
  if (kind == JpegKind::Arithmetic) info.arith_code = TRUE;
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * static_cast<std::size_t>(info.input_components));
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      const QRgb c = pixel(x, y);
      unsigned char* p = row.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(info.input_components);
      switch (kind) {
        case JpegKind::Grey: p[0] = static_cast<unsigned char>(qRed(c)); break;
        case JpegKind::Cmyk:  // as Adobe writes it: inverted, so C' = R with no black
          p[0] = static_cast<unsigned char>(qRed(c));
          p[1] = static_cast<unsigned char>(qGreen(c));
          p[2] = static_cast<unsigned char>(qBlue(c));
          p[3] = 255;
          break;
        default:
          p[0] = static_cast<unsigned char>(qRed(c));
          p[1] = static_cast<unsigned char>(qGreen(c));
          p[2] = static_cast<unsigned char>(qBlue(c));
          break;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
}

}  // namespace

Bytes MakeJpeg(int width, int height, JpegKind kind, const std::function<QRgb(int, int)>& pixel, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  Compress(info, width, height, kind, pixel, quality);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

void WriteJpegFile(const std::string& path, int width, int height, JpegKind kind,
                   const std::function<QRgb(int, int)>& pixel, int quality) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  Compress(info, width, height, kind, pixel, quality);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

QImage Render(picture::Picture& picture, const QRect& target, QRgb background, QSize canvas) {
  QImage image(canvas, QImage::Format_ARGB32);
  image.fill(background);
  QPainter painter(&image);
  picture.draw(painter, target);
  return image;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const picture::Error& e) {
    return e.what();
  }
  return "";
}

bool Near(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

}  // namespace picture_test

namespace picture_test {
QImage RenderCatching(picture::Picture& picture, const QRect& target, std::string& message, QRgb background,
                      QSize canvas) {
  QImage image(canvas, QImage::Format_ARGB32);
  image.fill(background);
  message.clear();
  {
    QPainter painter(&image);
    try {
      picture.draw(painter, target);
    } catch (const picture::Error& e) {
      message = e.what();
    }
  }
  return image;
}
}  // namespace picture_test
