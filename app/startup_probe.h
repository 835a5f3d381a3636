// For the start-up benchmark only: when VELLUMOR_STARTUP_PROBE is set in the
// environment, the first paint of `window` prints "shown" on standard output
// and ends the process at once. Without the variable nothing is installed and
// the program runs as always.
#pragma once

class QWidget;

void InstallStartupProbe(QWidget* window);
