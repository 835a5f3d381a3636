// What a Picture holds: one implementation per way of keeping pixels.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

namespace picture {

class PictureData {
 public:
  virtual ~PictureData() = default;
  virtual QSize naturalSize() const = 0;
  virtual bool isIcon() const { return false; }
  virtual void draw(QPainter& painter, const QRect& target) = 0;
};

// Draws `kept`, the kept image of a picture, stretched into `target`. When
// the target covers fewer device pixels than `kept` has, the image is first
// sampled down to the device size (kept in `cache` for the next paint), so
// that every drawn pixel is one of the picture's own, never a blend.
void DrawStretched(QPainter& painter, const QRect& target, const QImage& kept, QImage& cache);

// A picture whose pixels were decoded at load: a bitmap, a GIF image or an
// icon.
class DecodedPicture final : public PictureData {
 public:
  DecodedPicture(QSize natural, QImage kept, bool icon)
      : natural_(natural), kept_(std::move(kept)), icon_(icon) {}
  QSize naturalSize() const override { return natural_; }
  bool isIcon() const override { return icon_; }
  void draw(QPainter& painter, const QRect& target) override;
  const QImage& kept() const { return kept_; }

 private:
  QSize natural_;
  QImage kept_;
  bool icon_;
  QImage cache_;
};

}  // namespace picture
