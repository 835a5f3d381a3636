#include "tests/shell/qt_test_env.h"

#include <QApplication>

int main(int argc, char** argv) {
  return RunQtTests(argc, argv, [](int& count, char** values) { return new QApplication(count, values); });
}
