#include "platform/ui/WidgetFormWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "platform/ui/GridColumn.h"

namespace quill::ui {

namespace {
double twips(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }
int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
}  // namespace

int WidgetFormWindow::windowState() const {
  if (window_.isMinimized()) return vb::vbMinimized;
  if (window_.isMaximized()) return vb::vbMaximized;
  return vb::vbNormal;
}

void WidgetFormWindow::setWindowState(int state) {
  switch (state) {
    case vb::vbMinimized:
      window_.setWindowState(Qt::WindowMinimized);
      break;
    case vb::vbMaximized:
      window_.setWindowState(Qt::WindowMaximized);
      break;
    default:
      window_.setWindowState(Qt::WindowNoState);
      break;
  }
}

// VB's Left, Top, Width and Height are those of the window with its frame.
double WidgetFormWindow::left() const { return twips(window_.frameGeometry().x()); }
double WidgetFormWindow::top() const { return twips(window_.frameGeometry().y()); }
double WidgetFormWindow::width() const { return twips(window_.frameGeometry().width()); }
double WidgetFormWindow::height() const { return twips(window_.frameGeometry().height()); }

void WidgetFormWindow::move(double left, double top, double width, double height) {
  const QRect frame = window_.frameGeometry();
  const QRect inner = window_.geometry();
  // The frame's extra width and height, kept when the inner size is set.
  const int extraWidth = frame.width() - inner.width();
  const int extraHeight = frame.height() - inner.height();
  window_.move(pixels(left), pixels(top));
  window_.resize(std::max(1, pixels(width) - extraWidth), std::max(1, pixels(height) - extraHeight));
}

vb::ScreenMetrics WidgetFormWindow::screen() const {
  const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
  vb::ScreenMetrics metrics;
  if (screen) {
    const QRect area = screen->availableGeometry();
    metrics.width = twips(area.width());
    metrics.height = twips(area.height());
  }
  return metrics;
}

}  // namespace quill::ui
