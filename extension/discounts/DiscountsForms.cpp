#include "extension/discounts/DiscountsForms.h"

#include "extension/discounts/CriteriosDescCliGrupo.h"
#include "extension/discounts/frmCriteriosDescCliGrupo.h"
#include "platform/ui/FormDialog.h"

namespace quill {

void registerDiscountsForms(ClassFactory& factory, ui::UiServices& ui) {
  ui::addForm<CriteriosDescCliGrupo, frmCriteriosDescCliGrupo>(factory, ui);
}

}  // namespace quill
