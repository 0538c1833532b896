#pragma once

#include "platform/ui/FormDialog.h"

namespace quill {

// The window of the price-line editor: the line and its start date in a
// band on top, the article grid below, the buttons in the foot. It
// stretches with its frame; the rules are in EditLinPrecos.
class frmEditLinPrecos : public ui::FormDialog {
 public:
  frmEditLinPrecos(ui::Form& form, ui::UiServices& ui);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutControls();
};

}  // namespace quill
