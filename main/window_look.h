// What the program's windows share: their font and their first placement.
#pragma once

#include <QFont>

class QWidget;

// The font of every window and control: an installed sans-serif (DejaVu
// Sans) at 11 pixels, regular.
QFont WindowFont();

// Moves a top-level window so that it is centred on the combined area of all
// screens, never at a negative coordinate.
void CenterOnDesktop(QWidget* window);
