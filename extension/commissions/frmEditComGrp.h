#pragma once

#include "extension/commissions/GroupGridDialog.h"

namespace quill {

// The window of EditComGrp: the seller list above the group grid; Confirma
// and Cancela on the right.
class frmEditComGrp : public GroupGridDialog {
 public:
  frmEditComGrp(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
