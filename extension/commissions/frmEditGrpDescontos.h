#pragma once

#include "extension/commissions/GroupGridDialog.h"

namespace quill {

// The window of EditGrpDescontos: the client (code, name, list) above the
// group grid; Imprimir on the left, Confirma and Cancela on the right.
class frmEditGrpDescontos : public GroupGridDialog {
 public:
  frmEditGrpDescontos(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
