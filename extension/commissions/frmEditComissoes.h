#pragma once

#include "platform/ui/FormDialog.h"

namespace quill {

// The window of EditComissoes: its title line, the year and the month, and
// the three buttons at the foot.
class frmEditComissoes : public ui::FormDialog {
 public:
  frmEditComissoes(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
