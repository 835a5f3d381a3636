// libFuzzer harness for one decoder of the picture loader, chosen at build
// time by FUZZ_EXTENSION (".BMP", ".ICO", ".GIF" or ".JPG"). Each input is
// loaded as a file of that extension and drawn twice into the preview's
// rectangle: the first draw may raise the decoder's error, the second never.
#include <cstddef>
#include <cstdint>
#include <new>

#include <QImage>
#include <QPainter>

#include "picture/picture.h"
#include "picture/picture_loader.h"
#include "picture/source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  picture::MemorySource source(data, size);
  picture::Picture loaded;
  try {
    loaded = picture::LoadPictureFrom(source, FUZZ_EXTENSION);
  } catch (const picture::Error&) {
    return 0;
  }
  const QSize control(271, 186);
  QImage canvas(control, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(0);
  QPainter painter(&canvas);
  const QRect place =
      loaded.isIcon() ? QRect(QPoint(0, 0), control) : picture::PlacePicture(loaded.naturalSize(), control);
  picture::Picture copy = loaded;
  try {
    loaded.draw(painter, place);
  } catch (const picture::Error&) {
  }
  copy.draw(painter, place);  // an error is raised once only: this one must not throw
  return 0;
}
