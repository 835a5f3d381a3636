// The main window's controls against their table: name, kind, place, size,
// text and state; the tab order; the window itself.
#include "main/main_window.h"
#include "main/screenshot_preview.h"

#include "shell/folder_combo.h"
#include "shell/folder_tree.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Control {
  const char* name;
  const char* kind;  // class the control must inherit
  QRect geometry;    // client-area pixels
  const char* text;  // nullptr: the control has no text of its own
  bool enabled;
};

const Control Controls[] = {
    {"bvPic", "QFrame", {305, 0, 271, 186}, nullptr, true},
    {"imgSshot", "QWidget", {305, 0, 271, 186}, nullptr, true},
    {"bvCenter", "QFrame", {295, -15, 6, 401}, nullptr, true},
    {"stvPath", "shell::FolderTree", {0, 25, 291, 211}, nullptr, true},
    {"scbRoot", "shell::FolderCombo", {0, 1, 291, 22}, nullptr, true},
    {"leType", "QLineEdit", {0, 256, 291, 21}, "", true},
    {"leName", "QLineEdit", {0, 295, 291, 21}, "", true},
    {"leDesc", "QLineEdit", {0, 335, 291, 21}, "", true},
    {"btAdd", "QPushButton", {5, 365, 75, 25}, "Добавить", false},
    {"btDel", "QPushButton", {110, 365, 75, 25}, "Удалить", false},
    {"btSave", "QPushButton", {215, 365, 75, 25}, "Сохранить", false},
    {"cbFile", "QComboBox", {305, 205, 271, 21}, "", true},
    {"cbScreenshot", "QComboBox", {305, 245, 271, 21}, "", true},
    {"mmDesc", "QPlainTextEdit", {305, 285, 271, 101}, "", true},
};

// Labels size themselves to their text: only the top left corner and the
// height are fixed.
struct Caption {
  const char* name;
  QPoint topLeft;
  const char* text;
  const char* buddy;
};

const Caption Captions[] = {
    {"lbFile", {305, 190}, "Запускаемая прогамма", "cbFile"},
    {"lbScreen", {305, 230}, "Иллюстрация", "cbScreenshot"},
    {"lbDS", {305, 270}, "Описание программы", "mmDesc"},
    {"leTypeLabel", {0, 240}, "Раздел приложения", "leType"},
    {"leNameLabel", {0, 279}, "Название программы", "leName"},
    {"leDescLabel", {0, 319}, "Описание программы", "leDesc"},
};

QString TextOf(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
  if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) return memo->toPlainText();
  return {};
}

QWidget* Client(TfmMain& window) { return window.centralWidget(); }

}  // namespace

TEST(MainWindowLayout, EveryControlHasItsNameKindPlaceTextAndState) {
  TfmMain window;
  for (const Control& c : Controls) {
    SCOPED_TRACE(c.name);
    auto* widget = window.findChild<QWidget*>(QLatin1String(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(c.kind)) << widget->metaObject()->className();
    EXPECT_EQ(widget->parentWidget(), Client(window));
    EXPECT_EQ(widget->geometry(), c.geometry);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->isEnabled(), c.enabled);
    EXPECT_TRUE(widget->toolTip().isEmpty());
    if (c.text != nullptr) EXPECT_EQ(TextOf(widget), QString::fromUtf8(c.text));
  }
  EXPECT_EQ(window.cbFile->count(), 0);
  EXPECT_EQ(window.cbScreenshot->count(), 0);
  EXPECT_TRUE(window.cbFile->isEditable());
  EXPECT_TRUE(window.cbScreenshot->isEditable());
  EXPECT_EQ(window.scbRoot->maxVisibleItems(), 8);
  EXPECT_EQ(window.mmDesc->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(window.mmDesc->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(window.imgSshot->picture().isEmpty());
  EXPECT_TRUE(window.imgSshot->isVisibleTo(&window));
  // The illustration lies over its bevel frame.
  const QObjectList order = Client(window)->children();
  EXPECT_GT(order.indexOf(window.imgSshot), order.indexOf(window.bvPic));
}

TEST(MainWindowLayout, LabelsStandAtTheirPlacesOneLineHigh) {
  TfmMain window;
  for (const Caption& c : Captions) {
    SCOPED_TRACE(c.name);
    auto* label = window.findChild<QLabel*>(QLatin1String(c.name));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry().topLeft(), c.topLeft);
    EXPECT_EQ(label->height(), 13);
    EXPECT_EQ(label->text(), QString::fromUtf8(c.text));
    // The whole text fits the label's width.
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    ASSERT_NE(label->buddy(), nullptr);
    EXPECT_EQ(label->buddy()->objectName(), QLatin1String(c.buddy));
  }
}

TEST(MainWindowLayout, ButtonTextsFitTheirButtons) {
  TfmMain window;
  for (QPushButton* button : {window.btAdd, window.btDel, window.btSave}) {
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
        << button->objectName().toStdString();
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
}

TEST(MainWindowLayout, WindowIsFixedSizeWithItsCaptionFontAndClientArea) {
  TfmMain window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vellumor New"));
  EXPECT_EQ(window.objectName(), QStringLiteral("fmMain"));
  const int menuHeight = window.menuBar()->height();
  EXPECT_GT(menuHeight, 0);
  EXPECT_EQ(Client(window)->geometry(), QRect(0, menuHeight, 582, 394));
  EXPECT_EQ(window.size(), QSize(582, 394 + menuHeight));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
  for (QWidget* control : {static_cast<QWidget*>(window.leType), static_cast<QWidget*>(window.btAdd),
                           static_cast<QWidget*>(window.lbFile), static_cast<QWidget*>(window.stvPath)}) {
    EXPECT_EQ(control->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(control->font().pixelSize(), 11);
    EXPECT_FALSE(control->font().bold());
    EXPECT_EQ(QFontInfo(control->font()).family(), QStringLiteral("DejaVu Sans"));
  }
}

TEST(MainWindowLayout, CentredOnTheDesktopWhenFirstShown) {
  TfmMain window;
  ASSERT_TRUE(window.isVisible());
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  const QRect frame = window.frameGeometry();
  // The frame is not known before the first show; it may shift the centre
  // by its own width.
  const int slackX = (frame.width() - window.width()) / 2 + 1;
  const int slackY = (frame.height() - window.height()) / 2 + 1;
  EXPECT_LE(std::abs(frame.center().x() - desktop.center().x()), slackX);
  EXPECT_LE(std::abs(frame.center().y() - desktop.center().y()), slackY);
  EXPECT_GE(frame.x(), 0);
  EXPECT_GE(frame.y(), 0);
}

TEST(MainWindowLayout, TabVisitsTheControlsInOrderSkippingDisabledButtons) {
  TfmMain window;
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(QApplication::focusWidget(), window.scbRoot);

  auto focusedName = [] {
    QWidget* focus = QApplication::focusWidget();
    // An editable combo box takes the focus in its line edit.
    while (focus != nullptr && focus->objectName().isEmpty()) focus = focus->parentWidget();
    return focus != nullptr ? focus->objectName() : QString();
  };
  auto visit = [&](int steps) {
    QStringList names;
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      names << focusedName();
    }
    return names;
  };
  EXPECT_EQ(visit(8), (QStringList{"stvPath", "leType", "leName", "leDesc", "cbFile", "cbScreenshot", "mmDesc",
                                   "scbRoot"}));

  window.btAdd->setEnabled(true);
  window.btSave->setEnabled(true);
  EXPECT_EQ(visit(10), (QStringList{"stvPath", "leType", "leName", "leDesc", "btAdd", "btSave", "cbFile",
                                    "cbScreenshot", "mmDesc", "scbRoot"}));
}
