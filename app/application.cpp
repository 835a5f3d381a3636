#include "app/application.h"

#include "app/version.h"
#include "main/abort.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <exception>

const QString Application::Title = QStringLiteral("Vellumor New");

QString ErrorBoxText(const QString& message) {
  if (message.isEmpty()) return message;
  // The last character as a code point, a surrogate pair taken whole.
  const char32_t last = message.size() >= 2 && message.back().isLowSurrogate() &&
                                message.at(message.size() - 2).isHighSurrogate()
                            ? QChar::surrogateToUcs4(message.at(message.size() - 2), message.back())
                            : message.back().unicode();
  return last > U'.' ? message + QLatin1Char('.') : message;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("vellumor"));
  setApplicationDisplayName(Title);
  setApplicationVersion(QStringLiteral(VELLUMOR_VERSION));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const Abort&) {
    // Silent by design.
  } catch (const std::exception& error) {
    showError(QString::fromUtf8(error.what()));
  }
  return false;
}

void Application::showError(const QString& message) {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  if (QWidget* grabber = QWidget::keyboardGrabber()) grabber->releaseKeyboard();

  const QPointer<QWidget> active = QApplication::activeWindow();
  const QPointer<QWidget> focused = QApplication::focusWidget();

  QMessageBox box(QMessageBox::Critical, applicationDisplayName(), ErrorBoxText(message), QMessageBox::Ok,
                  active.data());
  box.setObjectName(QStringLiteral("errorBox"));
  box.setWindowModality(Qt::ApplicationModal);
  box.setTextFormat(Qt::PlainText);
  box.exec();

  if (active) {
    active->activateWindow();
    if (focused && focused->window() == active) focused->setFocus(Qt::OtherFocusReason);
  }
}
