// The About dialog: its texts, fonts and places, its keys, the contact link,
// its place when reopened, and the main window's short-cuts while it is open.
#include "app/about_dialog.h"

#include "main/main_window.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Receives the links handed to the desktop.
class MailCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;
  MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
  ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }

 public slots:
  void open(const QUrl& url) { opened << url; }
};

// Runs `whileOpen` once the dialog is shown modally, then lets the modal
// loop go on until the dialog closes (or closes it after five seconds).
bool ExecWith(TfmAbout& about, const std::function<void()>& whileOpen) {
  bool wasOpen = false;
  QTimer::singleShot(0, [&] {
    wasOpen = about.isVisible() && QApplication::activeModalWidget() == &about;
    QApplication::setActiveWindow(&about);
    whileOpen();
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &about, [&about] { about.done(QDialog::Rejected); });
  guard.start(5000);
  about.exec();
  return wasOpen && guard.isActive();
}

void Type(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }

struct LabelCase {
  const char* name;
  QRect geometry;
  const char* text;
  Qt::Alignment alignment;
};

}  // namespace

TEST(AboutDialog, CaptionSizeAndLabels) {
  TfmAbout about;
  EXPECT_EQ(fmAbout, &about);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе Vellumor New"));
  EXPECT_EQ(about.size(), QSize(265, 133));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);

  const LabelCase cases[] = {
      {"Label2", {0, 0, 265, 16}, "Инструкция:", Qt::AlignHCenter},
      {"lbText", {0, 16, 265, 75},
       "Выберите папку с инсталом, заполните поля и нажмите\r\nСохранить (Добавить).\r\n"
       "Все программы должны располагаться вместе со\r\nсвоими иллюстрациями в отдельных папках!",
       Qt::AlignLeft},
      {"Label3", {0, 91, 265, 13}, "За справками обращайтесь на:", Qt::AlignHCenter},
      {"lbEmail", {0, 104, 265, 19}, "vellumor@example.org", Qt::AlignHCenter},
      {"Label1", {0, 123, 265, 10}, "", Qt::AlignHCenter},
  };
  for (const LabelCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto* label = about.findChild<QLabel*>(QLatin1String(c.name));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), c.geometry);
    EXPECT_EQ(label->text(), QString::fromUtf8(c.text));
    EXPECT_TRUE(label->alignment() & c.alignment);
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
  }
  EXPECT_TRUE(about.lbText->wordWrap());

  EXPECT_EQ(about.Label2->font().pixelSize(), 13);
  EXPECT_TRUE(about.Label2->font().bold());
  EXPECT_EQ(about.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
  EXPECT_EQ(about.lbText->font().pixelSize(), 11);
  EXPECT_FALSE(about.lbText->font().bold());
  EXPECT_EQ(about.lbEmail->font().pixelSize(), 11);
  EXPECT_TRUE(about.lbEmail->font().bold());
  EXPECT_FALSE(about.lbEmail->font().underline());
  EXPECT_EQ(about.lbEmail->palette().color(QPalette::WindowText), QColor(0, 0, 0xff));
  EXPECT_EQ(about.lbEmail->cursor().shape(), Qt::PointingHandCursor);
}

TEST(AboutDialog, LinkIsUnderlinedOnlyUnderTheMouse) {
  TfmAbout about;
  about.show();
  QTest::mouseMove(about.lbEmail, QPoint(20, 5));
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 5), about.lbEmail->mapToGlobal(QPointF(20, 5)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(about.lbEmail, &move);
  EXPECT_TRUE(about.lbEmail->font().underline());
  EXPECT_TRUE(about.lbEmail->font().bold());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(about.lbEmail, &leave);
  EXPECT_FALSE(about.lbEmail->font().underline());
  EXPECT_TRUE(about.lbEmail->font().bold());
}

TEST(AboutDialog, EscapeAndEnterClose) {
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    TfmAbout about;
    EXPECT_TRUE(ExecWith(about, [&] { Type(&about, key); })) << key;
    EXPECT_FALSE(about.isVisible());
  }
}

TEST(AboutDialog, SpaceAndAClickOpenTheMailLinkAndTheDialogStaysOpen) {
  MailCatcher mail;
  TfmAbout about;
  bool stillOpen = false;
  EXPECT_TRUE(ExecWith(about, [&] {
    Type(&about, Qt::Key_Space);
    QTest::mouseClick(about.lbEmail, Qt::LeftButton, {}, QPoint(130, 8));
    // Clicks elsewhere open nothing.
    QTest::mouseClick(about.Label3, Qt::LeftButton, {}, QPoint(130, 5));
    QTest::mouseClick(about.Label2, Qt::LeftButton, {}, QPoint(130, 5));
    QTest::mouseClick(about.lbText, Qt::LeftButton, {}, QPoint(130, 5));
    Type(&about, Qt::Key_A);
    stillOpen = about.isVisible();
    Type(&about, Qt::Key_Escape);
  }));
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(mail.opened.size(), 2);
  EXPECT_EQ(mail.opened[0].toString(), QStringLiteral("mailto:vellumor@example.org"));
  EXPECT_EQ(mail.opened[1].toString(), QStringLiteral("mailto:vellumor@example.org"));
}

TEST(AboutDialog, ReopensWhereItWasClosedWithTheSameTexts) {
  TfmAbout about;
  QPoint first;
  EXPECT_TRUE(ExecWith(about, [&] {
    first = about.pos();
    about.move(first + QPoint(-30, 20));
    Type(&about, Qt::Key_Escape);
  }));
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  EXPECT_LE(std::abs(first.x() + about.width() / 2 - desktop.center().x()), 8);
  QPoint second;
  EXPECT_TRUE(ExecWith(about, [&] {
    second = about.pos();
    Type(&about, Qt::Key_Escape);
  }));
  EXPECT_EQ(second, first + QPoint(-30, 20));
  EXPECT_EQ(about.lbEmail->text(), QStringLiteral("vellumor@example.org"));
}

TEST(AboutDialog, MainWindowShortCutsDoNothingWhileItIsOpen) {
  TfmMain window;
  TfmAbout about;
  window.setAboutDialog(&about);
  QSignalSpy exit(window.mmMainFileExit, &QAction::triggered);
  QSignalSpy aboutAgain(window.mmMainHelpAbout, &QAction::triggered);
  bool mainDisabled = false;
  EXPECT_TRUE(ExecWith(about, [&] {
    mainDisabled = !window.isEnabled() || QApplication::activeModalWidget() == &about;
    QTest::keyClick(&about, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(&about, Qt::Key_F1, Qt::ControlModifier);
    Type(&about, Qt::Key_Escape);
  }));
  EXPECT_TRUE(mainDisabled);
  EXPECT_EQ(exit.count(), 0);
  EXPECT_EQ(aboutAgain.count(), 0);
  EXPECT_TRUE(window.isVisible());
}

#include "about_dialog_test.moc"
