#include "app/application.h"
#include "tests/shell/qt_test_env.h"

int main(int argc, char** argv) {
  return RunQtTests(argc, argv, [](int& count, char** values) { return new Application(count, values); });
}
