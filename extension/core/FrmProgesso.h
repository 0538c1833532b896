#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

namespace quill {

// The wait window shown while a company opens and the ERP API starts:
// a caption, a line of text and a progress bar that keeps moving.
class FrmProgesso : public QDialog {
 public:
  explicit FrmProgesso(QWidget* parent = nullptr);

  QProgressBar& ProgressBar1() { return *progressBar_; }
  QTimer& Timer1() { return *timer_; }
  QLabel& Label1() { return *label_; }

  // One step of the bar: add 1, and back to 1 once it reaches the maximum.
  void advance();

 private:
  QLabel* label_;
  QProgressBar* progressBar_;
  QTimer* timer_;
};

}  // namespace quill
