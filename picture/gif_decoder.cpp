// .GIF files through giflib: the first image only, at its own size, opaque.
//
// giflib checks only the "GIF" of the signature; the version check is ours
// and comes first: "GIF" with "87a" or "89a", letter case ignored. giflib then
// reads the stream with the signature given as "GIF89a", so that it takes the
// lower-case spellings too.
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "picture/decoders.h"
#include "picture/messages.h"
#include "picture/picture_data.h"
#include "picture/raster.h"

namespace picture {

namespace {

constexpr std::size_t kSignatureLength = 6;

struct Input {
  Source* source;
  std::size_t signatureServed = 0;  // bytes of the canned signature given to giflib
};

int ReadInput(GifFileType* gif, GifByteType* data, int count) {
  auto* input = static_cast<Input*>(gif->UserData);
  static const char kSignature[] = "GIF89a";
  int served = 0;
  while (served < count && input->signatureServed < kSignatureLength)
    data[served++] = static_cast<GifByteType>(kSignature[input->signatureServed++]);
  if (served < count) served += static_cast<int>(input->source->read(data + served, static_cast<std::size_t>(count - served)));
  return served;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

bool IsVersion(const unsigned char* s) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  if (upper(s[0]) != 'G' || upper(s[1]) != 'I' || upper(s[2]) != 'F') return false;
  return s[3] == '8' && (s[4] == '7' || s[4] == '9') && upper(s[5]) == 'A';
}

[[noreturn]] void RaiseFor(int giflibError) {
  if (giflibError == D_GIF_ERR_NOT_ENOUGH_MEM) throw std::bad_alloc();
  throw Error(messages::StreamReadError);
}

// The label of an extension block, or -1 when the file ends before it.
int PeekByte(Source& source, std::uint64_t at) {
  unsigned char byte;
  source.seek(at);
  return source.read(&byte, 1) == 1 ? byte : -1;
}

// Decodes the rows of the current image into a raster; damaged data end the
// decoding and leave the rows decoded so far.
void DecodeRows(GifFileType* gif, Raster& raster, const std::array<QRgb, 256>& palette) {
  const GifImageDesc& desc = gif->Image;
  const auto& columns = raster.columns();
  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  auto decode = [&](int y) {
    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) return false;
    const int k = raster.keptRow(y);
    if (k >= 0) {
      QRgb* out = raster.line(k);
      for (std::size_t x = 0; x < columns.size(); ++x) out[x] = palette[line[static_cast<std::size_t>(columns[x])]];
    }
    return true;
  };
  if (desc.Interlace) {
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < desc.Height; y += kStep[pass])
        if (!decode(y)) return;
  } else {
    for (int y = 0; y < desc.Height; ++y)
      if (!decode(y)) return;
  }
}

}  // namespace

Picture DecodeGif(Source& source) {
  if (source.size() == 0) return Picture();
  unsigned char signature[kSignatureLength];
  source.readWhole(signature, sizeof signature);
  if (!IsVersion(signature)) throw Error(messages::GifUnknownVersion);

  Input input{&source};
  int error = 0;
  GifHandle gif(DGifOpen(&input, ReadInput, &error));
  if (!gif) RaiseFor(error);  // the screen descriptor or global colour table is cut short

  for (;;) {
    const std::uint64_t recordStart = source.position();
    GifRecordType record;
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return Picture();  // no image before the end
    if (record == TERMINATE_RECORD_TYPE) return Picture();
    if (record == EXTENSION_RECORD_TYPE) {
      int label = 0;
      GifByteType* block = nullptr;
      const bool read = DGifGetExtension(gif.get(), &label, &block) == GIF_OK;
      if (!read) label = PeekByte(source, recordStart + 1);
      if (label >= 0 && label != GRAPHICS_EXT_FUNC_CODE && label != COMMENT_EXT_FUNC_CODE &&
          label != PLAINTEXT_EXT_FUNC_CODE && label != APPLICATION_EXT_FUNC_CODE) {
        char text[16];
        std::snprintf(text, sizeof text, "%.2x", static_cast<unsigned>(label));
        throw Error(std::string(messages::GifUndefinedExtension) + text);
      }
      if (!read) return Picture();  // the file ends inside the block
      while (block != nullptr)
        if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) return Picture();
      continue;
    }
    // The first image. Its descriptor and local colour table must be whole;
    // a failure after them lies in the image data, which shows what decodes.
    const std::uint64_t descriptorStart = source.position();
    const bool described = DGifGetImageDesc(gif.get()) == GIF_OK;
    if (!described) {
      unsigned char descriptor[9];
      source.seek(descriptorStart);
      if (source.read(descriptor, sizeof descriptor) != sizeof descriptor) throw Error(messages::StreamReadError);
      const std::uint64_t tableBytes = descriptor[8] & 0x80 ? 3u << ((descriptor[8] & 7) + 1) : 0;
      if (source.size() < descriptorStart + sizeof descriptor + tableBytes) throw Error(messages::StreamReadError);
      if (gif->Error == D_GIF_ERR_NOT_ENOUGH_MEM) throw std::bad_alloc();
    }
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0) return Picture();

    // A transparent index is painted in its palette colour; indices past the
    // table are black, and without any table an index shows as its grey level.
    std::array<QRgb, 256> palette;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    for (int i = 0; i < 256; ++i) palette[static_cast<std::size_t>(i)] = map ? qRgb(0, 0, 0) : qRgb(i, i, i);
    if (map)
      for (int i = 0; i < map->ColorCount && i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);

    const QSize natural(desc.Width, desc.Height);
    Raster raster(desc.Width, desc.Height, FitKept(natural), Raster::Mode::Sample, QImage::Format_RGB32,
                  qRgb(0, 0, 0));
    if (described) DecodeRows(gif.get(), raster, palette);
    return Picture(std::make_shared<DecodedPicture>(natural, std::move(raster.image()), false));
  }
}

}  // namespace picture
