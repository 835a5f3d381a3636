// The picture loader's dispatch, open to the fuzzing harnesses and tests: the
// decoder for an extension, run on any byte source.
#pragma once

#include <string>
#include <string_view>

#include "picture/picture.h"
#include "picture/source.h"

namespace picture {

// The extension of a path (from its last "." after the last separator, the dot
// included; empty when there is none), upper-cased.
std::string UpperExtension(std::string_view path);

// True when an upper-cased extension has a decoder in the loader's table, or
// is one of the metafile extensions.
bool IsPictureExtension(std::string_view upperExtension);

// Decodes `source` with the decoder for `upperExtension`.
Picture LoadPictureFrom(Source& source, std::string_view upperExtension);

}  // namespace picture
