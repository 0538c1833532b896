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

void registerReportForms(ClassFactory& factory, ui::UiServices& ui) {
  ui::addForm<CriteriosMapas, frmCriteriosMapas>(factory, ui);
  ui::addForm<CriteriosMapasMediaVenda, frmCriteriosMapasMediaVenda>(factory, ui);
  ui::addForm<CriteriosMapasPorVnd, frmCriteriosMapasPorVnd>(factory, ui);
  ui::addForm<CriteriosPendTolerancia, frmCriteriosPendTolerancia>(factory, ui);
  factory.add("ReportPrinter", [&ui]() -> DispatchPtr { return std::make_shared<ReportPrinter>(ui); });
}

}  // namespace quill
