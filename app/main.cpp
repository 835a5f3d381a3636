// The program's entry: the application with its title, the main window
// fmMain (whose construction selects and loads the Desktop before it is
// shown), the hidden About dialog fmAbout, and the main loop. The process
// ends with exit code 0 however the loop ends.

#include "app/about_dialog.h"
#include "app/application.h"
#include "app/startup_probe.h"
#include "main/main_window.h"
#include "main/window_look.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* NoDisplay =
    "vellumor: no display to open: start it in a graphical session (DISPLAY or WAYLAND_DISPLAY).\n";

// While the application object is being made, Qt's messages are held back: if
// no display can be opened, Qt ends the process after several lines of its
// own, and the user gets one clear line instead.
QList<QPair<QtMsgType, QString>> heldMessages;

void HoldMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs(NoDisplay, stderr);
    std::_Exit(1);
  }
  heldMessages.append({type, message});
}

bool DisplayGiven() {
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayGiven()) {
    std::fputs(NoDisplay, stderr);
    return 1;
  }

  qInstallMessageHandler(HoldMessages);
  Application app(argc, argv);
  qInstallMessageHandler(nullptr);
  for (const auto& [type, message] : heldMessages) qt_message_output(type, QMessageLogContext(), message);
  heldMessages.clear();

  QApplication::setFont(WindowFont());

  new TfmMain;
  InstallStartupProbe(fmMain);
  new TfmAbout;
  fmMain->setAboutDialog(fmAbout);

  Application::exec();

  delete fmAbout;
  delete fmMain;
  return 0;
}
