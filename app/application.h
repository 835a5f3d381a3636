// The application object and the program's one error reporter.
//
// Every event goes through notify(); whatever a handler raises and lets
// escape is caught there: the silent Abort is dropped, any std::exception is
// shown in the error box, and the program goes on with the next event. This
// holds inside the event loop of a modal box or dialog as well.
#pragma once

#include <QApplication>
#include <QString>

class Application : public QApplication {
  Q_OBJECT

 public:
  // The application title: the error box's caption and the main window's.
  static const QString Title;  // "Vellumor New"

  Application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows `message` in the error box: caption the application title, the
  // stop icon, one OK button, modal over every window of the program. The
  // mouse grab ends first; afterwards the window that was active and its
  // focused control get the focus back.
  static void showError(const QString& message);
};

// The text of the error box for a message: a "." is appended when the last
// character's code point is above U+002E ("."), so a message ending in a
// letter, a digit, ":" or "?" gains the point and one ending in ".", "!",
// ",", ")", "-", a quotation mark or a space does not. Empty stays empty.
QString ErrorBoxText(const QString& message);
