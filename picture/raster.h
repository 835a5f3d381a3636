// The image a decoder keeps of a picture: the whole picture when it is small,
// else a nearest-pixel sample of it (or, for icons, which are never scaled, its
// top left corner), so that memory follows what is drawn rather than what the
// file claims. Decoders produce the picture's rows one at a time, in any order,
// and ask the raster which kept row, if any, a source row lands in.
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QSize>

namespace picture {

// The largest side of an image kept for a picture decoded at load time: big
// enough for the preview on any display, small enough (16 MiB at 32 bits per
// pixel) to keep memory bounded.
inline constexpr int KeptSide = 2048;

// `natural` when it fits in KeptSide x KeptSide, else the largest size of the
// same proportions that fits (each side at least 1).
QSize FitKept(QSize natural);

class Raster {
 public:
  enum class Mode { Sample, Crop };

  // An image of `kept` (each side at most the natural one, at least 1) for a
  // picture of `natural` pixels, filled with `fill`.
  Raster(std::int64_t naturalWidth, std::int64_t naturalHeight, QSize kept, Mode mode,
         QImage::Format format, QRgb fill);

  int keptWidth() const { return keptWidth_; }
  int keptHeight() const { return keptHeight_; }
  // The source row that kept row k shows.
  std::int64_t sourceRow(int k) const;
  // The kept row that shows source row y, or -1.
  int keptRow(std::int64_t y) const;
  // The source column of each kept column, ascending.
  const std::vector<std::int64_t>& columns() const { return columns_; }
  // The first kept column whose source column is at least x (keptWidth() when none).
  int firstColumnFrom(std::int64_t x) const;

  QRgb* line(int k) { return reinterpret_cast<QRgb*>(image_.scanLine(k)); }
  QImage& image() { return image_; }

 private:
  std::int64_t naturalWidth_, naturalHeight_;
  int keptWidth_, keptHeight_;
  Mode mode_;
  std::vector<std::int64_t> columns_;
  QImage image_;
};

// `image` shrunk to `size` by nearest-pixel sampling, with the same choice of
// source pixels as Raster.
QImage SampleImage(const QImage& image, QSize size);

}  // namespace picture
