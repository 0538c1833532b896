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

namespace {
// A form's logic over its own window; what it creates by name comes from the factory.
template <typename Logic, typename Window>
void add(ClassFactory& factory, ui::UiServices& ui) {
  factory.add(Logic::kFormName, [&factory, &ui]() -> DispatchPtr {
    return std::make_shared<Logic>(
        ui, [&ui](ui::Form& form) { return ui::FormDialog::viewOwning(std::make_unique<Window>(form, ui)); },
        [&factory](std::string_view name) { return factory.create(name); });
  });
}

// A form without components of its own over its window.
template <typename Logic, typename Window>
void addForm(ClassFactory& factory, ui::UiServices& ui) {
  factory.add(Logic::kFormName, [&ui]() -> DispatchPtr {
    return std::make_shared<Logic>(
        ui, [&ui](ui::Form& form) { return ui::FormDialog::viewOwning(std::make_unique<Window>(form, ui)); });
  });
}

}  // namespace

void registerPricingForms(ClassFactory& factory, ui::UiServices& ui) {
  add<EditLinPrecos, frmEditLinPrecos>(factory, ui);
  add<EditAltLinPrecos, frmEditAltLinPrecos>(factory, ui);
  add<EditAltPrecos, frmEditAltPrecos>(factory, ui);
  addForm<CriteriosAltLinPrc, frmCriteriosAltLinPrc>(factory, ui);
}

}  // namespace quill
