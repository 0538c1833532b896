#pragma once

#include "extension/reports/CriteriosDialog.h"

namespace quill {

// The window of the price-line changes criteria; the rules are in
// CriteriosAltLinPrc.
class frmCriteriosAltLinPrc : public CriteriosDialog {
 public:
  frmCriteriosAltLinPrc(ui::Form& form, ui::UiServices& ui);
};

}  // namespace quill
