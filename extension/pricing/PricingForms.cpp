#include "extension/pricing/PricingForms.h"

#include "extension/pricing/CriteriosAltLinPrc.h"
#include "extension/pricing/EditAltLinPrecos.h"
#include "extension/pricing/EditAltPrecos.h"
#include "extension/pricing/EditLinPrecos.h"
#include "extension/pricing/EditorPrecosDialog.h"
#include "extension/pricing/frmCriteriosAltLinPrc.h"
#include "extension/pricing/frmEditLinPrecos.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormDialog.h"

namespace quill {

void registerPricingForms(ClassFactory& factory, ui::UiServices& ui) {
  ui::addFormWithComponents<EditLinPrecos, frmEditLinPrecos>(factory, ui);
  ui::addFormWithComponents<EditAltLinPrecos, frmEditAltLinPrecos>(factory, ui);
  ui::addFormWithComponents<EditAltPrecos, frmEditAltPrecos>(factory, ui);
  ui::addForm<CriteriosAltLinPrc, frmCriteriosAltLinPrc>(factory, ui);
}

}  // namespace quill
