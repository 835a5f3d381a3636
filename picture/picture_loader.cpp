#include "picture/picture_loader.h"

#include <array>

#include "picture/decoders.h"
#include "picture/messages.h"

namespace picture {

namespace {

struct DecoderEntry {
  std::string_view extension;
  Picture (*decode)(Source&);
};

// The decoders, chosen by the upper-cased extension alone, never by content.
// The metafile decoder (.WMF, .EMF) is not here yet: it is built separately,
// and until it is, a metafile is refused as not valid (see LoadPictureFrom).
constexpr std::array<DecoderEntry, 5> kDecoders = {{
    {".BMP", DecodeBitmap},
    {".ICO", DecodeIcon},
    {".GIF", DecodeGif},
    {".JPG", DecodeJpeg},
    {".JPEG", DecodeJpeg},
}};

bool IsMetafileExtension(std::string_view extension) { return extension == ".WMF" || extension == ".EMF"; }

const DecoderEntry* Find(std::string_view extension) {
  for (const DecoderEntry& entry : kDecoders)
    if (entry.extension == extension) return &entry;
  return nullptr;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

[[noreturn]] void RefuseExtension(std::string_view extension) {
  throw Error("Unknown picture file extension (" + std::string(extension) + ")");
}

}  // namespace

std::string UpperExtension(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (IsSeparator(path[i])) break;
    if (path[i] == '.') {
      std::string extension(path.substr(i));
      for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      return extension;
    }
  }
  return {};
}

bool IsPictureExtension(std::string_view upperExtension) {
  return Find(upperExtension) != nullptr || IsMetafileExtension(upperExtension);
}

Picture LoadPictureFrom(Source& source, std::string_view upperExtension) {
  if (const DecoderEntry* entry = Find(upperExtension)) return entry->decode(source);
  if (IsMetafileExtension(upperExtension)) throw Error(messages::MetafileNotValid);
  RefuseExtension(upperExtension);
}

Picture LoadPicture(const std::string& path) {
  const std::string extension = UpperExtension(path);
  // The extension is judged before the file is opened.
  if (!IsPictureExtension(extension)) RefuseExtension(extension);
  FileSource source(path);
  return LoadPictureFrom(source, extension);
}

}  // namespace picture
