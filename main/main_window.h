// The main window fmMain: the folder tree and folder combo box at the top
// left, the three record fields and the three buttons below them, the
// illustration, the two file fields and the long description on the right,
// and the menu. One fixed-size window; every control's objectName is its name
// below, so that tests and accessibility tools find it.
#pragma once

#include <QMainWindow>

#include <string>

class QAction;
class QComboBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QMessageBox;
class QPlainTextEdit;
class QPushButton;
class ScreenshotPreview;

namespace shell {
class FolderCombo;
class FolderTree;
}  // namespace shell

class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  // Sets fmMain to the new window before its controls are built, builds them,
  // makes the start-up selection of the Desktop (whose change event loads
  // the folder) and shows the window centred on the desktop.
  explicit TfmMain(QWidget* parent = nullptr);
  ~TfmMain() override;

  // The size of the client area below the menu bar, in logical pixels.
  static constexpr int ClientWidth = 582;
  static constexpr int ClientHeight = 394;

  // The dialog that Help > About shows modally.
  void setAboutDialog(QDialog* dialog) { aboutDialog_ = dialog; }

  // Expands the folder tree down to a file-system folder and selects it, as a
  // pick in scbRoot does. Answers false when the folder is not in the tree.
  bool selectFolder(const QString& path);

  // Controls, by their names.
  QFrame* bvPic = nullptr;
  ScreenshotPreview* imgSshot = nullptr;
  QFrame* bvCenter = nullptr;
  QLabel* lbFile = nullptr;
  QLabel* lbScreen = nullptr;
  QLabel* lbDS = nullptr;
  shell::FolderTree* stvPath = nullptr;
  shell::FolderCombo* scbRoot = nullptr;
  QLineEdit* leType = nullptr;
  QLabel* leTypeLabel = nullptr;
  QLineEdit* leName = nullptr;
  QLabel* leNameLabel = nullptr;
  QLineEdit* leDesc = nullptr;
  QLabel* leDescLabel = nullptr;
  QPushButton* btAdd = nullptr;
  QPushButton* btDel = nullptr;
  QPushButton* btSave = nullptr;
  QComboBox* cbFile = nullptr;
  QComboBox* cbScreenshot = nullptr;
  QPlainTextEdit* mmDesc = nullptr;

  QMenuBar* mmMain = nullptr;
  QMenu* mmMainFile = nullptr;
  QAction* mmMainFileExit = nullptr;
  QMenu* mmMaimHelp = nullptr;
  QAction* mmMainHelpAbout = nullptr;

  // The editing state of the loaded folder (native byte strings).
  std::string CurrentDir;     // the selected folder's path ending with the separator
  std::string MemoPath;       // CurrentDir followed by memo.desc
  bool Modified = false;      // a field changed since the last load or save
  std::string OldScreenshot;  // cbScreenshot's text when it last got the focus

  // Fills the window from the folder selected in stvPath.
  void LoadFolder();

  // Shows the illustration that cbScreenshot names in CurrentDir, or hides
  // the preview when the name is empty or names no image file. Raises the
  // decoder's picture::Error when the file does not load; the preview then
  // keeps the picture and visibility it had.
  void ShowScreenshot();

  // Handlers.
  void cbScreenshotExit();
  void stvPathChange();
  void stvPathClick();
  void mmMainFileExitClick();
  void mmMainHelpAboutClick();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildMenu();
  void showRefreshFailure(const QString& message);

  QDialog* aboutDialog_ = nullptr;
  QMessageBox* refreshNotice_ = nullptr;
};

// The program's main window, set at the start of its construction.
extern TfmMain* fmMain;
