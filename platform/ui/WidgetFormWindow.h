#pragma once

#include "platform/vb/FormWindow.h"

class QWidget;

namespace quill::ui {

// A real window as the window-position routines of the INI class see it:
// its state and its frame's place and size in twips (15 a pixel), on the
// screen it is shown on.
class WidgetFormWindow : public vb::FormWindow {
 public:
  explicit WidgetFormWindow(QWidget& window) : window_(window) {}

  int windowState() const override;
  void setWindowState(int state) override;
  double left() const override;
  double top() const override;
  double width() const override;
  double height() const override;
  void move(double left, double top, double width, double height) override;
  vb::ScreenMetrics screen() const override;

 private:
  QWidget& window_;
};

}  // namespace quill::ui
