#pragma once

#include "extension/commissions/GroupGridDialog.h"

namespace quill {

// The window of the client/group discounts report: the two ranges on top,
// the report grid under them, the buttons at the bottom right. The rules
// are in CriteriosDescCliGrupo.
class frmCriteriosDescCliGrupo : public GroupGridDialog {
 public:
  frmCriteriosDescCliGrupo(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
