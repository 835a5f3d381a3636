// imgSshot: the illustration preview over the bevel bvPic. It draws the
// picture it holds by the placement rule: kept at its size when it fits,
// else shrunk with its proportions, centred; an icon at its own size.
#pragma once

#include <QWidget>

#include "picture/picture.h"

class ScreenshotPreview : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenshotPreview(QWidget* parent = nullptr);

  // The last picture loaded successfully; hiding the preview keeps it.
  const picture::Picture& picture() const { return picture_; }
  void setPicture(picture::Picture picture);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  picture::Picture picture_;
};
