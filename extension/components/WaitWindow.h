#pragma once

#include <string_view>

namespace quill {

// The wait window shown while a company opens and the ERP API starts
// (FrmProgesso): a caption, a line of text and a progress bar that a timer
// keeps moving. Business code sees only this, so that the extension's core
// opens a company without a window system; the library wires the real
// window (quill_components_ui), tests a recording one.
class WaitWindow {
 public:
  virtual ~WaitWindow() = default;

  virtual void setCaption(std::string_view caption) = 0;
  // The line of text; the window says the ERP API is starting until told
  // otherwise.
  virtual void setMessage(std::string_view message) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressValue(int value) = 0;
  // Shown without blocking (not modal).
  virtual void show() = 0;
  virtual void hide() = 0;
  // One step of the bar: add 1, back to 1 once it reaches the maximum; the
  // bar is redrawn at once.
  virtual void advance() = 0;
};

}  // namespace quill
