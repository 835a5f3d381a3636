#include "main/screenshot_preview.h"

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
  } catch (const picture::Error& error) {
    // A picture decoded at its first draw (JPEG) may fail here. The error
    // must not unwind through the toolkit's painting, so it is raised again
    // from an event of its own, which takes it to the error reporter; the
    // picture raises it only once, later paints show what was decoded.
    QMetaObject::invokeMethod(
        this, [message = std::string(error.what())] { throw picture::Error(message); }, Qt::QueuedConnection);
  }
}
