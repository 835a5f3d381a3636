#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);

// Quadrants: red, green / blue, white.
QRgb Quadrants(int x, int y, int w, int h) {
  return y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kWhite);
}

struct JpegCase {
  const char* name;
  JpegKind kind;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const JpegCase& c, std::ostream* os) { *os << c.name; }


const JpegCase kKinds[] = {
    {"rgb", JpegKind::Rgb},
    {"progressive", JpegKind::Progressive},
    {"arithmetic", JpegKind::Arithmetic},
    {"cmyk_adobe", JpegKind::Cmyk},
};

class JpegColours : public ::testing::TestWithParam<JpegCase> {};

TEST_P(JpegColours, ShowTrueColours) {
  ScratchFolder folder;
  const std::string path = folder.write(
      "q.jpg", MakeJpeg(64, 48, GetParam().kind, [](int x, int y) { return Quadrants(x, y, 64, 48); }));
  picture::Picture picture = picture::LoadPicture(path);
  EXPECT_EQ(picture.naturalSize(), QSize(64, 48));
  EXPECT_FALSE(picture.isIcon());
  const QImage drawn = Render(picture, QRect(0, 0, 64, 48), 0xFFFF00FFu, QSize(64, 48));
  EXPECT_TRUE(Near(drawn.pixel(8, 8), kRed, 12)) << std::hex << drawn.pixel(8, 8);
  EXPECT_TRUE(Near(drawn.pixel(56, 8), kGreen, 12)) << std::hex << drawn.pixel(56, 8);
  EXPECT_TRUE(Near(drawn.pixel(8, 40), kBlue, 12)) << std::hex << drawn.pixel(8, 40);
  EXPECT_TRUE(Near(drawn.pixel(56, 40), kWhite, 12)) << std::hex << drawn.pixel(56, 40);
  EXPECT_TRUE(Near(drawn.pixel(60, 47), kWhite, 12)) << "last row " << std::hex << drawn.pixel(60, 47);
}

INSTANTIATE_TEST_SUITE_P(Kinds, JpegColours, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Jpeg, Greyscale) {
  ScratchFolder folder;
  const std::string path = folder.write("g.jpg", MakeJpeg(16, 16, JpegKind::Grey, [](int x, int) {
                                          return x < 8 ? qRgb(40, 40, 40) : qRgb(220, 220, 220);
                                        }));
  picture::Picture picture = picture::LoadPicture(path);
  const QImage drawn = Render(picture, QRect(0, 0, 16, 16), 0xFFFF00FFu, QSize(16, 16));
  EXPECT_TRUE(Near(drawn.pixel(2, 2), qRgb(40, 40, 40), 6));
  EXPECT_TRUE(Near(drawn.pixel(13, 13), qRgb(220, 220, 220), 6));
}

struct FailingCase {
  const char* name;
  std::function<Bytes()> make;
  int code;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const FailingCase& c, std::ostream* os) { *os << c.name; }


const FailingCase kFailing[] = {
    {"zero_bytes", [] { return Bytes{}; }, JERR_INPUT_EMPTY},
    {"text", [] { return Bytes{'h', 'e', 'l', 'l', 'o', '\n'}; }, JERR_NO_SOI},
    {"bitmap_named_jpg", [] { return Bytes{'B', 'M', 0, 0, 0, 0}; }, JERR_NO_SOI},
    {"soi_only", [] { return Bytes{0xFF, 0xD8}; }, JERR_NO_IMAGE},
};

class JpegLoadErrors : public ::testing::TestWithParam<FailingCase> {};

TEST_P(JpegLoadErrors, CarryLibjpegsCode) {
  ScratchFolder folder;
  const std::string path = folder.write("bad.jpeg", GetParam().make());
  EXPECT_EQ(MessageOf([&] { picture::LoadPicture(path); }), "JPEG error #" + std::to_string(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Table, JpegLoadErrors, ::testing::ValuesIn(kFailing),
                         [](const auto& info) { return std::string(info.param.name); });

// The first data of a scan: the offset just past the SOS segment.
std::size_t ScanStart(const Bytes& b) {
  for (std::size_t i = 0; i + 3 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xDA) return i + 2 + (b[i + 2] << 8 | b[i + 3]);
  return 0;
}

TEST(Jpeg, CutInsideTheScanDrawsWhatItHolds) {
  ScratchFolder folder;
  Bytes b = MakeJpeg(64, 64, JpegKind::Rgb, [](int x, int y) { return Quadrants(x, y, 64, 64); });
  const std::size_t start = ScanStart(b);
  ASSERT_GT(start, 0u);
  b.resize(start + (b.size() - start) / 3);
  picture::Picture picture = picture::LoadPicture(folder.write("cut.jpg", b));
  std::string message;
  const QImage drawn = RenderCatching(picture, QRect(0, 0, 64, 64), message, 0xFFFF00FFu, QSize(64, 64));
  EXPECT_EQ(message, "");
  EXPECT_TRUE(Near(drawn.pixel(4, 4), kRed, 12)) << std::hex << drawn.pixel(4, 4);
}

// Rows past the end of a cut file are not decoded from nothing: decoding stops
// shortly after the data end and leaves the rest unpainted (black).
TEST(Jpeg, RowsWellPastTheDataEndAreLeftBlack) {
  ScratchFolder folder;
  Bytes b = MakeJpeg(64, 512, JpegKind::Rgb, [](int, int) { return kRed; });
  const std::size_t start = ScanStart(b);
  ASSERT_GT(start, 0u);
  b.resize(start + (b.size() - start) / 4);
  picture::Picture picture = picture::LoadPicture(folder.write("cut.jpg", b));
  std::string message;
  const QImage drawn = RenderCatching(picture, QRect(0, 0, 64, 512), message, 0xFFFF00FFu, QSize(64, 512));
  EXPECT_EQ(message, "");
  EXPECT_TRUE(Near(drawn.pixel(10, 10), kRed, 12)) << std::hex << drawn.pixel(10, 10);
  EXPECT_EQ(drawn.pixel(10, 500), qRgb(0, 0, 0));
}

TEST(Jpeg, ErrorWhileDrawingIsRaisedOnceForAllCopies) {
  ScratchFolder folder;
  Bytes b = MakeJpeg(32, 32, JpegKind::Rgb, [](int x, int y) { return Quadrants(x, y, 32, 32); });
  // Point the scan's components at Huffman tables that the file lacks: the
  // header reads fine, the pixels fail.
  std::size_t sos = 0;
  for (std::size_t i = 0; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xDA) sos = i;
  ASSERT_GT(sos, 0u);
  const int components = b[sos + 4];
  for (int c = 0; c < components; ++c) b[sos + 6 + 2 * static_cast<std::size_t>(c)] = 0x33;
  picture::Picture picture = picture::LoadPicture(folder.write("bad_tables.jpg", b));
  EXPECT_EQ(picture.naturalSize(), QSize(32, 32));
  picture::Picture copy = picture;
  std::string message;
  RenderCatching(picture, QRect(0, 0, 32, 32), message);
  EXPECT_EQ(message, "JPEG error #" + std::to_string(JERR_NO_HUFF_TABLE));
  RenderCatching(picture, QRect(0, 0, 32, 32), message);
  EXPECT_EQ(message, "");
  RenderCatching(copy, QRect(0, 0, 32, 32), message);
  EXPECT_EQ(message, "");
}

TEST(Jpeg, LargeJpegIsSampledIntoThePreview) {
  ScratchFolder folder;
  const std::string path = folder.path("large.jpg");
  WriteJpegFile(path, 3000, 2000, JpegKind::Rgb, [](int x, int y) { return Quadrants(x, y, 3000, 2000); });
  picture::Picture picture = picture::LoadPicture(path);
  const QRect place = picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
  EXPECT_EQ(place, QRect(0, 3, 271, 180));
  const QImage drawn = Render(picture, place);
  EXPECT_TRUE(Near(drawn.pixel(20, 20), kRed, 12));
  EXPECT_TRUE(Near(drawn.pixel(250, 20), kGreen, 12));
  EXPECT_TRUE(Near(drawn.pixel(20, 170), kBlue, 12));
  EXPECT_TRUE(Near(drawn.pixel(250, 170), kWhite, 12));
  EXPECT_EQ(drawn.pixel(100, 0), 0xFFFF00FFu);  // above the placed rectangle
}

}  // namespace
