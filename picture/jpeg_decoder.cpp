// .JPG and .JPEG files through libjpeg-turbo's C API, at full resolution: the
// header is read at load, the pixels at the first draw. libjpeg's errors become
// "JPEG error #<message code>"; its warnings are ignored, so a file cut inside
// its scan draws what it holds.
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QPainter>
#include <QtGlobal>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "picture/decoders.h"
#include "picture/picture_data.h"
#include "picture/raster.h"

namespace picture {

namespace {

// libjpeg may keep a whole image's coefficients in memory (progressive and
// other multi-scan files). Past this much it fails ("Backing store not
// supported") instead of allocating what the header claims.
constexpr long kMemoryLimit = 48L << 20;

// Rows asked of libjpeg at a time.
constexpr int kRowBatch = 8;

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kQRgbSpace = JCS_EXT_BGRA;  // QRgb's bytes in memory
#else
constexpr J_COLOR_SPACE kQRgbSpace = JCS_EXT_ARGB;
#endif

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  bool dataEnded;  // libjpeg met the end of the data and goes on with fill
};

extern "C" void JumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
// Warnings are ignored, but the end of the data is noted: the end of the
// file, or a marker other than a restart marker met inside the entropy-coded
// data. After it a single-scan file holds nothing more to show.
extern "C" void NoteMessage(j_common_ptr info, int level) {
  if (level >= 0 || !info->is_decompressor) return;
  const int code = info->err->msg_code;
  bool ended = code == JWRN_JPEG_EOF;
  if (code == JWRN_HIT_MARKER) {
    const int marker = reinterpret_cast<j_decompress_ptr>(info)->unread_marker;
    ended = marker < 0xD0 || marker > 0xD7;
  }
  if (ended) reinterpret_cast<ErrorManager*>(info->err)->dataEnded = true;
}
extern "C" void IgnoreOutput(j_common_ptr) {}

// Everything the libjpeg calls touch. Only plain data, so that libjpeg's
// longjmp skips no destructor; the owners of the buffers live outside.
struct Session {
  jpeg_decompress_struct info;
  ErrorManager error;
  bool created = false;
  const unsigned char* data = nullptr;
  unsigned long size = 0;
  // Decoding of the pixels.
  Raster* raster = nullptr;
  unsigned char* buffer = nullptr;  // kRowBatch rows of the decoder's output
  std::size_t bufferStride = 0;
  bool direct = false;  // rows go straight into the raster's lines
};

void Create(Session& s) {
  s.info.err = jpeg_std_error(&s.error.pub);
  s.error.pub.error_exit = JumpOnError;
  s.error.pub.emit_message = NoteMessage;
  s.error.dataEnded = false;
  s.error.pub.output_message = IgnoreOutput;
  jpeg_create_decompress(&s.info);
  s.created = true;
  s.info.mem->max_memory_to_use = kMemoryLimit;
  jpeg_mem_src(&s.info, s.data, s.size);
  jpeg_read_header(&s.info, TRUE);
}

// Converts the decoder's output row for image row y into its kept row.
void ConvertRow(Session& s, const unsigned char* row, JDIMENSION y) {
  Raster& raster = *s.raster;
  const int k = raster.keptRow(y);
  if (k < 0) return;
  QRgb* out = raster.line(k);
  const std::int64_t* columns = raster.columns().data();
  const int width = raster.keptWidth();
  switch (s.info.out_color_space) {
    case JCS_GRAYSCALE:
      for (int x = 0; x < width; ++x) {
        const unsigned v = row[columns[x]];
        out[x] = 0xFF000000u | v << 16 | v << 8 | v;
      }
      break;
    case JCS_CMYK: {
      // Adobe writes CMYK inverted (0 is full ink); others write it plainly.
      const bool inverted = s.info.saw_Adobe_marker;
      for (int x = 0; x < width; ++x) {
        const unsigned char* p = row + 4 * columns[x];
        unsigned c = p[0], m = p[1], ye = p[2], kk = p[3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          ye = 255 - ye;
          kk = 255 - kk;
        }
        out[x] = qRgb(static_cast<int>((c * kk + 127) / 255), static_cast<int>((m * kk + 127) / 255),
                      static_cast<int>((ye * kk + 127) / 255));
      }
      break;
    }
    default: {
      const auto* pixels = reinterpret_cast<const QRgb*>(row);
      for (int x = 0; x < width; ++x) out[x] = pixels[columns[x]];
      break;
    }
  }
}

// True when the entropy decoder has met a marker that ends the data (the
// arithmetic decoder meets markers without a warning): any marker but a
// restart marker of a file with restart intervals.
bool DataEnded(const jpeg_decompress_struct& info) {
  const int marker = info.unread_marker;
  if (marker == 0) return false;
  return !(info.restart_interval != 0 && marker >= 0xD0 && marker <= 0xD7);
}

void DecodePixels(Session& s) {
  switch (s.info.jpeg_color_space) {
    case JCS_GRAYSCALE: s.info.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: s.info.out_color_space = JCS_CMYK; break;
    default: s.info.out_color_space = kQRgbSpace; break;
  }
  jpeg_start_decompress(&s.info);
  // A single-scan file cut short would be decoded to its claimed height from
  // nothing; stop two rows of blocks after its data ended (those may still
  // hold decoded pixels). A multi-scan file has read all its data by now.
  const bool stopAtEnd = !jpeg_has_multiple_scans(&s.info);
  const JDIMENSION blockRows = static_cast<JDIMENSION>(s.info.max_v_samp_factor * DCTSIZE);
  JDIMENSION rowsAfterEnd = 0;
  JSAMPROW rows[kRowBatch];
  while (s.info.output_scanline < s.info.output_height) {
    if (stopAtEnd && !s.error.dataEnded && DataEnded(s.info)) s.error.dataEnded = true;
    if (stopAtEnd && s.error.dataEnded && rowsAfterEnd >= 2 * blockRows) break;
    const JDIMENSION first = s.info.output_scanline;
    const int batch = static_cast<int>(
        s.info.output_height - first < static_cast<JDIMENSION>(kRowBatch) ? s.info.output_height - first : kRowBatch);
    for (int i = 0; i < batch; ++i)
      rows[i] = s.direct ? reinterpret_cast<JSAMPROW>(s.raster->line(static_cast<int>(first) + i))
                         : s.buffer + static_cast<std::size_t>(i) * s.bufferStride;
    const JDIMENSION got = jpeg_read_scanlines(&s.info, rows, static_cast<JDIMENSION>(batch));
    if (got == 0) break;  // cannot happen with a memory source; guards against a loop
    if (s.error.dataEnded) rowsAfterEnd += got;
    if (!s.direct)
      for (JDIMENSION i = 0; i < got; ++i) ConvertRow(s, rows[i], first + i);
  }
}

// Runs one libjpeg step; gives 0, or the message code of the error that
// stopped it. No object with a destructor lives in this frame.
int Guarded(Session& s, void (*step)(Session&)) {
  if (setjmp(s.error.jump)) return s.error.pub.msg_code;
  step(s);
  return 0;
}

struct SessionDeleter {
  void operator()(Session* s) const {
    if (s->created) jpeg_destroy_decompress(&s->info);
    delete s;
  }
};
using SessionHandle = std::unique_ptr<Session, SessionDeleter>;

SessionHandle NewSession(const std::vector<unsigned char>& bytes) {
  SessionHandle s(new Session);
  s->data = bytes.data();
  s->size = static_cast<unsigned long>(bytes.size());
  return s;
}

std::string Message(int code) { return "JPEG error #" + std::to_string(code); }

class JpegPicture final : public PictureData {
 public:
  JpegPicture(std::shared_ptr<const std::vector<unsigned char>> bytes, QSize natural)
      : bytes_(std::move(bytes)), natural_(natural) {}
  QSize naturalSize() const override { return natural_; }
  void draw(QPainter& painter, const QRect& target) override;

 private:
  int decode(QSize kept);

  std::shared_ptr<const std::vector<unsigned char>> bytes_;
  QSize natural_;
  bool decoded_ = false;
  QImage kept_, cache_;
};

// The kept image: the whole picture when it is small; else what the first
// draw covers on the device, sampled straight from the full-resolution rows.
QSize KeptFor(QSize natural, QPainter& painter, const QRect& target) {
  const QSize fit = FitKept(natural);
  if (fit == natural) return natural;
  const QRectF device = painter.deviceTransform().mapRect(QRectF(target));
  const QSize drawn(qMax(1, qRound(device.width())), qMax(1, qRound(device.height())));
  if (drawn.width() <= natural.width() && drawn.height() <= natural.height() && drawn.width() <= KeptSide &&
      drawn.height() <= KeptSide)
    return drawn;
  return fit;
}

int JpegPicture::decode(QSize kept) {
  Raster raster(natural_.width(), natural_.height(), kept, Raster::Mode::Sample, QImage::Format_RGB32,
                qRgb(0, 0, 0));
  SessionHandle s = NewSession(*bytes_);
  s->raster = &raster;
  // Colour output of a whole picture goes straight into the image; other
  // output passes through a batch of rows (4 bytes a pixel covers every space).
  const bool sampled = kept != natural_;
  std::vector<unsigned char> buffer;
  int code = Guarded(*s, Create);
  if (code == 0) {
    const bool colour = s->info.jpeg_color_space != JCS_GRAYSCALE && s->info.jpeg_color_space != JCS_CMYK &&
                        s->info.jpeg_color_space != JCS_YCCK;
    s->direct = !sampled && colour;
    if (!s->direct) {
      s->bufferStride = static_cast<std::size_t>(natural_.width()) * 4;
      buffer.resize(s->bufferStride * kRowBatch);
      s->buffer = buffer.data();
    }
    code = Guarded(*s, DecodePixels);
  }
  kept_ = std::move(raster.image());
  return code;
}

void JpegPicture::draw(QPainter& painter, const QRect& target) {
  if (!decoded_) {
    decoded_ = true;
    const int code = decode(KeptFor(natural_, painter, target));
    DrawStretched(painter, target, kept_, cache_);
    if (code) throw Error(Message(code));
    return;
  }
  DrawStretched(painter, target, kept_, cache_);
}

}  // namespace

Picture DecodeJpeg(Source& source) {
  const std::uint64_t size = source.size();
  auto bytes = std::make_shared<std::vector<unsigned char>>(static_cast<std::size_t>(size));
  source.seek(0);
  source.readWhole(bytes->data(), bytes->size());
  SessionHandle s = NewSession(*bytes);
  if (const int code = Guarded(*s, Create)) throw Error(Message(code));
  const QSize natural(static_cast<int>(s->info.image_width), static_cast<int>(s->info.image_height));
  return Picture(std::make_shared<JpegPicture>(std::move(bytes), natural));
}

}  // namespace picture
