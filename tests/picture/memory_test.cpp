// Pictures whose size claims are far beyond their data, or simply huge: each
// previews or fails with its decoder's message, and memory stays bounded by
// what is drawn.
#include <gtest/gtest.h>

#include <ostream>

#include <fstream>
#include <string>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasurable = false;  // the sanitizer's own bookkeeping swamps the figures
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMeasurable = false;
#else
constexpr bool kMeasurable = true;
#endif
#else
constexpr bool kMeasurable = true;
#endif

constexpr long kLimitKiB = 64 * 1024;

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

// Runs `action` and gives the peak resident memory it added, in KiB (an upper
// bound: the peak counts anything before it too, unless the kernel lets the
// peak be reset).
long PeakGrowth(const std::function<void()>& action) {
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  const long before = StatusKiB("VmRSS:");
  action();
  return StatusKiB("VmHWM:") - before;
}

struct LieCase {
  const char* name;
  const char* file;
  std::function<Bytes()> make;
  std::string message;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const LieCase& c, std::ostream* os) { *os << c.name; }


Bytes RleBitmap(int side, const Bytes& data) {
  BitmapSpec s;
  s.width = s.height = side;
  s.bits = 8;
  s.compression = 1;
  s.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
  return MakeBitmapWithData(s, data);
}

Bytes GifImageClaiming(unsigned w, unsigned h) {
  Bytes b = MakeGif(4, 4, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, [] {
    GifImage i;
    i.width = 4;
    i.height = 4;
    i.index = [](int, int) { return 1; };
    return std::vector<GifImage>{i};
  }());
  // The image descriptor follows the 13-byte header and the 6-byte table.
  b[19 + 5] = w & 0xFF;
  b[19 + 6] = static_cast<unsigned char>(w >> 8);
  b[19 + 7] = h & 0xFF;
  b[19 + 8] = static_cast<unsigned char>(h >> 8);
  b[6] = b[7] = b[8] = b[9] = 0xFF;
  return b;
}

const LieCase kLies[] = {
    {"rle_bitmap_60000_ending_at_once", "a.bmp", [] { return RleBitmap(60000, {0, 1}); }, ""},
    {"rle_bitmap_60000_of_runs",
     "b.bmp",
     [] {
       Bytes data;
       for (int row = 0; row < 3000; ++row) {
         for (int i = 0; i < 20; ++i) data.insert(data.end(), {255, 1});
         data.insert(data.end(), {0, 0});
       }
       return RleBitmap(60000, data);
     },
     ""},
    {"short_bitmap_60000", "c.bmp",
     [] {
       BitmapSpec s;
       s.width = s.height = 60000;
       s.bits = 24;
       return MakeBitmapWithData(s, Bytes(1000, 7));
     },
     "Stream read error"},
    {"gif_image_claiming_65535", "d.gif", [] { return GifImageClaiming(65535, 65535); }, ""},
};

class SizeLies : public ::testing::TestWithParam<LieCase> {};

TEST_P(SizeLies, PreviewWithinBoundedMemory) {
  const LieCase& c = GetParam();
  ScratchFolder folder;
  const std::string path = folder.write(c.file, c.make());
  std::string message;
  const long growth = PeakGrowth([&] {
    message = MessageOf([&] {
      picture::Picture picture = picture::LoadPicture(path);
      const QRect place = picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
      Render(picture, place);
    });
  });
  EXPECT_EQ(message, c.message);
  if (kMeasurable) EXPECT_LT(growth, kLimitKiB) << "KiB";
}

INSTANTIATE_TEST_SUITE_P(Table, SizeLies, ::testing::ValuesIn(kLies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HugePictures, RleBitmapDrawsTheRowsItHolds) {
  ScratchFolder folder;
  Bytes data;
  // The bottom 30000 rows red, the rest left at colour 0 (black).
  for (int row = 0; row < 30000; ++row) {
    for (int i = 0; i < 236; ++i) data.insert(data.end(), {255, 1});
    data.insert(data.end(), {0, 0});
  }
  picture::Picture picture = picture::LoadPicture(folder.write("half.bmp", RleBitmap(60000, data)));
  EXPECT_EQ(picture.naturalSize(), QSize(60000, 60000));
  const QImage drawn = Render(picture, picture::PlacePicture(picture.naturalSize(), QSize(271, 186)));
  EXPECT_EQ(drawn.pixel(135, 20), qRgb(0, 0, 0));
  EXPECT_EQ(drawn.pixel(135, 170), qRgb(255, 0, 0));
}

TEST(HugePictures, Jpeg30000Square) {
  ScratchFolder folder;
  const std::string path = folder.path("huge.jpg");
  WriteJpegFile(path, 30000, 30000, JpegKind::Grey,
                [](int x, int y) { return (x < 15000) == (y < 15000) ? qRgb(30, 30, 30) : qRgb(220, 220, 220); }, 50);
  QImage drawn;
  const long growth = PeakGrowth([&] {
    picture::Picture picture = picture::LoadPicture(path);
    EXPECT_EQ(picture.naturalSize(), QSize(30000, 30000));
    drawn = Render(picture, picture::PlacePicture(picture.naturalSize(), QSize(271, 186)));
  });
  EXPECT_TRUE(Near(drawn.pixel(60, 40), qRgb(30, 30, 30), 8));
  EXPECT_TRUE(Near(drawn.pixel(200, 40), qRgb(220, 220, 220), 8));
  if (kMeasurable) EXPECT_LT(growth, kLimitKiB) << "KiB";
}

TEST(HugePictures, ProgressiveJpegBeyondTheCoefficientLimitFails) {
  ScratchFolder folder;
  Bytes b = MakeJpeg(64, 64, JpegKind::Progressive, [](int, int) { return qRgb(9, 9, 9); });
  // Make the frame claim 30000 x 30000.
  for (std::size_t i = 0; i + 8 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC2) {
      b[i + 5] = 30000 >> 8;
      b[i + 6] = 30000 & 0xFF;
      b[i + 7] = 30000 >> 8;
      b[i + 8] = 30000 & 0xFF;
      break;
    }
  std::string message;
  const long growth = PeakGrowth([&] {
    picture::Picture picture = picture::LoadPicture(folder.write("p.jpg", b));
    RenderCatching(picture, picture::PlacePicture(picture.naturalSize(), QSize(271, 186)), message);
  });
  EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
  if (kMeasurable) EXPECT_LT(growth, kLimitKiB) << "KiB";
}

}  // namespace
