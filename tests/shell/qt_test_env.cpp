#include "tests/shell/qt_test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QTemporaryDir* root = nullptr;
int folders = 0;

}  // namespace

QString TestHome() { return root->filePath(QStringLiteral("home")); }

QString TestDesktop() { return root->filePath(QStringLiteral("home/Desktop")); }

QString MakeFolder(const QString& path) {
  QDir().mkpath(path);
  return QDir::cleanPath(path);
}

QString NewTestFolder() { return MakeFolder(root->filePath(QStringLiteral("work/%1").arg(++folders))); }

int RunQtTests(int argc, char** argv, const std::function<QApplication*(int&, char**)>& makeApplication) {
  ::testing::InitGoogleTest(&argc, argv);
  QTemporaryDir temporary;
  root = &temporary;
  MakeFolder(TestDesktop());
  const QString runtime = MakeFolder(temporary.filePath(QStringLiteral("runtime")));
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("HOME", QFile::encodeName(TestHome()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(TestHome() + QStringLiteral("/.config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(TestHome() + QStringLiteral("/.local/share")));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  int result = 0;
  {
    std::unique_ptr<QApplication> application(makeApplication(argc, argv));
    result = RUN_ALL_TESTS();
  }
  root = nullptr;
  return result;
}
