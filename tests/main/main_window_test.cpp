// The main window's behaviour: start-up selection, the folder combo box, the
// auto-refresh, the menu and its short-cuts.
#include "main/main_window.h"

#include "shell/folder_combo.h"
#include "shell/folder_model.h"
#include "shell/folder_tree.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

std::string Slashed(const QString& path) { return path.toStdString() + "/"; }

// Records what fmMain held when the main window was first shown.
class FirstShow : public QObject {
 public:
  bool seen = false;
  TfmMain* global = nullptr;
  std::string currentDir;
  QString comboText;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!seen && event->type() == QEvent::Show && watched->inherits("TfmMain")) {
      seen = true;
      global = fmMain;
      currentDir = fmMain != nullptr ? fmMain->CurrentDir : std::string();
      comboText = fmMain != nullptr ? fmMain->scbRoot->currentText() : QString();
    }
    return false;
  }
};

}  // namespace

TEST(MainWindow, DesktopIsLoadedBeforeTheWindowIsFirstShown) {
  FirstShow probe;
  qApp->installEventFilter(&probe);
  TfmMain window;
  qApp->removeEventFilter(&probe);
  ASSERT_TRUE(probe.seen);
  EXPECT_EQ(probe.global, &window);
  EXPECT_EQ(probe.currentDir, Slashed(TestDesktop()));
  EXPECT_EQ(probe.comboText, QStringLiteral("Рабочий стол"));
  EXPECT_EQ(fmMain, &window);
  EXPECT_EQ(window.stvPath->selectedPath(), TestDesktop());
  EXPECT_EQ(window.MemoPath, Slashed(TestDesktop()) + "memo.desc");
  EXPECT_FALSE(window.Modified);
}

TEST(MainWindow, SelectFolderLoadsIt) {
  const QString folder = MakeFolder(NewTestFolder() + "/Программа");
  TfmMain window;
  ASSERT_TRUE(window.selectFolder(folder));
  EXPECT_EQ(window.CurrentDir, Slashed(folder));
  EXPECT_EQ(window.MemoPath, Slashed(folder) + "memo.desc");
  EXPECT_EQ(window.scbRoot->currentText(), QStringLiteral("Программа"));
}

TEST(MainWindow, ComputerGivesItsDisplayNameAsFolder) {
  TfmMain window;
  window.stvPath->selectIndex(window.stvPath->folders()->computerIndex());
  EXPECT_EQ(window.CurrentDir, std::string("Компьютер/"));
}

TEST(MainWindow, ScbRootPickSelectsTheFolderOnceAndTheSelectedOneNotAtAll) {
  MakeFolder(TestDesktop() + "/Игры");
  TfmMain window;
  QSignalSpy changed(window.stvPath, &shell::FolderTree::changed);
  const int row = window.scbRoot->findText(QStringLiteral("Игры"));
  ASSERT_GE(row, 0);
  window.scbRoot->setCurrentIndex(row);
  emit window.scbRoot->activated(row);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(window.stvPath->selectedPath(), TestDesktop() + "/Игры");
  EXPECT_EQ(window.CurrentDir, Slashed(TestDesktop() + "/Игры"));

  const int same = window.scbRoot->currentIndex();
  emit window.scbRoot->activated(same);
  EXPECT_EQ(changed.count(), 1);
  QDir(TestDesktop() + "/Игры").removeRecursively();
}

TEST(MainWindow, FileCreatedByAnotherProcessReloadsTheFolder) {
  const QString folder = NewTestFolder();
  const QString other = NewTestFolder();
  TfmMain window;
  ASSERT_TRUE(window.selectFolder(folder));
  QSignalSpy changed(window.stvPath, &shell::FolderTree::changed);
  window.CurrentDir.clear();  // so the reload shows in the state it forms
  ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("/dev/null"), folder + "/program.desc"}), 0);
  ASSERT_TRUE(changed.wait(5000));
  EXPECT_EQ(window.CurrentDir, Slashed(folder));

  // A file created elsewhere does not reload this folder.
  changed.clear();
  window.CurrentDir.clear();
  ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {other + "/program.desc"}), 0);
  EXPECT_FALSE(changed.wait(300));
  EXPECT_EQ(window.CurrentDir, std::string());
}

TEST(MainWindow, ReloadFailureIsShownWithoutAModalBox) {
  TfmMain window;
  emit window.stvPath->refreshFailed(QStringLiteral("Cannot open file \"memo.desc\". Permission denied"));
  auto* notice = window.findChild<QMessageBox*>(QStringLiteral("refreshNotice"));
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->windowModality(), Qt::NonModal);
  EXPECT_EQ(notice->text(), QStringLiteral("Cannot open file \"memo.desc\". Permission denied"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(window.isEnabled());
}

TEST(MainWindow, MenuHasItsItemsAndShortCuts) {
  TfmMain window;
  EXPECT_EQ(window.mmMain->objectName(), QStringLiteral("mmMain"));
  EXPECT_EQ(window.mmMainFile->title(), QStringLiteral("&Файл"));
  EXPECT_EQ(window.mmMainFileExit->text(), QStringLiteral("&Выход"));
  EXPECT_EQ(window.mmMainFileExit->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
  EXPECT_EQ(window.mmMaimHelp->objectName(), QStringLiteral("mmMaimHelp"));
  EXPECT_EQ(window.mmMaimHelp->title(), QStringLiteral("&Справка"));
  EXPECT_EQ(window.mmMainHelpAbout->text(), QStringLiteral("&О программе"));
  EXPECT_EQ(window.mmMainHelpAbout->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F1));
  const QList<QAction*> top = window.mmMain->actions();
  ASSERT_EQ(top.size(), 2);
  EXPECT_EQ(top[0]->menu(), window.mmMainFile);
  EXPECT_EQ(top[1]->menu(), window.mmMaimHelp);
}

TEST(MainWindow, CtrlF1ShowsTheAboutDialogModally) {
  TfmMain window;
  QDialog about;
  window.setAboutDialog(&about);
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  bool shownModally = false;
  QTimer::singleShot(0, [&] {
    shownModally = about.isVisible() && QApplication::activeModalWidget() == &about;
    about.reject();
  });
  QTest::keyClick(window.scbRoot, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_TRUE(shownModally);
  EXPECT_FALSE(about.isVisible());
}

TEST(MainWindow, AltXEndsTheProgramWithoutAQuestion) {
  TfmMain window;
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.leName->setText(QStringLiteral("unsaved"));
  QSignalSpy exit(window.mmMainFileExit, &QAction::triggered);
  bool modalSeen = false;
  QTimer press;
  press.setSingleShot(true);
  QObject::connect(&press, &QTimer::timeout, [&] {
    QTest::keyClick(window.leName, Qt::Key_X, Qt::AltModifier);
    modalSeen = QApplication::activeModalWidget() != nullptr;
  });
  press.start(0);
  QTimer guard;  // ends the loop only if Alt+X did not
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  guard.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(exit.count(), 1);
  EXPECT_FALSE(modalSeen);
  EXPECT_FALSE(window.isVisible());
}

TEST(MainWindow, AccessLettersOpenTheMenus) {
  struct Case {
    char32_t letter;
    const char* menu;
  };
  for (const Case c : {Case{U'Ф', "mmMainFile"}, Case{U'С', "mmMaimHelp"}}) {
    SCOPED_TRACE(c.menu);
    TfmMain window;
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* menu = window.findChild<QMenu*>(QLatin1String(c.menu));
    ASSERT_NE(menu, nullptr);
    const QString text = QString::fromUcs4(&c.letter, 1).toLower();
    QTest::sendKeyEvent(QTest::Press, window.scbRoot, static_cast<Qt::Key>(c.letter), text, Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Release, window.scbRoot, static_cast<Qt::Key>(c.letter), text, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    menu->close();
  }
}
