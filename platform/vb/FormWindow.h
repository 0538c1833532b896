#pragma once

namespace quill::vb {

// VB's WindowState values.
inline constexpr int vbNormal = 0;
inline constexpr int vbMinimized = 1;
inline constexpr int vbMaximized = 2;

// The screen a window is shown on, as VB's Screen object describes it: its
// size in twips and how many twips make a pixel (15 at 96 dots per inch).
struct ScreenMetrics {
  double width = 0;
  double height = 0;
  double twipsPerPixelX = 15;
  double twipsPerPixelY = 15;
};

// The position members of a VB form that the system's code uses: its state
// and its place and size in twips. A window that does not offer one of them
// raises Object doesn't support this property or method (438) from it.
class FormWindow {
 public:
  virtual ~FormWindow() = default;

  virtual int windowState() const = 0;  // vbNormal, vbMinimized or vbMaximized
  virtual void setWindowState(int state) = 0;
  virtual double left() const = 0;
  virtual double top() const = 0;
  virtual double width() const = 0;
  virtual double height() const = 0;
  virtual void move(double left, double top, double width, double height) = 0;
  // The screen the window is on (VB's Screen).
  virtual ScreenMetrics screen() const = 0;
};

}  // namespace quill::vb
