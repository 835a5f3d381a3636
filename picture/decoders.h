// The decoders of the picture loader, one per picture format. Each reads the
// source from its start: header, check, decode.
#pragma once

#include "picture/picture.h"
#include "picture/source.h"

namespace picture {

Picture DecodeBitmap(Source& source);  // .BMP
Picture DecodeIcon(Source& source);    // .ICO
Picture DecodeGif(Source& source);     // .GIF
Picture DecodeJpeg(Source& source);    // .JPG, .JPEG

}  // namespace picture
