// The picture loader of the illustration preview: one decoder per image
// extension, chosen by the extension alone, and the rule that places a picture
// in the preview.
//
// Decoders: .BMP (Windows bitmap), .ICO (Windows icon), .GIF (first image of a
// GIF), .JPG and .JPEG (JPEG through libjpeg). Every failure is raised as
// picture::Error whose what() is the user's message in UTF-8.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include <QRect>
#include <QSize>

class QPainter;

namespace picture {

// A load or decode failure; what() is the message for the user (UTF-8).
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PictureData;

// A loaded picture. Copies share the decoded data, so copying is cheap; a
// picture decoded at its first draw (JPEG) is decoded once for all copies.
class Picture {
 public:
  Picture() = default;
  explicit Picture(std::shared_ptr<PictureData> data);

  // The picture's own size in pixels; 0 x 0 for an empty picture.
  QSize naturalSize() const;
  // True for an icon, which is drawn at its own size and never scaled.
  bool isIcon() const;
  // True when there is nothing to draw (a zero-byte .bmp or .gif, for one).
  bool isEmpty() const;
  // Draws the picture stretched into `target` (an icon: at its own size at
  // target's top left); shrinking samples pixels without smoothing. A decoding
  // error met here (JPEG pixels are decoded at the first draw) is raised as
  // Error by the first draw only; later draws draw what was decoded.
  void draw(QPainter& painter, const QRect& target);

 private:
  std::shared_ptr<PictureData> data_;
};

// Loads the file at `path` with the decoder chosen by its upper-cased
// extension. Raises Error with the decoder's message, "Stream read error" for a
// file that ends inside a part that must be read whole, or
// "Cannot open file "<absolute path>". <reason>".
Picture LoadPicture(const std::string& path);

// The rectangle, inside a control of size `control`, that a picture of size
// `natural` (not an icon) is drawn into: kept when it fits, else shrunk to fit
// with its proportions (whole parts of the products), and centred.
QRect PlacePicture(QSize natural, QSize control);

}  // namespace picture
