// The one error reporter: what escapes a handler reaches the error box with
// the "." rule; the silent abort shows nothing; the program goes on.
#include "app/application.h"

#include "main/abort.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

struct TextCase {
  const char* name;
  const char* message;
  const char* shown;
};

const TextCase TextCases[] = {
    {"write failure", "Unable to write to /disc/app/program.desc", "Unable to write to /disc/app/program.desc."},
    {"stream write error", "Stream write error", "Stream write error."},
    {"ends with a point", "Cannot open file \"memo.desc\". No such file or directory.",
     "Cannot open file \"memo.desc\". No such file or directory."},
    {"exclamation mark", "Файл удален!", "Файл удален!"},
    {"closing parenthesis", "failed (twice)", "failed (twice)"},
    {"question mark", "Точно удалять описание?", "Точно удалять описание?."},
    {"colon", "Reason:", "Reason:."},
    {"digit", "JPEG error #42", "JPEG error #42."},
    {"cyrillic letter", "Ошибка", "Ошибка."},
    {"slash, just above the point", "/disc/", "/disc/."},
    {"hyphen", "name -", "name -"},
    {"comma", "one,", "one,"},
    {"quotation mark", "file \"x\"", "file \"x\""},
    {"space", "trailing ", "trailing "},
    {"empty", "", ""},
};

// The event that runs Raising's handler. A plain event of our own: Qt's
// mouse and key dispatch keep copies of the event on frames that an
// exception leaves without cleaning up, which the leak checker would report.
const QEvent::Type Act = static_cast<QEvent::Type>(QEvent::registerEventType());

// A widget whose handler raises what it is given.
class Raising : public QWidget {
 public:
  std::function<void()> raise;
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != Act) return QWidget::event(event);
    ++handled;
    raise();
    ++handled;  // never reached when raise() throws
    return true;
  }
};

void Press(QWidget* widget) {
  QEvent act(Act);
  QApplication::sendEvent(widget, &act);
}

struct SeenBox {
  bool seen = false;
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  int buttonCount = 0;
  Qt::WindowModality modality = Qt::NonModal;
};

// Arms a look at the next modal box: what it shows is recorded, then it is
// closed with OK.
void CloseNextBox(SeenBox& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.seen = true;
    seen.text = box->text();
    seen.title = box->windowTitle();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.buttonCount = static_cast<int>(box->buttons().size());
    seen.modality = box->windowModality();
    box->button(QMessageBox::Ok)->click();
  });
}

}  // namespace

TEST(ErrorReporter, PointRule) {
  for (const TextCase& c : TextCases)
    EXPECT_EQ(ErrorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown)) << c.name;
}

TEST(ErrorReporter, ErrorEscapingAHandlerIsShownInTheErrorBox) {
  for (const TextCase& c : TextCases) {
    SCOPED_TRACE(c.name);
    Raising widget;
    widget.show();
    widget.raise = [&] { throw std::runtime_error(c.message); };
    SeenBox seen;
    CloseNextBox(seen);
    Press(&widget);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, QString::fromUtf8(c.shown));
    EXPECT_EQ(seen.title, QStringLiteral("Vellumor New"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(widget.handled, 1);  // the handler stopped at the failing step
  }
}

TEST(ErrorReporter, SilentAbortShowsNothingAndTheProgramGoesOn) {
  Raising widget;
  widget.show();
  widget.raise = [] { throw Abort(); };
  SeenBox seen;
  CloseNextBox(seen);
  Press(&widget);
  QApplication::processEvents();  // runs the armed look: there is no box
  EXPECT_FALSE(seen.seen);
  EXPECT_EQ(widget.handled, 1);

  widget.raise = [] {};
  Press(&widget);
  EXPECT_EQ(widget.handled, 3);
}

TEST(ErrorReporter, ErrorInsideAModalDialogReachesTheBoxAndTheDialogGoesOn) {
  QDialog dialog;
  auto* raising = new Raising;
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(raising);
  raising->raise = [] { throw std::runtime_error("Stream write error"); };
  SeenBox seen;
  bool dialogStillOpen = false;
  QTimer::singleShot(0, [&] {
    CloseNextBox(seen);
    Press(raising);
    dialogStillOpen = dialog.isVisible();
    dialog.accept();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, QStringLiteral("Stream write error."));
  EXPECT_TRUE(dialogStillOpen);
}

TEST(ErrorReporter, FocusReturnsToTheControlThatHadIt) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* first = new QLineEdit;
  auto* second = new QLineEdit;
  auto* raising = new Raising;
  layout->addWidget(first);
  layout->addWidget(second);
  layout->addWidget(raising);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  second->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), second);

  raising->raise = [] { throw std::runtime_error("Unable to write to /x"); };
  SeenBox seen;
  bool focusInBox = false;
  QTimer::singleShot(0, [&] {
    // The box takes the activation, as a window manager gives it.
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    QApplication::setActiveWindow(box);
    focusInBox = QApplication::activeWindow() == box && QApplication::focusWidget() != second;
  });
  CloseNextBox(seen);
  Press(raising);
  ASSERT_TRUE(seen.seen);
  EXPECT_TRUE(focusInBox);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == second; }, 5000));
  EXPECT_EQ(QApplication::activeWindow(), &window);
}
