#include "picture/raster.h"

#include <algorithm>
#include <new>

namespace picture {

namespace {

// Nearest sampling maps kept index k of `kept` onto the source index whose
// pixel holds the centre of k: floor((2k + 1) * natural / (2 * kept)).
std::int64_t SampleIndex(std::int64_t k, std::int64_t natural, std::int64_t kept) {
  // Sides are below 2^32 and kept sides below 2^24, so the products fit.
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(2 * k + 1) * static_cast<std::uint64_t>(natural)) /
                                   (2 * static_cast<std::uint64_t>(kept)));
}

// The smallest k whose sample index is at least x.
std::int64_t FirstSampleFrom(std::int64_t x, std::int64_t natural, std::int64_t kept) {
  // SampleIndex(k) >= x  <=>  (2k + 1) * natural >= 2 * kept * x.
  if (x >= natural) return kept;
  const std::int64_t numerator = 2 * kept * x - natural;
  if (numerator <= 0) return 0;
  const std::int64_t denominator = 2 * natural;
  return (numerator + denominator - 1) / denominator;
}

}  // namespace

QSize FitKept(QSize natural) {
  const std::int64_t w = natural.width(), h = natural.height();
  if (w <= KeptSide && h <= KeptSide) return natural;
  if (w >= h) return QSize(KeptSide, static_cast<int>(std::max<std::int64_t>(1, h * KeptSide / w)));
  return QSize(static_cast<int>(std::max<std::int64_t>(1, w * KeptSide / h)), KeptSide);
}

Raster::Raster(std::int64_t naturalWidth, std::int64_t naturalHeight, QSize kept, Mode mode,
               QImage::Format format, QRgb fill)
    : naturalWidth_(naturalWidth),
      naturalHeight_(naturalHeight),
      keptWidth_(kept.width()),
      keptHeight_(kept.height()),
      mode_(mode),
      image_(kept, format) {
  if (image_.isNull()) throw std::bad_alloc();
  image_.fill(fill);
  columns_.resize(static_cast<std::size_t>(keptWidth_));
  for (int k = 0; k < keptWidth_; ++k)
    columns_[k] = mode_ == Mode::Crop || keptWidth_ == naturalWidth_
                      ? k
                      : SampleIndex(k, naturalWidth_, keptWidth_);
}

std::int64_t Raster::sourceRow(int k) const {
  if (mode_ == Mode::Crop || keptHeight_ == naturalHeight_) return k;
  return SampleIndex(k, naturalHeight_, keptHeight_);
}

int Raster::keptRow(std::int64_t y) const {
  if (y < 0 || y >= naturalHeight_) return -1;
  if (mode_ == Mode::Crop || keptHeight_ == naturalHeight_) return y < keptHeight_ ? static_cast<int>(y) : -1;
  const std::int64_t k = FirstSampleFrom(y, naturalHeight_, keptHeight_);
  if (k >= keptHeight_ || SampleIndex(k, naturalHeight_, keptHeight_) != y) return -1;
  return static_cast<int>(k);
}

int Raster::firstColumnFrom(std::int64_t x) const {
  if (x <= 0) return 0;
  if (mode_ == Mode::Crop || keptWidth_ == naturalWidth_)
    return static_cast<int>(std::min<std::int64_t>(x, keptWidth_));
  return static_cast<int>(std::min<std::int64_t>(FirstSampleFrom(x, naturalWidth_, keptWidth_), keptWidth_));
}

QImage SampleImage(const QImage& image, QSize size) {
  const QImage source = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32);
  QImage result(size, source.format());
  if (result.isNull()) return result;
  std::vector<int> columns(static_cast<std::size_t>(size.width()));
  for (int k = 0; k < size.width(); ++k)
    columns[k] = static_cast<int>(SampleIndex(k, source.width(), size.width()));
  for (int k = 0; k < size.height(); ++k) {
    const auto* in = reinterpret_cast<const QRgb*>(
        source.constScanLine(static_cast<int>(SampleIndex(k, source.height(), size.height()))));
    auto* out = reinterpret_cast<QRgb*>(result.scanLine(k));
    for (int x = 0; x < size.width(); ++x) out[x] = in[columns[x]];
  }
  return result;
}

}  // namespace picture
