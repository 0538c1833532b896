// The client/group discounts report on memory views: defaults, the lines
// built per client, rebuilding on a criterion, failures, drawing, printing.

#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <algorithm>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/core/DatabaseModel.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/PrintedTable.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"
#include "tests/extension/discounts/DiscountsTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::demoCompany;
using testing::firstValue;
using testing::shownRows;

std::string s(std::string_view v) { return std::string(v); }

// The shown rows of one client, from its first line to its separator.
std::vector<std::string> linesOf(const std::vector<std::string>& rows, const std::string& code) {
  auto first =
      std::find_if(rows.begin(), rows.end(), [&](const std::string& r) { return r.rfind(code + "|", 0) == 0; });
  std::vector<std::string> out;
  if (first == rows.end()) return out;
  for (auto it = first; it != rows.end(); ++it) {
    out.push_back(*it);
    if (it != first && *it == "|||||||") break;  // the separator: eight empty cells
  }
  return out;
}

class DescontosReport : public ::testing::Test {
 protected:
  void SetUp() override { testing::testApplication(); }
  ui::ScriptedUiServices ui;
};

TEST_F(DescontosReport, OpensOnEveryClientAndSellerWithTheirNamesAndTheReportBuilt) {
  std::vector<std::string> rows;
  auto report = testing::openReport(ui, testing::openWithProcedures(demoCompany()), [&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.caption(), "Mapa Descontos por Cliente Grupo");
    rows = shownRows(v);
  });
  auto& view = report.view();
  const std::string firstClient = firstValue(demoCompany(), "SELECT CODIGO FROM CLIENTES ORDER BY CODIGO LIMIT 1");
  const std::string lastSeller = firstValue(demoCompany(), "SELECT CODIGO FROM VENDEDOR ORDER BY CODIGO DESC LIMIT 1");
  EXPECT_EQ(view.text("txtCliIni"), firstClient);
  EXPECT_EQ(view.text("txtCliIniDesc"),
            firstValue(demoCompany(), "SELECT NOME FROM CLIENTES WHERE CODIGO = '" + firstClient + "'"));
  EXPECT_EQ(view.text("txtVendFin"), lastSeller);
  EXPECT_FALSE(view.text("txtVendFinDesc").empty());
  EXPECT_TRUE(ui.boxes().empty());
  // Grouped by seller label "code-name", the first heading being the first seller's.
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].rfind("# ", 0), 0u);
  EXPECT_NE(rows[0].find('-'), std::string::npos) << rows[0];
  EXPECT_FALSE(report.form->loading());
}

TEST_F(DescontosReport, EachClientGetsPairsOfFiveGroupsAndASeparator) {
  std::vector<std::string> rows;
  testing::openReport(ui, testing::openWithProcedures(demoCompany()),
                      [&](ui::MemoryFormView& v) { rows = shownRows(v); });
  struct Case {
    std::string_view client;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {demo::kFiveGroupsClient,
       {"C00018|Pecuária do Alvorge, Lda.||CEREAI-Cereais|FARINH-Farinhas|RACAVE-Rações para Aves|"
        "RACBOV-Rações para Bovinos|RACSUI-Rações para Suínos",
        "|||0,005|0,007|0,01|0,008|0,012", "|||||||"}},
      {demo::kSixGroupsClient,
       {"C00019|Herdade de Figueiró, S.A.||CEREAI-Cereais|RACAVE-Rações para Aves|RACBOV-Rações para Bovinos|"
        "RACOVI-Rações para Ovinos e Caprinos|RACSUI-Rações para Suínos",
        "|||0,006|0,011|0,01|0,0125|0,009", "|||SEMENT-Sementes||||", "|||0,05||||", "|||||||"}},
  };
  for (const auto& c : cases) EXPECT_EQ(linesOf(rows, s(c.client)), c.lines) << c.client;
  // Only zero discounts, or none at all: not reported.
  EXPECT_TRUE(linesOf(rows, s(demo::kZeroDiscountsClient)).empty());
  EXPECT_TRUE(linesOf(rows, s(demo::kPerKgDiscountClient)).empty());
}

TEST_F(DescontosReport, TheDiscountPerKilogramShowsWithFourDecimalsAndZeroShowsNothing) {
  testing::DemoCopy copy;
  auto data = testing::openWithProcedures(copy.company());
  testing::addClient(*data, "Z0001", "Zero por kg", s(demo::kSeller), 0.0, 1);
  testing::addClient(*data, "Z0002", "Com desconto por kg", s(demo::kSeller), 0.0125, 1);
  std::vector<std::string> rows;
  testing::openReport(ui, data, [&](ui::MemoryFormView& v) { rows = shownRows(v); });
  EXPECT_EQ(linesOf(rows, "Z0001").at(0), "Z0001|Zero por kg||G001-Grupo nº 1||||");
  EXPECT_EQ(linesOf(rows, "Z0002").at(0), "Z0002|Com desconto por kg|0,0125|G001-Grupo nº 1||||");
}

TEST_F(DescontosReport, RowsAreSortedBySellerLabelClientAndLine) {
  auto report = testing::openReport(ui, testing::openWithProcedures(demoCompany()), nullptr);
  const auto& rs = *report.form->rows();
  EXPECT_EQ(rs.sort(), "VND ASC, CLIENTEAUX ASC, LINHA ASC");
  const auto vnd = rs.fieldIndex("VND"), client = rs.fieldIndex("CLIENTEAUX"), line = rs.fieldIndex("LINHA");
  const std::size_t count = static_cast<std::size_t>(rs.recordCount());
  ASSERT_GT(count, 10u);
  for (std::size_t p = 1; p < count; ++p) {
    auto key = [&](std::size_t at) {
      return std::tuple(vb::CStr(rs.valueAt(at, vnd)), vb::UCase(vb::CStr(rs.valueAt(at, client))),
                        vb::CLng(rs.valueAt(at, line)));
    };
    ASSERT_LE(key(p - 1), key(p)) << p;
  }
}

TEST_F(DescontosReport, LeavingAFieldRebuildsForTheNewRangeAndCodesWithQuotesAreSafe) {
  testing::DemoCopy copy;
  auto data = testing::openWithProcedures(copy.company());
  data->Execute("INSERT INTO U_QOR_GRUPOSDESCONTO (CLIENTE, GRUPO, DESCONTO) VALUES ('D''OURO', 'RACAVE', 0.02)");
  std::vector<std::string> narrowed, quoted;
  testing::openReport(ui, data, [&](ui::MemoryFormView& v) {
    v.userType("txtCliIni", s(demo::kFiveGroupsClient));
    v.userType("txtCliFin", s(demo::kSixGroupsClient));
    EXPECT_EQ(v.text("txtCliFinDesc"), "Herdade de Figueiró, S.A.");
    narrowed = shownRows(v);
    v.userType("txtCliIni", s(demo::kQuotedCodeClient));
    v.userType("txtCliFin", s(demo::kQuotedCodeClient));
    EXPECT_EQ(v.text("txtCliFinDesc"), "Quinta d'Ouro, Lda.");
    quoted = shownRows(v);
  });
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  // One seller heading, two clients: 3 and 5 lines.
  EXPECT_EQ(narrowed.size(), 1u + 3u + 5u);
  EXPECT_EQ(quoted, (std::vector<std::string>{
                        "# V02-" + firstValue(copy.company(), "SELECT NOME FROM VENDEDOR WHERE CODIGO='V02'"),
                        "D'OURO|Quinta d'Ouro, Lda.||RACAVE-Rações para Aves||||", "|||0,02||||", "|||||||"}));
}

TEST_F(DescontosReport, AFailingBuildIsShownAsBuildDataAndLeavesTheGridEmpty) {
  struct Case {
    const char* name;
    std::function<void(DataAccess&)> breakIt;
  };
  const Case cases[] = {
      {"procedure error",
       [](DataAccess& data) {
         data.GetConnection()->procedures().add(
             DatabaseModel::kDescontosGrupoCliente,
             [](const sql::ProcedureArguments&, sql::Connection&) -> std::shared_ptr<sql::Recordset> {
               throw AutomationError(-2147217900, "Microsoft OLE DB Provider for SQL Server", "Deadlock victim");
             });
       }},
      {"missing table", [](DataAccess& data) { data.Execute("DROP TABLE U_QOR_GRUPOSDESCONTO"); }},
  };
  for (const auto& c : cases) {
    testing::DemoCopy copy;
    auto data = testing::openWithProcedures(copy.company());
    c.breakIt(*data);
    ui.clearBoxes();
    std::vector<std::string> rows{"not read"};
    auto report = testing::openReport(ui, data, [&](ui::MemoryFormView& v) { rows = shownRows(v); });
    ASSERT_EQ(ui.boxes().size(), 1u) << c.name;
    EXPECT_EQ(ui.boxes()[0].title, "Build Data") << c.name;
    EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation) << c.name;
    EXPECT_TRUE(rows.empty()) << c.name;
    // The grid keeps its columns, so that an export still writes the headings.
    EXPECT_EQ(report.view().grid("grdDescGrp").printedTable().columns.size(), 8u) << c.name;
  }
  // A client code too long for the procedure's parameter is a failure of the same kind.
  testing::DemoCopy copy;
  auto data = testing::openWithProcedures(copy.company());
  testing::addClient(*data, "CLIENTE-MUITO-COMPRIDO", "Longo", s(demo::kSeller), 0, 1);
  ui.clearBoxes();
  testing::openReport(ui, data, nullptr);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Build Data");
}

TEST_F(DescontosReport, FirstLinesAreGreyAndBoldNameCellsBoldAndDiscountLinesCentred) {
  auto report = testing::openReport(ui, testing::openWithProcedures(demoCompany()), [&](ui::MemoryFormView& v) {
    auto& model = v.grid("grdDescGrp").model();
    const auto& rs = *model.recordset();
    auto lineOf = [&](std::string_view client, int linha) {
      for (std::size_t p = 0; p < static_cast<std::size_t>(rs.recordCount()); ++p)
        if (vb::CStr(rs.valueAt(p, rs.fieldIndex("CLIENTEAUX"))) == client &&
            vb::CLng(rs.valueAt(p, rs.fieldIndex("LINHA"))) == linha)
          return model.rowOf(p);
      return -1;
    };
    const int nome = *model.columnOf("NOME"), grupo = *model.columnOf("C0");
    auto grey = [&](int row, int column) {
      return model.data(model.index(row, column), Qt::BackgroundRole).value<QColor>() == QColor(245, 245, 245);
    };
    auto bold = [&](int row, int column) {
      return model.data(model.index(row, column), Qt::FontRole).value<QFont>().bold();
    };
    auto centred = [&](int row, int column) {
      return (model.data(model.index(row, column), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter) !=
             0;
    };
    const int first = lineOf(demo::kSixGroupsClient, 1), discounts = lineOf(demo::kSixGroupsClient, 2),
              names = lineOf(demo::kSixGroupsClient, 3);
    ASSERT_GE(first, 0);
    EXPECT_TRUE(grey(first, nome) && bold(first, nome) && grey(first, grupo) && bold(first, grupo));
    EXPECT_EQ(model.data(model.index(first, nome), Qt::FontRole).value<QFont>().pointSize(), 9);
    EXPECT_FALSE(grey(names, nome) || bold(names, nome));
    EXPECT_TRUE(grey(names, grupo) && bold(names, grupo));
    EXPECT_TRUE(centred(discounts, nome) && centred(discounts, grupo));
    EXPECT_FALSE(grey(discounts, grupo) || bold(discounts, grupo));
  });
}

TEST_F(DescontosReport, PrintingGivesTheGridUnderItsHeadingGroupedBySeller) {
  ui::ReportOutput::forgetLastPrinted();
  testing::openReport(ui, testing::openWithProcedures(demoCompany()), [&](ui::MemoryFormView& v) {
    v.userType("txtCliIni", s(demo::kFiveGroupsClient));
    v.userType("txtCliFin", s(demo::kFiveGroupsClient));
    v.userClick("cmdImprimir");
  });
  auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed.has_value());
  EXPECT_EQ(printed->text.rfind("Descontos Cliente/Grupo\n", 0), 0u) << printed->text;
  EXPECT_NE(printed->text.find("\nV02-"), std::string::npos) << printed->text;
  EXPECT_NE(printed->text.find("C00018\tPecuária do Alvorge, Lda.\t\tCEREAI-Cereais"), std::string::npos)
      << printed->text;
  EXPECT_GE(printed->pages, 1);
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(DescontosReport, BuildingShowsProgressAndTheBusyPointerUntilDone) {
  testing::openReport(ui, testing::openWithProcedures(demoCompany()), nullptr);
  EXPECT_GT(ui.progressUpdates(), 1);
  EXPECT_GT(ui.progressTotal(), 5);
  EXPECT_FALSE(ui.progressShown());
  EXPECT_FALSE(ui.busy());
}

}  // namespace
}  // namespace quill
