#include "picture/picture.h"

namespace picture {

QRect PlacePicture(QSize natural, QSize control) {
  const int w = natural.width(), h = natural.height();
  const int cw = control.width(), ch = control.height();
  int width = w, height = h;
  if (w > cw || h > ch) {
    const double ratio = static_cast<double>(w) / static_cast<double>(h);
    if (w > h) {
      width = cw;
      height = static_cast<int>(cw / ratio);
      if (height > ch) {
        height = ch;
        width = static_cast<int>(ch * ratio);
      }
    } else {
      height = ch;
      width = static_cast<int>(ch * ratio);
      if (width > cw) {
        width = cw;
        height = static_cast<int>(cw / ratio);
      }
    }
  }
  return QRect((cw - width) / 2, (ch - height) / 2, width, height);
}

}  // namespace picture
