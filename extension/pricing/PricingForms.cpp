#include "extension/pricing/PricingForms.h"

#include "extension/pricing/EditLinPrecos.h"
#include "extension/pricing/frmEditLinPrecos.h"
#include "extension/pricing/CriteriosAltLinPrc.h"
#include "extension/pricing/EditAltLinPrecos.h"
#include "extension/pricing/EditAltPrecos.h"
#include "extension/pricing/EditorPrecosDialog.h"
#include "extension/pricing/frmCriteriosAltLinPrc.h"
#include "extension/reports/frmCriterios.h"
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

template <typename Window>
ui::ViewFactory windowOf(ui::UiServices& ui) {
  return [&ui](ui::Form& form) { return ui::FormDialog::viewOwning(std::make_unique<Window>(form, ui)); };
}

// An editor over its window, with the window of its report's criteria.
template <typename Logic, typename Window, typename CriteriaWindow>
void addEditor(ClassFactory& factory, ui::UiServices& ui) {
  factory.add(Logic::kFormName, [&ui]() -> DispatchPtr {
    return std::make_shared<Logic>(ui, windowOf<Window>(ui), windowOf<CriteriaWindow>(ui));
  });
}

}  // namespace

void registerPricingForms(ClassFactory& factory, ui::UiServices& ui) {
  add<EditLinPrecos, frmEditLinPrecos>(factory, ui);
  addEditor<EditAltLinPrecos, frmEditAltLinPrecos, frmCriteriosAltLinPrc>(factory, ui);
  addEditor<EditAltPrecos, frmEditAltPrecos, frmCriteriosMapasMediaVenda>(factory, ui);
  factory.add(CriteriosAltLinPrc::kFormName, [&ui]() -> DispatchPtr {
    return std::make_shared<CriteriosAltLinPrc>(ui, windowOf<frmCriteriosAltLinPrc>(ui));
  });
}

}  // namespace quill
