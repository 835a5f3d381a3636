// Times the picture loader against a floor measured in the same run:
//   JPEG 6000 x 4000: LoadPicture plus the first draw into the preview's
//     rectangle, against libjpeg-turbo decoding the file at full resolution
//     into one scratch row (goal: at most 1.15);
//   GIF and BMP 4000 x 3000: LoadPicture plus the first draw, against
//     QImageReader reading the same file (goal: at most 1.0).
// Each figure is the best of several runs. Exits with 1 when a goal is missed.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

#include <jpeglib.h>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

constexpr int kRuns = 7;

double BestSeconds(const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// A photograph-like pattern: smooth gradients with fine detail on top.
QRgb Scene(int x, int y) {
  const int detail = ((x * 7) ^ (y * 13)) & 31;
  return qRgb((x / 24 + detail) & 255, (y / 16 + detail * 2) & 255, ((x + y) / 40 + detail) & 255);
}

void LoadAndDraw(const std::string& path) {
  picture::Picture loaded = picture::LoadPicture(path);
  QImage canvas(271, 186, QImage::Format_RGB32);
  canvas.fill(0);
  QPainter painter(&canvas);
  loaded.draw(painter, picture::PlacePicture(loaded.naturalSize(), QSize(271, 186)));
}

void LibjpegFullDecode(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  jpeg_decompress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  std::vector<unsigned char> row(static_cast<std::size_t>(info.output_width) * info.output_components);
  JSAMPROW rows[1] = {row.data()};
  while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, rows, 1);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
}

void QtRead(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  reader.setAllocationLimit(0);
  const QImage image = reader.read();
  if (image.isNull()) std::fprintf(stderr, "QImageReader failed on %s\n", path.c_str());
}

bool Report(const char* name, double ours, double floor, double goal) {
  const double ratio = ours / floor;
  std::printf("%-28s ours %8.2f ms  floor %8.2f ms  ratio %.3f  (goal <= %.2f) %s\n", name, ours * 1e3, floor * 1e3,
              ratio, goal, ratio <= goal ? "ok" : "MISSED");
  return ratio <= goal;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ScratchFolder folder;

  const std::string jpeg = folder.path("scene.jpg");
  WriteJpegFile(jpeg, 6000, 4000, JpegKind::Rgb, Scene, 90);

  std::vector<QRgb> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(qRgb(i, 255 - i, (i * 7) & 255));
  GifImage image;
  image.width = 4000;
  image.height = 3000;
  image.index = [](int x, int y) { return static_cast<int>(qRed(Scene(x, y)) ^ qBlue(Scene(x, y))) & 255; };
  const std::string gif = folder.write("scene.gif", MakeGif(4000, 3000, palette, {image}));

  BitmapSpec spec;
  spec.width = 4000;
  spec.height = 3000;
  spec.bits = 24;
  spec.pixel = [](int x, int y) { return Scene(x, y); };
  const std::string bmp = folder.write("scene.bmp", MakeBitmap(spec));

  bool ok = true;
  ok &= Report("JPEG 6000x4000 vs libjpeg", BestSeconds([&] { LoadAndDraw(jpeg); }),
               BestSeconds([&] { LibjpegFullDecode(jpeg); }), 1.15);
  ok &= Report("GIF 4000x3000 vs QImageReader", BestSeconds([&] { LoadAndDraw(gif); }),
               BestSeconds([&] { QtRead(gif); }), 1.0);
  ok &= Report("BMP 4000x3000 vs QImageReader", BestSeconds([&] { LoadAndDraw(bmp); }),
               BestSeconds([&] { QtRead(bmp); }), 1.0);
  return ok ? 0 : 1;
}
