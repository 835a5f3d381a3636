#include "app/about_dialog.h"

#include "main/window_look.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

TfmAbout* fmAbout = nullptr;

const QString TfmAbout::ContactAddress = QStringLiteral("vellumor@example.org");

namespace {

constexpr int ClientWidth = 265;
constexpr int ClientHeight = 133;

QLabel* Docked(QWidget* parent, const char* name, const QString& text, int top, int height,
               Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(0, top, ClientWidth, height);
  label->setAlignment(alignment);
  label->setMargin(0);
  label->setIndent(0);
  return label;
}

}  // namespace

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
  fmAbout = this;
  setObjectName(QStringLiteral("fmAbout"));
  setWindowTitle(QStringLiteral("О программе Vellumor New"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(WindowFont());
  setFixedSize(ClientWidth, ClientHeight);
  setFocusPolicy(Qt::StrongFocus);

  Label2 = Docked(this, "Label2", QStringLiteral("Инструкция:"), 0, 16, Qt::AlignHCenter | Qt::AlignTop);
  QFont heading = WindowFont();
  heading.setPixelSize(13);
  heading.setBold(true);
  Label2->setFont(heading);
  QPalette navy = Label2->palette();
  navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
  Label2->setPalette(navy);

  lbText = Docked(this, "lbText",
                  QStringLiteral("Выберите папку с инсталом, заполните поля и нажмите\r\n"
                                 "Сохранить (Добавить).\r\n"
                                 "Все программы должны располагаться вместе со\r\n"
                                 "своими иллюстрациями в отдельных папках!"),
                  16, 75, Qt::AlignLeft | Qt::AlignTop);
  lbText->setWordWrap(true);

  Label3 = Docked(this, "Label3", QStringLiteral("За справками обращайтесь на:"), 91, 13,
                  Qt::AlignHCenter | Qt::AlignTop);

  lbEmail = Docked(this, "lbEmail", ContactAddress, 104, 19, Qt::AlignHCenter | Qt::AlignTop);
  QFont link = WindowFont();
  link.setBold(true);
  lbEmail->setFont(link);
  QPalette blue = lbEmail->palette();
  blue.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xff));
  lbEmail->setPalette(blue);
  lbEmail->setCursor(Qt::PointingHandCursor);
  lbEmail->setMouseTracking(true);
  lbEmail->installEventFilter(this);

  Label1 = Docked(this, "Label1", QString(), 123, 10, Qt::AlignHCenter | Qt::AlignTop);
}

TfmAbout::~TfmAbout() {
  if (fmAbout == this) fmAbout = nullptr;
}

void TfmAbout::lbEmailClick() {
  QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + lbEmail->text(), QUrl::TolerantMode));
}

void TfmAbout::lbEmailMouseMove() {
  QFont font = lbEmail->font();
  font.setUnderline(true);
  lbEmail->setFont(font);
}

void TfmAbout::lbEmailMouseLeave() {
  QFont font = lbEmail->font();
  font.setUnderline(false);
  lbEmail->setFont(font);
}

bool TfmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbEmail) {
    switch (event->type()) {
      case QEvent::MouseMove:
      case QEvent::Enter:
        lbEmailMouseMove();
        break;
      case QEvent::Leave:
        lbEmailMouseLeave();
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            lbEmail->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
          lbEmailClick();
        break;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfmAbout::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      reject();
      break;
    case Qt::Key_Space:
      lbEmailClick();
      break;
    default:
      event->ignore();
      return;
  }
  event->accept();
}

void TfmAbout::setVisible(bool visible) {
  // Centred the first time; afterwards it opens where it was closed.
  if (visible && !placed_) {
    CenterOnDesktop(this);
    placed_ = true;
  }
  QDialog::setVisible(visible);
}
