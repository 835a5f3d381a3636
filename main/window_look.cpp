#include "main/window_look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QFont WindowFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setWeight(QFont::Normal);
  return font;
}

void CenterOnDesktop(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect desktop = screen->virtualGeometry();
  // Before the first show the frame is not known yet; the window's own size
  // stands for it.
  const QSize size = window->isVisible() ? window->frameGeometry().size() : window->size();
  const int x = desktop.x() + (desktop.width() - size.width()) / 2;
  const int y = desktop.y() + (desktop.height() - size.height()) / 2;
  window->move(std::max(0, x), std::max(0, y));
}
