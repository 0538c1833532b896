#pragma once

#include <memory>
#include <string>
#include <vector>

#include "extension/discounts/CriteriosDescCliGrupo.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/support/FormTestSupport.h"

namespace quill::testing {

// A data-access object on a company with the extension's procedures, as
// the extension opens it.
std::shared_ptr<DataAccess> openWithProcedures(const erp::CompanyEntry& company);

// The discounts report on a memory view, opened (Editar) on a company:
// the user's part is played by `whileShown` before the window closes.
struct OpenReport {
  std::unique_ptr<CriteriosDescCliGrupo> form;
  ui::MemoryFormView& view() const { return memoryOf(*form); }
};
OpenReport openReport(ui::ScriptedUiServices& ui, std::shared_ptr<DataAccess> data,
                      std::function<void(ui::MemoryFormView&)> whileShown);

// The grid's data rows as the user reads them: every shown cell's text,
// separated by "|", one string a row (heading rows as "# heading").
std::vector<std::string> shownRows(ui::MemoryFormView& view);

// Adds a client with a seller, a discount per kilogram and discounts on
// `groups` new groups (G001..., labelled "Grupo nº n") to a company copy.
void addClient(DataAccess& data, const std::string& code, const std::string& name, const std::string& seller,
               double perKg, int groups, double discount = 0.01);

}  // namespace quill::testing
