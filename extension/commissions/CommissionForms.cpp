#include "extension/commissions/CommissionForms.h"

#include "extension/commissions/EditComGrp.h"
#include "extension/commissions/EditComissoes.h"
#include "extension/commissions/EditGrpDescontos.h"
#include "extension/commissions/frmEditComGrp.h"
#include "extension/commissions/frmEditComissoes.h"
#include "extension/commissions/frmEditGrpDescontos.h"
#include "platform/ui/FormDialog.h"

namespace quill {

void registerCommissionForms(ClassFactory& factory, ui::UiServices& ui) {
  ui::addForm<EditGrpDescontos, frmEditGrpDescontos>(factory, ui);
  ui::addForm<EditComGrp, frmEditComGrp>(factory, ui);
  ui::addForm<EditComissoes, frmEditComissoes>(factory, ui);
}

}  // namespace quill
