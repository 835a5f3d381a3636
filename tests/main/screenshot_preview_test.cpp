// The illustration preview: which names show a picture, which hide the
// preview, and that a picture that fails to load leaves the preview as it was.
#include "main/main_window.h"
#include "main/screenshot_preview.h"
#include "tests/main/reported_errors.h"
#include "tests/shell/qt_test_env.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ScreenshotPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = NewTestFolder();
    MakeFolder(folder_ + "/shots");
    MakeFolder(folder_ + "/folder.bmp");
    SaveImage("good.bmp", 300, 200, Qt::red);
    SaveImage("shots/inner.bmp", 40, 30, Qt::blue);
    SaveImage("Mixed.BmP", 20, 10, Qt::green);
    SaveImage("photo.png", 20, 10, Qt::green);
    WriteFile("readme.txt", "not a picture");
    WriteFile("broken.bmp", "XX this is no bitmap");
    ASSERT_TRUE(window_.selectFolder(folder_));
  }

  void SaveImage(const QString& name, int width, int height, Qt::GlobalColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(folder_ + "/" + name, "BMP"));
  }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(folder_ + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  // Sets the illustration's name the way a load does, then shows it.
  void Show(const QString& name) {
    {
      const QSignalBlocker quiet(window_.cbScreenshot);
      window_.cbScreenshot->setEditText(name);
    }
    window_.ShowScreenshot();
  }

  QSize Shown() const { return window_.imgSshot->picture().naturalSize(); }
  bool Visible() const { return window_.imgSshot->isVisibleTo(&window_); }

  QString folder_;
  TfmMain window_;
};

TEST_F(ScreenshotPreviewTest, ShowsImagesByNameInTheFolderOrBelowIt) {
  const std::pair<QString, QSize> cases[] = {
      {"good.bmp", {300, 200}}, {"shots/inner.bmp", {40, 30}}, {"Mixed.BmP", {20, 10}}};
  for (const auto& [name, size] : cases) {
    Show(name);
    EXPECT_TRUE(Visible()) << name.toStdString();
    EXPECT_EQ(Shown(), size) << name.toStdString();
  }
}

TEST_F(ScreenshotPreviewTest, HidesForNamesOfNoImageAndKeepsThePicture) {
  const QString names[] = {"", "missing.bmp", "folder.bmp", "readme.txt", "photo.png", folder_ + "/good.bmp", " good.bmp"};
  for (const QString& name : names) {
    Show("shots/inner.bmp");
    ASSERT_TRUE(Visible());
    Show(name);
    EXPECT_FALSE(Visible()) << name.toStdString();
    EXPECT_EQ(Shown(), QSize(40, 30)) << name.toStdString();
  }
}

TEST_F(ScreenshotPreviewTest, AFailedLoadLeavesPictureAndVisibility) {
  Show("good.bmp");
  EXPECT_THROW(
      {
        try {
          Show("broken.bmp");
        } catch (const picture::Error& error) {
          EXPECT_STREQ(error.what(), "Bitmap image is not valid");
          throw;
        }
      },
      picture::Error);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(Shown(), QSize(300, 200));

  Show("");
  EXPECT_THROW(Show("broken.bmp"), picture::Error);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(Shown(), QSize(300, 200));
}

TEST_F(ScreenshotPreviewTest, DrawsThePictureShrunkAndCentredOverTheBevel) {
  Show("good.bmp");  // 300 x 200 becomes 271 x 180 at 0, 3
  const QImage drawn = window_.imgSshot->grab().toImage();
  ASSERT_EQ(drawn.size(), QSize(271, 186));
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(drawn.pixel(0, 3), red);
  EXPECT_EQ(drawn.pixel(270, 182), red);
  EXPECT_NE(drawn.pixel(135, 2), red);
  EXPECT_NE(drawn.pixel(135, 183), red);
}

TEST_F(ScreenshotPreviewTest, EditingTheNameRefreshesThePreview) {
  window_.cbScreenshot->setEditText("shots/inner.bmp");
  EXPECT_TRUE(Visible());
  EXPECT_EQ(Shown(), QSize(40, 30));
  window_.cbScreenshot->setEditText("shots/inner.bm");
  EXPECT_FALSE(Visible());
}

TEST_F(ScreenshotPreviewTest, ErrorsWhileTypingReachTheReporterAfterTheKeystroke) {
  window_.show();
  window_.activateWindow();
  window_.cbScreenshot->setFocus();
  QTest::keyClicks(window_.cbScreenshot, "good.bmp");
  ASSERT_TRUE(Visible());
  ReportedErrors().clear();
  window_.cbScreenshot->clearEditText();
  QTest::keyClicks(window_.cbScreenshot, "broken.bmp");
  // Nothing was raised through the toolkit's key handling: the error comes
  // from an event of its own, after the keystroke.
  EXPECT_TRUE(ReportedErrors().empty());
  EXPECT_EQ(window_.cbScreenshot->currentText(), QString("broken.bmp"));
  QTRY_COMPARE(ReportedErrors().size(), std::size_t{1});
  EXPECT_EQ(ReportedErrors().front(), "Bitmap image is not valid");
  EXPECT_EQ(Shown(), QSize(300, 200));

  // Leaving the box loads the named file again, and fails again.
  ReportedErrors().clear();
  window_.leType->setFocus();
  QTRY_COMPARE(ReportedErrors().size(), std::size_t{1});
}

TEST_F(ScreenshotPreviewTest, ADecodingErrorAtTheFirstPaintIsReportedOnce) {
  QImage image(32, 32, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(folder_ + "/bad.jpg", "JPG"));
  QFile file(folder_ + "/bad.jpg");
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  QByteArray bytes = file.readAll();
  // Point the scan's components at Huffman tables the file lacks: the header
  // loads, the pixels fail when first drawn.
  const qsizetype scan = bytes.lastIndexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  for (int c = 0; c < bytes[scan + 4]; ++c) bytes[scan + 6 + 2 * c] = 0x33;
  file.seek(0);
  file.write(bytes);
  file.close();

  ReportedErrors().clear();
  Show("bad.jpg");
  EXPECT_TRUE(Visible());
  EXPECT_TRUE(ReportedErrors().empty());
  window_.imgSshot->grab();
  EXPECT_TRUE(ReportedErrors().empty());  // not unwound through the painting
  QTRY_COMPARE(ReportedErrors().size(), std::size_t{1});
  EXPECT_EQ(ReportedErrors().front().rfind("JPEG error #", 0), 0u) << ReportedErrors().front();
  window_.imgSshot->grab();
  QCoreApplication::processEvents();
  EXPECT_EQ(ReportedErrors().size(), 1u);
}

TEST_F(ScreenshotPreviewTest, EveryShowReadsTheFileAgain) {
  Show("good.bmp");
  SaveImage("good.bmp", 50, 60, Qt::red);
  Show("good.bmp");
  EXPECT_EQ(Shown(), QSize(50, 60));
}

}  // namespace
