#include "tests/extension/discounts/DiscountsTestSupport.h"

#include <fmt/format.h>

#include "extension/components/DataAccess.h"
#include "extension/core/DatabaseModel.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/RecordsetTableModel.h"

namespace quill::testing {

std::shared_ptr<DataAccess> openWithProcedures(const erp::CompanyEntry& company) {
  auto data = openCompany(company);
  registerDatabaseModel(*data->GetConnection());
  return data;
}

OpenReport openReport(ui::ScriptedUiServices& ui, std::shared_ptr<DataAccess> data,
                      std::function<void(ui::MemoryFormView&)> whileShown) {
  OpenReport report{std::make_unique<CriteriosDescCliGrupo>(ui, memoryView(CriteriosDescCliGrupo::controls()))};
  report.form->setDataAccess(std::move(data));
  report.view().whenShown([whileShown = std::move(whileShown)](ui::MemoryFormView& v) {
    if (whileShown) whileShown(v);
    v.userClick("cmdSair");
  });
  report.form->Editar(Variant(std::int32_t{0}));
  return report;
}

std::vector<std::string> shownRows(ui::MemoryFormView& view) {
  auto& model = view.grid(CriteriosDescCliGrupo::kGrid).model();
  std::vector<std::string> rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    if (model.isHeading(r)) {
      rows.push_back("# " + model.headingText(r).toStdString());
      continue;
    }
    std::string line;
    bool first = true;
    for (int c = 0; c < model.columnCount(); ++c) {
      if (model.columns()[static_cast<std::size_t>(c)].hidden) continue;
      line += (first ? "" : "|") + model.displayText(r, c).toStdString();
      first = false;
    }
    rows.push_back(line);
  }
  return rows;
}

void addClient(DataAccess& data, const std::string& code, const std::string& name, const std::string& seller,
               double perKg, int groups, double discount) {
  const std::string c = sql::sqlQuote(code);
  data.Execute("INSERT INTO CLIENTES (CODIGO, NOME, VENDEDOR) VALUES ('" + c + "', '" + sql::sqlQuote(name) + "', '" +
               sql::sqlQuote(seller) + "')");
  data.Execute(fmt::format("INSERT INTO U_CLIENTES (CODIGO, DSCVALPORKG) VALUES ('{}', {})", c, perKg));
  for (int g = 1; g <= groups; ++g) {
    const std::string group = fmt::format("G{:03}", g);
    if (data.OpenRecordset("SELECT COD FROM GRUPOS WHERE COD = '" + group + "'")->recordCount() == 0)
      data.Execute(fmt::format("INSERT INTO GRUPOS (COD, DESCR) VALUES ('{}', 'Grupo nº {}')", group, g));
    data.Execute(fmt::format("INSERT INTO U_QOR_GRUPOSDESCONTO (CLIENTE, GRUPO, DESCONTO) VALUES ('{}', '{}', {})", c,
                             group, discount));
  }
}

}  // namespace quill::testing
