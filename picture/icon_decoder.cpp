// .ICO files: a header, a directory of images, and the one image that Windows
// would show for a 32 x 32 icon on a true-colour display.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "picture/decoders.h"
#include "picture/dib_decoder.h"
#include "picture/messages.h"
#include "picture/picture_data.h"
#include "picture/raster.h"

namespace picture {

namespace {

constexpr int kWantedSide = 32;
constexpr int kDisplayDepth = 32;
// Embedded PNG images larger than this (in MiB, decoded) are refused.
constexpr int kPngAllocationLimit = 64;

struct Entry {
  int width, height, depth;
  std::uint32_t bytes, offset;
};

int DepthOf(int bitCount, int colorCount) {
  if (bitCount) return bitCount;
  if (colorCount == 0) return 8;  // 256 colours or more: the count does not fit the byte
  int depth = 1;
  while ((1 << depth) < colorCount) ++depth;
  return depth;
}

// The entry of 32 x 32 with the deepest colour the display shows, else the
// entry whose size is closest to 32 x 32 (deeper colour first on a tie).
const Entry& Choose(const std::vector<Entry>& entries) {
  const Entry* best = nullptr;
  auto distance = [](const Entry& e) { return std::abs(e.width - kWantedSide) + std::abs(e.height - kWantedSide); };
  auto depth = [](const Entry& e) { return e.depth <= kDisplayDepth ? e.depth : -e.depth; };
  for (const Entry& e : entries) {
    if (!best || distance(e) < distance(*best) || (distance(e) == distance(*best) && depth(e) > depth(*best)))
      best = &e;
  }
  return *best;
}

Picture DecodePng(Source& image, std::uint32_t length) {
  QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
  image.seek(0);
  image.readWhole(bytes.data(), length);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  reader.setAllocationLimit(kPngAllocationLimit);
  QImage decoded = reader.read();
  if (decoded.isNull()) throw Error(messages::IconNotValid);
  const QSize natural = decoded.size();
  if (natural.width() > KeptSide || natural.height() > KeptSide)
    decoded = decoded.copy(QRect(QPoint(0, 0), natural.boundedTo(QSize(KeptSide, KeptSide))));
  decoded = decoded.convertToFormat(QImage::Format_ARGB32);
  return Picture(std::make_shared<DecodedPicture>(natural, std::move(decoded), true));
}

}  // namespace

Picture DecodeIcon(Source& source) {
  unsigned char header[6];
  source.readWhole(header, sizeof header);
  const int type = header[2] | header[3] << 8;
  const int count = header[4] | header[5] << 8;
  if (type != 1 && type != 0) throw Error(messages::IconNotValid);
  if (count == 0) throw Error(messages::IconNotValid);

  std::vector<unsigned char> directory(static_cast<std::size_t>(count) * 16);
  source.readWhole(directory.data(), directory.size());
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const unsigned char* p = directory.data() + 16 * i;
    auto u32 = [p](int at) {
      return static_cast<std::uint32_t>(p[at]) | static_cast<std::uint32_t>(p[at + 1]) << 8 |
             static_cast<std::uint32_t>(p[at + 2]) << 16 | static_cast<std::uint32_t>(p[at + 3]) << 24;
    };
    entries.push_back({p[0] ? p[0] : 256, p[1] ? p[1] : 256, DepthOf(p[6] | p[7] << 8, p[2]), u32(8), u32(12)});
  }
  const Entry& chosen = Choose(entries);

  // The chosen image must be in the file whole.
  if (std::uint64_t{chosen.offset} + chosen.bytes > source.size()) throw Error(messages::StreamReadError);
  WindowSource image(source, chosen.offset, chosen.bytes);

  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  unsigned char signature[8];
  if (image.read(signature, sizeof signature) == sizeof signature &&
      std::memcmp(signature, kPngSignature, sizeof signature) == 0)
    return DecodePng(image, chosen.bytes);

  image.seek(0);
  DibImage dib = DecodeDib(image, 0, DibUse::Icon);
  if (dib.natural.isEmpty()) return Picture();
  return Picture(std::make_shared<DecodedPicture>(dib.natural, std::move(dib.kept), true));
}

}  // namespace picture
