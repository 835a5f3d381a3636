#include "tests/main/reported_errors.h"
#include "tests/shell/qt_test_env.h"

#include <QApplication>

#include <exception>

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

namespace {

class ReportingApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      ReportedErrors().emplace_back(error.what());
      return true;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  return RunQtTests(argc, argv, [](int& count, char** values) { return new ReportingApplication(count, values); });
}
