#include "main/main_window.h"

#include "main/raise_later.h"
#include "main/screenshot_preview.h"
#include "main/window_look.h"
#include "picture/picture.h"
#include "shell/folder_combo.h"
#include "shell/folder_tree.h"
#include "store/store.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

TfmMain* fmMain = nullptr;

namespace {

// The start-up selection is made inside an event sent to the window, so a
// failure of the first folder load reaches the application's error reporter
// like any handler's failure, and construction goes on.
const QEvent::Type StartupSelection = static_cast<QEvent::Type>(QEvent::registerEventType());

QFrame* LoweredBox(QWidget* parent, const char* name, const QRect& geometry) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QLatin1String(name));
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setLineWidth(1);
  frame->setGeometry(geometry);
  return frame;
}

// A label that sizes itself to its one-line text, 13 pixels high.
QLabel* Caption(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setMargin(0);
  label->setIndent(0);
  label->setGeometry(left, top, label->sizeHint().width(), 13);
  return label;
}

template <typename Control>
Control* Place(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(QLatin1String(name));
  control->setGeometry(geometry);
  return control;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
  auto* button = Place(new QPushButton(text, parent), name, geometry);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setEnabled(false);
  return button;
}

QComboBox* EditableCombo(QWidget* parent, const char* name, const QRect& geometry) {
  auto* combo = Place(new QComboBox(parent), name, geometry);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setDuplicatesEnabled(true);
  return combo;
}

}  // namespace

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent) {
  fmMain = this;
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(QStringLiteral("Vellumor New"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(WindowFont());
  setContextMenuPolicy(Qt::NoContextMenu);

  buildMenu();
  buildControls();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();

  QEvent startup(StartupSelection);
  QCoreApplication::sendEvent(this, &startup);

  CenterOnDesktop(this);
  show();
}

TfmMain::~TfmMain() {
  if (fmMain == this) fmMain = nullptr;
}

void TfmMain::buildMenu() {
  mmMain = menuBar();
  mmMain->setObjectName(QStringLiteral("mmMain"));

  mmMainFile = mmMain->addMenu(QStringLiteral("&Файл"));
  mmMainFile->setObjectName(QStringLiteral("mmMainFile"));
  mmMainFileExit = mmMainFile->addAction(QStringLiteral("&Выход"));
  mmMainFileExit->setObjectName(QStringLiteral("mmMainFileExit"));
  mmMainFileExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
  connect(mmMainFileExit, &QAction::triggered, this, &TfmMain::mmMainFileExitClick);

  mmMaimHelp = mmMain->addMenu(QStringLiteral("&Справка"));
  mmMaimHelp->setObjectName(QStringLiteral("mmMaimHelp"));
  mmMainHelpAbout = mmMaimHelp->addAction(QStringLiteral("&О программе"));
  mmMainHelpAbout->setObjectName(QStringLiteral("mmMainHelpAbout"));
  mmMainHelpAbout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
  connect(mmMainHelpAbout, &QAction::triggered, this, &TfmMain::mmMainHelpAboutClick);

  for (QMenu* menu : {mmMainFile, mmMaimHelp}) {
    menu->setFont(WindowFont());
    menu->setToolTipsVisible(false);
  }
}

void TfmMain::buildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("fmMainClient"));
  client->setFixedSize(ClientWidth, ClientHeight);
  setCentralWidget(client);

  bvPic = LoweredBox(client, "bvPic", {305, 0, 271, 186});
  imgSshot = Place(new ScreenshotPreview(client), "imgSshot", {305, 0, 271, 186});
  bvCenter = LoweredBox(client, "bvCenter", {295, -15, 6, 401});

  lbFile = Caption(client, "lbFile", QStringLiteral("Запускаемая прогамма"), 305, 190);
  lbScreen = Caption(client, "lbScreen", QStringLiteral("Иллюстрация"), 305, 230);
  lbDS = Caption(client, "lbDS", QStringLiteral("Описание программы"), 305, 270);

  stvPath = Place(new shell::FolderTree(client), "stvPath", {0, 25, 291, 211});
  scbRoot = Place(new shell::FolderCombo(stvPath, client), "scbRoot", {0, 1, 291, 22});
  scbRoot->setMaxVisibleItems(8);

  auto labelled = [&](QLineEdit*& edit, QLabel*& label, const char* name, const char* labelName,
                      const QString& text, int top) {
    edit = Place(new QLineEdit(client), name, {0, top, 291, 21});
    label = Caption(client, labelName, text, 0, top - 3 - 13);
    label->setBuddy(edit);
  };
  labelled(leType, leTypeLabel, "leType", "leTypeLabel", QStringLiteral("Раздел приложения"), 256);
  labelled(leName, leNameLabel, "leName", "leNameLabel", QStringLiteral("Название программы"), 295);
  labelled(leDesc, leDescLabel, "leDesc", "leDescLabel", QStringLiteral("Описание программы"), 335);

  btAdd = Button(client, "btAdd", QStringLiteral("Добавить"), {5, 365, 75, 25});
  btDel = Button(client, "btDel", QStringLiteral("Удалить"), {110, 365, 75, 25});
  btSave = Button(client, "btSave", QStringLiteral("Сохранить"), {215, 365, 75, 25});

  cbFile = EditableCombo(client, "cbFile", {305, 205, 271, 21});
  cbScreenshot = EditableCombo(client, "cbScreenshot", {305, 245, 271, 21});
  lbFile->setBuddy(cbFile);
  lbScreen->setBuddy(cbScreenshot);

  mmDesc = Place(new QPlainTextEdit(client), "mmDesc", {305, 285, 271, 101});
  mmDesc->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  mmDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmDesc->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mmDesc->setTabChangesFocus(true);
  lbDS->setBuddy(mmDesc);

  const QList<QWidget*> tabOrder{scbRoot, stvPath, leType,  leName, leDesc, btAdd,
                                 btDel,   btSave,  cbFile, cbScreenshot, mmDesc};
  for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i) setTabOrder(tabOrder[i], tabOrder[i + 1]);
  scbRoot->setFocus();

  connect(stvPath, &shell::FolderTree::changed, this, &TfmMain::stvPathChange);
  connect(stvPath, &shell::FolderTree::clickedInTree, this, &TfmMain::stvPathClick);
  connect(stvPath, &shell::FolderTree::refreshFailed, this, &TfmMain::showRefreshFailure);
  // Every edit of the illustration's name and every pick from its list, and
  // leaving the box.
  connect(cbScreenshot, &QComboBox::editTextChanged, this, Guarded(this, [this] { cbScreenshotExit(); }));
  cbScreenshot->installEventFilter(this);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbScreenshot && event->type() == QEvent::FocusOut) Guarded(this, [this] { cbScreenshotExit(); })();
  return QMainWindow::eventFilter(watched, event);
}

bool TfmMain::event(QEvent* event) {
  if (event->type() == StartupSelection) {
    stvPath->start();
    return true;
  }
  return QMainWindow::event(event);
}

bool TfmMain::selectFolder(const QString& path) { return stvPath->selectFolder(path); }

void TfmMain::LoadFolder() {
  const std::string path = QFile::encodeName(stvPath->selectedPath()).toStdString();
  CurrentDir = store::IncludeSlash(path);
  MemoPath = CurrentDir + std::string(store::LongTextFileName);
}

void TfmMain::ShowScreenshot() {
  const QString name = cbScreenshot->currentText();
  if (name.isEmpty()) {
    imgSshot->hide();
    return;
  }
  // The name is appended to the folder as it stands: a sub-folder part
  // reaches into a sub-folder, an absolute path names nothing.
  const std::string path = CurrentDir + QFile::encodeName(name).toStdString();
  const QString nativePath = QFile::decodeName(QByteArray::fromStdString(path));
  if (!QDir::isAbsolutePath(nativePath) || !QFileInfo(nativePath).isFile() || !store::IsImageFile(path)) {
    imgSshot->hide();
    return;
  }
  imgSshot->setPicture(picture::LoadPicture(path));
  imgSshot->show();
}

void TfmMain::cbScreenshotExit() { ShowScreenshot(); }

void TfmMain::stvPathChange() { LoadFolder(); }

void TfmMain::stvPathClick() { LoadFolder(); }

void TfmMain::mmMainFileExitClick() { QCoreApplication::quit(); }

void TfmMain::mmMainHelpAboutClick() {
  if (aboutDialog_ != nullptr) aboutDialog_->exec();
}

void TfmMain::showRefreshFailure(const QString& message) {
  // Not the modal error box: the refresh runs on its own, and the user goes
  // on working while the notice is up.
  if (refreshNotice_ == nullptr) {
    refreshNotice_ = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
    refreshNotice_->setObjectName(QStringLiteral("refreshNotice"));
    refreshNotice_->setWindowModality(Qt::NonModal);
    refreshNotice_->setAttribute(Qt::WA_QuitOnClose, false);
  }
  refreshNotice_->setText(message);
  refreshNotice_->show();
}
