#pragma once

#include <memory>

#include "extension/components/WaitWindow.h"

class QDialog;
class QLabel;
class QProgressBar;
class QTimer;

namespace quill {
namespace ui {
class UiServices;
}

// The wait window on Qt: the dialog "FrmProgesso" with its caption, the
// label Label1, the progress bar ProgressBar1 and its own timer Timer1
// (500 ms, moving the bar as the system timer does). It is shown through
// the UiServices it is given.
class FrmProgesso : public WaitWindow {
 public:
  explicit FrmProgesso(ui::UiServices& ui);
  ~FrmProgesso() override;

  QDialog& form() { return *form_; }
  QProgressBar& ProgressBar1() { return *progressBar_; }
  QTimer& Timer1() { return *timer_; }
  QLabel& Label1() { return *label_; }

  void setCaption(std::string_view caption) override;
  void setMessage(std::string_view message) override;
  void setProgressMaximum(int maximum) override;
  void setProgressValue(int value) override;
  void show() override;
  void hide() override;
  void advance() override;

 private:
  ui::UiServices& ui_;
  std::unique_ptr<QDialog> form_;
  QLabel* label_;
  QProgressBar* progressBar_;
  QTimer* timer_;
};

}  // namespace quill
