#include "extension/pricing/PricingForms.h"

#include "extension/pricing/EditLinPrecos.h"
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
}  // namespace

void registerPricingForms(ClassFactory& factory, ui::UiServices& ui) {
  add<EditLinPrecos, frmEditLinPrecos>(factory, ui);
}

}  // namespace quill
