// .BMP files: the 14-byte file header, then a DIB.
#include <cstring>
#include <memory>

#include "picture/decoders.h"
#include "picture/dib_decoder.h"
#include "picture/messages.h"
#include "picture/picture_data.h"

namespace picture {

Picture DecodeBitmap(Source& source) {
  if (source.size() == 0) return Picture();
  unsigned char header[14];
  source.readWhole(header, sizeof header);
  if (header[0] != 'B' || header[1] != 'M') throw Error(messages::BitmapNotValid);
  const std::uint32_t pixelOffset = static_cast<std::uint32_t>(header[10]) | static_cast<std::uint32_t>(header[11]) << 8 |
                                    static_cast<std::uint32_t>(header[12]) << 16 |
                                    static_cast<std::uint32_t>(header[13]) << 24;
  DibImage image = DecodeDib(source, pixelOffset, DibUse::Bitmap);
  if (image.natural.isEmpty()) return Picture();
  return Picture(std::make_shared<DecodedPicture>(image.natural, std::move(image.kept), false));
}

}  // namespace picture
