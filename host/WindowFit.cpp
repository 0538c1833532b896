#include "host/WindowFit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

namespace quill::host {

namespace {

// Most of the screen the widget is on (or of the primary one).
int widest(const QWidget& widget) {
  const QScreen* screen = widget.screen() ? widget.screen() : QApplication::primaryScreen();
  return screen ? screen->availableGeometry().width() * 9 / 10 : 1600;
}

}  // namespace

void widenForTitle(QWidget& window) {
  // The title bar's font is the window manager's; the application's bold
  // font is a fair measure of it.
  QFont font = window.font();
  font.setBold(true);
  const int buttons = 140;
  const int needed = QFontMetrics(font).horizontalAdvance(window.windowTitle()) + buttons;
  window.setMinimumWidth(std::min(widest(window), std::max(window.minimumWidth(), needed)));
}

void widenForText(QLineEdit& edit) {
  const int margins = 24;
  const int needed = edit.fontMetrics().horizontalAdvance(edit.text()) + margins;
  edit.setMinimumWidth(std::min(widest(edit) - 200, std::max(edit.minimumWidth(), needed)));
}

}  // namespace quill::host
