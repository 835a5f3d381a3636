// The main window's tests run under an application object that stands in
// for the program's error reporter: it catches what a handler lets escape
// and records its message here.
#pragma once

#include <string>
#include <vector>

std::vector<std::string>& ReportedErrors();
