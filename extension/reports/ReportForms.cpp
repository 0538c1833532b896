#include "extension/reports/ReportForms.h"

#include "extension/components/ReportPrinter.h"
#include "extension/reports/CriteriosMapas.h"
#include "extension/reports/CriteriosMapasMediaVenda.h"
#include "extension/reports/CriteriosMapasPorVnd.h"
#include "extension/reports/CriteriosPendTolerancia.h"
#include "extension/reports/frmCriterios.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormDialog.h"

namespace quill {

namespace {
// A form's logic over its own window.
template <typename Logic, typename Window>
void add(ClassFactory& factory, ui::UiServices& ui) {
  factory.add(Logic::kFormName, [&ui]() -> DispatchPtr {
    return std::make_shared<Logic>(
        ui, [&ui](ui::Form& form) { return ui::FormDialog::viewOwning(std::make_unique<Window>(form, ui)); });
  });
}
}  // namespace

void registerReportForms(ClassFactory& factory, ui::UiServices& ui) {
  add<CriteriosMapas, frmCriteriosMapas>(factory, ui);
  add<CriteriosMapasMediaVenda, frmCriteriosMapasMediaVenda>(factory, ui);
  add<CriteriosMapasPorVnd, frmCriteriosMapasPorVnd>(factory, ui);
  add<CriteriosPendTolerancia, frmCriteriosPendTolerancia>(factory, ui);
  factory.add("ReportPrinter", [&ui]() -> DispatchPtr { return std::make_shared<ReportPrinter>(ui); });
}

}  // namespace quill
