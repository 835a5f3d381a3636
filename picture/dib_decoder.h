// Our decoder of device-independent bitmaps (DIBs): the pixels of .BMP files
// and the images inside .ICO files.
//
// Headers: OS/2 1.x (12 bytes), Windows 3 (40), with masks (52, 56), V4 (108)
// and V5 (124). Pixels: 1, 4, 8, 16, 24 and 32 bits, uncompressed, RLE8, RLE4
// and bit fields of any layout; rows bottom-up or top-down. A bitmap is drawn
// opaque; an icon image takes its transparency from its alpha channel (32 bits)
// or else from its AND mask.
#pragma once

#include <cstdint>

#include <QImage>
#include <QSize>

#include "picture/source.h"

namespace picture {

enum class DibUse { Bitmap, Icon };

struct DibImage {
  QSize natural;  // 0 x 0 when the header declares no pixels
  QImage kept;    // the whole image, or a sample (bitmap) or the top left (icon)
};

// Decodes the DIB whose info header starts at the source's position. The
// pixel array starts at `pixelOffset` in the source, or right after the colour
// table when it is 0. A bitmap raises "Bitmap image is not valid" for a header
// it does not take and "Stream read error" when a part that must be read whole
// (info header, masks, colour table, uncompressed pixels) is cut short; an icon
// image raises "Icon image is not valid" for both, and takes its AND mask when
// the mask is there.
DibImage DecodeDib(Source& source, std::uint64_t pixelOffset, DibUse use);

}  // namespace picture
