#include "main/screenshot_preview.h"

#include "main/raise_later.h"

#include <QPainter>

// No background of its own: the bevel beneath shows wherever the picture
// does not cover it.
ScreenshotPreview::ScreenshotPreview(QWidget* parent) : QWidget(parent) {}

void ScreenshotPreview::setPicture(picture::Picture picture) {
  picture_ = std::move(picture);
  update();
}

void ScreenshotPreview::paintEvent(QPaintEvent*) {
  if (picture_.isEmpty()) return;
  QPainter painter(this);
  try {
    picture_.draw(painter, picture::PlacePicture(picture_.naturalSize(), size()));
  } catch (const picture::Error&) {
    // A picture decoded at its first draw (JPEG) may fail here, once; later
    // paints show what was decoded.
    RaiseLater(this, std::current_exception());
  }
}
