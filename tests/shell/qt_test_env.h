// The environment of the window tests: each test process runs with the
// offscreen platform and a home folder of its own in a temporary folder
// (with a Desktop folder in it), so the folder tree shows a namespace the
// test controls. RunQtTests sets it up, makes the application object and
// runs the GoogleTest cases.
#pragma once

#include <QString>

#include <functional>

class QApplication;

// The temporary home folder and its Desktop folder.
QString TestHome();
QString TestDesktop();

// A fresh empty folder of its own for a test, below the temporary root but
// outside the home folder; removed when the process ends.
QString NewTestFolder();

// Creates a folder (with its parents) and answers its path.
QString MakeFolder(const QString& path);

int RunQtTests(int argc, char** argv, const std::function<QApplication*(int&, char**)>& makeApplication);
