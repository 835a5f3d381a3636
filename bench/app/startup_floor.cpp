// The smallest Qt Widgets program: one empty window (with FLOOR_WITH_TEXT,
// one line of text in it). The start-up benchmark times it beside the real
// program.
#include "app/startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
#ifdef FLOOR_WITH_TEXT
  auto* label = new QLabel(QStringLiteral("Vellumor New"), &window);
  label->adjustSize();
#endif
  InstallStartupProbe(&window);
  window.show();
  return QApplication::exec();
}
