#include "picture/dib_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "picture/messages.h"
#include "picture/picture.h"
#include "picture/raster.h"

namespace picture {

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// A row longer than this is not read whole: only the bytes of the sampled
// pixels are read, so that memory stays bounded for any width.
constexpr std::uint64_t kLargestRowRead = std::uint64_t{1} << 20;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// One colour channel of a bit-field pixel, scaled to 0..255 whatever the
// mask's width and position (even a mask with gaps gives a value in range).
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t max = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (mask) {
      shift = std::countr_zero(mask);
      max = mask >> shift;
    }
  }
  std::uint32_t operator()(std::uint32_t pixel) const {
    if (!mask) return 0;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((value * 255 + max / 2) / max);
  }
};

struct Layout {
  std::int64_t width = 0, height = 0;  // height of the image, not of the icon's XOR + AND pair
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = kRgb;
  bool masked = false;  // pixels of 16 and 32 bits read through the channels
  Channel red, green, blue, alpha;
  std::array<QRgb, 256> palette{};
  std::uint64_t stride = 0;
};

[[noreturn]] void Refuse(DibUse use) {
  throw Error(use == DibUse::Icon ? messages::IconNotValid : messages::BitmapNotValid);
}

// Reads a part that must be read whole; an icon's image lies inside its
// directory entry, so running short there means the image is not valid.
void ReadPart(Source& source, void* data, std::size_t count, DibUse use) {
  if (source.read(data, count) != count) {
    if (use == DibUse::Icon) Refuse(use);
    throw Error(messages::StreamReadError);
  }
}

// The pixel `sub` of the byte at p (1 and 4 bits) or the pixel at p.
template <int Bits>
QRgb PixelAt(const unsigned char* p, unsigned sub, const Layout& layout, bool keepAlpha) {
  if constexpr (Bits == 1) {
    return layout.palette[(*p >> (7 - sub)) & 1];
  } else if constexpr (Bits == 4) {
    return layout.palette[sub ? *p & 15 : *p >> 4];
  } else if constexpr (Bits == 8) {
    return layout.palette[*p];
  } else if constexpr (Bits == 24) {
    return qRgb(p[2], p[1], p[0]);
  } else {
    const std::uint32_t v = Bits == 16 ? U16(p) : U32(p);
    if (!layout.masked)  // 32 bits without masks: 8-8-8 with the top byte unused or alpha
      return keepAlpha ? v : (v | 0xFF000000u);
    const std::uint32_t a = keepAlpha && layout.alpha.mask ? layout.alpha(v) : 255;
    return qRgba(static_cast<int>(layout.red(v)), static_cast<int>(layout.green(v)),
                 static_cast<int>(layout.blue(v)), static_cast<int>(a));
  }
}

template <int Bits>
void ConvertRow(const unsigned char* row, const std::vector<std::int64_t>& columns, QRgb* out,
                const Layout& layout, bool keepAlpha) {
  const std::size_t n = columns.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint64_t c = static_cast<std::uint64_t>(columns[k]);
    const unsigned sub = Bits < 8 ? static_cast<unsigned>(c % (8 / Bits)) : 0;
    out[k] = PixelAt<Bits>(row + c * Bits / 8, sub, layout, keepAlpha);
  }
}

void ConvertRow(const unsigned char* row, const std::vector<std::int64_t>& columns, QRgb* out,
                const Layout& layout, bool keepAlpha) {
  switch (layout.bits) {
    case 1: return ConvertRow<1>(row, columns, out, layout, keepAlpha);
    case 4: return ConvertRow<4>(row, columns, out, layout, keepAlpha);
    case 8: return ConvertRow<8>(row, columns, out, layout, keepAlpha);
    case 16: return ConvertRow<16>(row, columns, out, layout, keepAlpha);
    case 24: return ConvertRow<24>(row, columns, out, layout, keepAlpha);
    default: return ConvertRow<32>(row, columns, out, layout, keepAlpha);
  }
}

// The row of the file that holds image row y.
std::int64_t FileRow(const Layout& layout, std::int64_t y) {
  return layout.topDown ? y : layout.height - 1 - y;
}

// Uncompressed pixels: only the rows and pixels that are kept are read.
void DecodeUncompressed(Source& source, std::uint64_t start, const Layout& layout, Raster& raster,
                        bool keepAlpha, DibUse use) {
  const auto& columns = raster.columns();
  const bool wholeRows = layout.stride <= kLargestRowRead;
  std::vector<unsigned char> row(wholeRows ? static_cast<std::size_t>(layout.stride) : 4);
  std::vector<std::int64_t> first(1);
  // Visit kept rows in file order so that reading runs forward.
  for (int i = 0; i < raster.keptHeight(); ++i) {
    const int k = layout.topDown ? i : raster.keptHeight() - 1 - i;
    const std::uint64_t rowStart =
        start + static_cast<std::uint64_t>(FileRow(layout, raster.sourceRow(k))) * layout.stride;
    if (wholeRows) {
      source.seek(rowStart);
      ReadPart(source, row.data(), row.size(), use);
      ConvertRow(row.data(), columns, raster.line(k), layout, keepAlpha);
      continue;
    }
    QRgb* out = raster.line(k);
    for (std::size_t x = 0; x < columns.size(); ++x) {
      const std::uint64_t c = static_cast<std::uint64_t>(columns[x]);
      const std::uint64_t byte = c * static_cast<unsigned>(layout.bits) / 8;
      source.seek(rowStart + byte);
      ReadPart(source, row.data(), static_cast<std::size_t>(std::max(1, layout.bits / 8)), use);
      // Present the pixel as column 0 (or its place within the byte) of a one-pixel row.
      first[0] = layout.bits < 8 ? static_cast<std::int64_t>(c % static_cast<unsigned>(8 / layout.bits)) : 0;
      ConvertRow(row.data(), first, out + x, layout, keepAlpha);
    }
  }
}

// Sequential byte reader for compressed pixels; -1 at the end.
class ByteReader {
 public:
  explicit ByteReader(Source& source) : source_(source) {}
  int next() {
    if (at_ == length_) {
      length_ = source_.read(buffer_.data(), buffer_.size());
      at_ = 0;
      if (length_ == 0) return -1;
    }
    return buffer_[at_++];
  }

 private:
  Source& source_;
  std::array<unsigned char, 1 << 15> buffer_;
  std::size_t at_ = 0, length_ = 0;
};

// RLE8 and RLE4: runs, end of line, end of bitmap, deltas and absolute runs.
// Damaged or short data end the decoding; what was decoded stays. Nothing is
// written outside the image: pixels beyond a row's end and rows beyond the
// last are dropped.
void DecodeRle(Source& source, std::uint64_t start, const Layout& layout, Raster& raster) {
  source.seek(start);
  ByteReader in(source);
  const bool four = layout.compression == kRle4;
  const auto& columns = raster.columns();
  const int keptWidth = raster.keptWidth();
  std::int64_t x = 0, fileRow = 0;
  std::array<unsigned char, 256> absolute{};

  // Puts `count` pixels from column x on: indices from `index(i)` for i = 0..count-1.
  auto put = [&](std::int64_t count, auto index) {
    const int k = raster.keptRow(layout.height - 1 - fileRow);
    if (k >= 0 && x < layout.width) {
      const std::int64_t end = std::min(x + count, layout.width);
      QRgb* out = raster.line(k);
      for (int c = raster.firstColumnFrom(x); c < keptWidth && columns[c] < end; ++c)
        out[c] = layout.palette[index(columns[c] - x)];
    }
    x += count;
  };

  while (fileRow < layout.height) {
    const int count = in.next();
    const int second = in.next();
    if (count < 0 || second < 0) return;
    if (count > 0) {
      const unsigned char value = static_cast<unsigned char>(second);
      if (four)
        put(count, [value](std::int64_t i) { return i & 1 ? value & 15 : value >> 4; });
      else
        put(count, [value](std::int64_t) { return value; });
      continue;
    }
    switch (second) {
      case 0:  // end of line
        ++fileRow;
        x = 0;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // delta
        const int dx = in.next();
        const int dy = in.next();
        if (dx < 0 || dy < 0) return;
        x += dx;
        fileRow += dy;
        break;
      }
      default: {  // absolute run of `second` pixels, padded to a whole word
        const int bytes = four ? (second + 1) / 2 : second;
        for (int i = 0; i < bytes; ++i) {
          const int b = in.next();
          if (b < 0) return;
          absolute[static_cast<std::size_t>(i)] = static_cast<unsigned char>(b);
        }
        if (bytes & 1 && in.next() < 0) return;
        if (four)
          put(second, [&absolute](std::int64_t i) {
            const unsigned char b = absolute[static_cast<std::size_t>(i / 2)];
            return i & 1 ? b & 15 : b >> 4;
          });
        else
          put(second, [&absolute](std::int64_t i) { return absolute[static_cast<std::size_t>(i)]; });
        break;
      }
    }
  }
}

// Clears the pixels whose AND-mask bit is set (icons without alpha).
void ApplyAndMask(Source& source, std::uint64_t start, const Layout& layout, Raster& raster) {
  const std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) + 31) / 32 * 4;
  std::vector<unsigned char> row(static_cast<std::size_t>(stride));
  const auto& columns = raster.columns();
  for (int k = 0; k < raster.keptHeight(); ++k) {
    source.seek(start + static_cast<std::uint64_t>(FileRow(layout, raster.sourceRow(k))) * stride);
    if (source.read(row.data(), row.size()) != row.size()) return;
    QRgb* out = raster.line(k);
    for (std::size_t x = 0; x < columns.size(); ++x) {
      const std::uint64_t c = static_cast<std::uint64_t>(columns[x]);
      out[x] = (row[c / 8] >> (7 - c % 8)) & 1 ? 0 : (out[x] | 0xFF000000u);
    }
  }
}

}  // namespace

DibImage DecodeDib(Source& source, std::uint64_t pixelOffset, DibUse use) {
  unsigned char header[124];
  ReadPart(source, header, 4, use);
  const std::uint32_t headerSize = U32(header);
  if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
      headerSize != 124)
    Refuse(use);
  ReadPart(source, header + 4, headerSize - 4, use);

  Layout layout;
  std::uint32_t colorsUsed = 0;
  const bool core = headerSize == 12;
  if (core) {
    layout.width = U16(header + 4);
    layout.height = U16(header + 6);
    layout.bits = U16(header + 10);
  } else {
    layout.width = static_cast<std::int32_t>(U32(header + 4));
    layout.height = static_cast<std::int32_t>(U32(header + 8));
    layout.bits = U16(header + 14);
    layout.compression = U32(header + 16);
    colorsUsed = U32(header + 32);
  }
  if (layout.width < 0) Refuse(use);
  if (layout.height < 0) {
    layout.topDown = true;
    layout.height = -layout.height;
  }
  if (use == DibUse::Icon) {
    // An icon's header counts the rows of its colour image and its AND mask.
    layout.height /= 2;
  }
  const int bits = layout.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) Refuse(use);
  switch (layout.compression) {
    case kRgb: break;
    case kRle8:
    case kRle4:
      if (bits != (layout.compression == kRle8 ? 8 : 4) || layout.topDown || use == DibUse::Icon) Refuse(use);
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (bits != 16 && bits != 32) Refuse(use);
      break;
    default: Refuse(use);
  }
  if (layout.width == 0 || layout.height == 0) return {};

  // Bit-field masks: inside the larger headers, else right after the header.
  if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
    std::uint32_t masks[4] = {0, 0, 0, 0};
    if (headerSize >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = U32(header + 40 + 4 * i);
      if (headerSize >= 56) masks[3] = U32(header + 52);
    } else {
      const int count = layout.compression == kAlphaBitFields ? 4 : 3;
      unsigned char bytes[16];
      ReadPart(source, bytes, static_cast<std::size_t>(4 * count), use);
      for (int i = 0; i < count; ++i) masks[i] = U32(bytes + 4 * i);
    }
    layout.masked = true;
    layout.red = Channel(masks[0]);
    layout.green = Channel(masks[1]);
    layout.blue = Channel(masks[2]);
    layout.alpha = Channel(masks[3]);
  } else if (bits == 16) {
    layout.masked = true;  // 5-5-5
    layout.red = Channel(0x7C00);
    layout.green = Channel(0x03E0);
    layout.blue = Channel(0x001F);
  }

  // The colour table; indices past it show black.
  layout.palette.fill(qRgb(0, 0, 0));
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    const std::uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    const int entry = core ? 3 : 4;
    unsigned char table[256 * 4];
    ReadPart(source, table, count * static_cast<std::uint32_t>(entry), use);
    for (std::uint32_t i = 0; i < count; ++i) {
      const unsigned char* p = table + i * static_cast<std::uint32_t>(entry);
      layout.palette[i] = qRgb(p[2], p[1], p[0]);
    }
  }
  const std::uint64_t start = pixelOffset ? pixelOffset : source.position();

  const bool icon = use == DibUse::Icon;
  const QSize natural(static_cast<int>(std::min<std::int64_t>(layout.width, INT32_MAX)),
                      static_cast<int>(std::min<std::int64_t>(layout.height, INT32_MAX)));
  const QSize kept = icon ? natural.boundedTo(QSize(KeptSide, KeptSide)) : FitKept(natural);
  const QRgb fill = icon ? 0 : layout.palette[0];
  Raster raster(layout.width, layout.height, kept, icon ? Raster::Mode::Crop : Raster::Mode::Sample,
                icon ? QImage::Format_ARGB32 : QImage::Format_RGB32, bits <= 8 ? fill : qRgb(0, 0, 0));

  if (layout.compression == kRle8 || layout.compression == kRle4) {
    DecodeRle(source, start, layout, raster);
    return {natural, std::move(raster.image())};
  }

  layout.stride = (static_cast<std::uint64_t>(layout.width) * static_cast<unsigned>(bits) + 31) / 32 * 4;
  const std::uint64_t size = source.size();
  const std::uint64_t available = start <= size ? size - start : 0;
  if (static_cast<std::uint64_t>(layout.height) > available / layout.stride) {
    if (icon) Refuse(use);
    throw Error(messages::StreamReadError);
  }
  // A 32-bit icon image carries its own alpha channel; other icon images, and
  // 32-bit ones whose alpha is zero throughout, take the AND mask.
  const bool alphaIcon = icon && bits == 32 && (!layout.masked || layout.alpha.mask != 0);
  DecodeUncompressed(source, start, layout, raster, alphaIcon, use);

  if (icon) {
    bool anyAlpha = false;
    if (alphaIcon) {
      const QImage& image = raster.image();
      for (int y = 0; y < image.height() && !anyAlpha; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
          if (qAlpha(line[x])) {
            anyAlpha = true;
            break;
          }
      }
    }
    if (!anyAlpha) {
      const std::uint64_t maskStart = start + layout.stride * static_cast<std::uint64_t>(layout.height);
      const std::uint64_t maskStride = (static_cast<std::uint64_t>(layout.width) + 31) / 32 * 4;
      const std::uint64_t maskAvailable = maskStart <= size ? size - maskStart : 0;
      if (static_cast<std::uint64_t>(layout.height) <= maskAvailable / maskStride) {
        ApplyAndMask(source, maskStart, layout, raster);
      } else {
        // No mask in the file: the image is opaque.
        QImage& image = raster.image();
        for (int y = 0; y < image.height(); ++y) {
          auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
          for (int x = 0; x < image.width(); ++x) line[x] |= 0xFF000000u;
        }
      }
    }
  }
  return {natural, std::move(raster.image())};
}

}  // namespace picture
