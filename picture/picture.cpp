#include "picture/picture.h"

#include <cmath>

#include <QPainter>

#include "picture/picture_data.h"
#include "picture/raster.h"

namespace picture {

Picture::Picture(std::shared_ptr<PictureData> data) : data_(std::move(data)) {}

QSize Picture::naturalSize() const { return data_ ? data_->naturalSize() : QSize(0, 0); }

bool Picture::isIcon() const { return data_ && data_->isIcon(); }

bool Picture::isEmpty() const {
  const QSize size = naturalSize();
  return size.width() <= 0 || size.height() <= 0;
}

void Picture::draw(QPainter& painter, const QRect& target) {
  if (!isEmpty()) data_->draw(painter, target);
}

void DrawStretched(QPainter& painter, const QRect& target, const QImage& kept, QImage& cache) {
  if (target.isEmpty() || kept.isNull()) return;
  const QTransform& transform = painter.deviceTransform();
  const bool scaledOnly = transform.type() <= QTransform::TxScale;
  const QRectF device = transform.mapRect(QRectF(target));
  const QSize deviceSize(static_cast<int>(std::lround(device.width())),
                         static_cast<int>(std::lround(device.height())));

  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (scaledOnly && !deviceSize.isEmpty() && deviceSize != kept.size() &&
      deviceSize.width() <= kept.width() && deviceSize.height() <= kept.height()) {
    if (cache.size() != deviceSize) cache = SampleImage(kept, deviceSize);
    painter.drawImage(QRectF(target), cache);
  } else {
    painter.drawImage(QRectF(target), kept);
  }
  painter.restore();
}

void DecodedPicture::draw(QPainter& painter, const QRect& target) {
  if (icon_) {
    painter.drawImage(target.topLeft(), kept_);
    return;
  }
  DrawStretched(painter, target, kept_, cache_);
}

}  // namespace picture
