// The three report commands end to end on the demo company: the extension
// object opens the criteria window the user confirms, and the real report
// printer prints the shipped report file to PDF with what the window answered.

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "erp/DemoCodes.h"
#include "extension/core/DescComissoes.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/PropertyBag.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
namespace demo = erp::demo;

fs::path binFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// The documents a printed text lists ("FT 1/12"), in order.
std::vector<std::string> documents(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::string first = line.substr(0, line.find('\t'));
    if ((first.rfind("FT ", 0) == 0 || first.rfind("NC ", 0) == 0) && first.find('/') != std::string::npos)
      out.push_back(first);
  }
  return out;
}

std::vector<std::string> column(const erp::CompanyEntry& company, const std::string& sql) {
  auto db = sql::Connection::open(company.databaseFile());
  std::vector<std::string> out;
  for (auto rs = db->query(sql); !rs->eof(); rs->moveNext()) out.push_back(vb::CStr(rs->value(std::size_t{0})));
  db->close();
  return out;
}

class ReportCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    folder = fs::temp_directory_path() / fmt::format("quill-report-commands-{}", ::getpid());
    fs::remove_all(folder);
    fs::create_directories(folder / "log");
    fs::create_directories(folder / "pdf");
    // The library's folder: its configuration and its report files.
    for (const char* report :
         {"qor_VT_Pendentes.rpt", "qor_VT_PendentesToleranciaVencidos.rpt", "Qor_VT_MediaVendas.rpt"})
      fs::copy_file(binFolder() / report, folder / report);
    const auto& company = testing::demoCompany();
    std::ofstream(folder / "VALTERO.INI")
        << "[Api Next]\r\nEmpresa=" << demo::kCompanyCode << "\r\nperclog=" << (folder / "log").string()
        << "\r\n[Ligação]\r\nServidor=" << company.dataFolder.string() << "\r\nBaseDados=" << company.databaseName
        << "\r\n";
    ::setenv(ui::ReportOutput::kFolderVariable, (folder / "pdf").c_str(), 1);
    registerReportForms(components, ui);

    DescComissoes::Environment env;
    env.ui = &ui;
    env.libraryFolder = folder;
    env.createObject = [](std::string_view) -> DispatchPtr {
      auto bridge = PropertyBag::create("SageNextApi");
      bridge->setMethod("Iniciar", [](std::span<Variant>) { return Variant(true); });
      bridge->setMethod("Terminar", [](std::span<Variant>) { return Variant(); });
      return bridge;
    };
    env.createComponent = [this](std::string_view name) { return components.create(name); };
    extension = std::make_shared<DescComissoes>(std::move(env));
    ASSERT_TRUE(extension->ConnectionOpen(demo::kCompanyCode, std::string(demo::kLogin)));
    ui.clearBoxes();
    ui::ReportOutput::forgetLastPrinted();
  }
  void TearDown() override {
    extension->ConnectionClose();
    ::unsetenv(ui::ReportOutput::kFolderVariable);
    fs::remove_all(folder);
  }

  // The user confirms the next criteria window, after `before`.
  void confirm(std::function<void(ui::FormView&)> before = {}) {
    ui.onNextModal([before = std::move(before)](QWidget& window) {
      ui::FormView& view = *dynamic_cast<ui::FormDialog&>(window).view();
      if (before) before(view);
      EXPECT_TRUE(view.userClick(view.hasControl("CmdConf") ? "CmdConf" : "cmdImprimir"));
    });
  }

  // What the command printed, with its PDF read back.
  std::string printed(std::string* pdf = nullptr) {
    for (const auto& box : ui.boxes()) ADD_FAILURE() << box.title << ": " << box.prompt;
    auto last = ui::ReportOutput::lastPrinted();
    if (!last) {
      ADD_FAILURE() << "nothing printed";
      return {};
    }
    EXPECT_EQ(last->file.parent_path(), folder / "pdf");
    if (pdf) *pdf = quill::testing::pdfText(last->file);
    return last->text;
  }

  fs::path folder;
  ui::ScriptedUiServices ui;
  ClassFactory components;
  std::shared_ptr<DescComissoes> extension;
};

TEST_F(ReportCommands, PendingDocumentsPrintsWhatIsOpenTodayForTheWindowsDefaults) {
  confirm();
  ::testing::internal::CaptureStdout();
  extension->MapaPendentes(0, demo::kCompanyCode);
  ::testing::internal::GetCapturedStdout();
  std::string pdf;
  const std::string text = printed(&pdf);
  const std::string today = vb::FormatDate(vb::today(), "dd-mm-yyyy");
  EXPECT_NE(pdf.find("Pendentes em " + today), std::string::npos);
  // Everything dated by today and not settled by today, for the whole of
  // every table (the window's defaults run from the first to the last code).
  const auto expected =
      column(testing::demoCompany(),
             "SELECT A.TPDOC || ' ' || A.SERIE || '/' || A.NNUMDOC FROM CCCLIENTES A JOIN CLIENTES C "
             "ON C.CODIGO = A.CLIENTE WHERE A.VALPEND <> 0 AND C.CARTEIRA BETWEEN (SELECT min(CODIGO) "
             "FROM CARTEIRA WHERE ACTIVO = -1) AND (SELECT max(CODIGO) FROM CARTEIRA WHERE ACTIVO = "
             "-1) ORDER BY C.VENDEDOR, A.CLIENTE, A.DATAVENC, A.TPDOC, "
             "A.SERIE, A.NNUMDOC");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(documents(text), expected);
}

TEST_F(ReportCommands, ToleranceReportPrintsTheOverdueDocumentsOfTheChosenSeller) {
  const std::string seller(demo::kSeller);
  confirm([&](ui::FormView& v) {
    EXPECT_TRUE(v.userType("txtVendIni", seller));
    EXPECT_TRUE(v.userType("txtVendFin", seller));
  });
  ::testing::internal::CaptureStdout();
  extension->MapaPendentesComTolerancia(0, demo::kCompanyCode);
  ::testing::internal::GetCapturedStdout();
  std::string pdf;
  const std::string text = printed(&pdf);
  EXPECT_NE(pdf.find(fmt::format("Vendedores: de {0} a {0}", seller)), std::string::npos);
  const auto expected = column(
      testing::demoCompany(),
      "SELECT A.TPDOC || ' ' || A.SERIE || '/' || A.NNUMDOC FROM CCCLIENTES A JOIN CLIENTES C ON C.CODIGO = "
      "A.CLIENTE LEFT JOIN U_CLIENTES U ON U.CODIGO = A.CLIENTE WHERE A.VALPEND > 0 AND C.VENDEDOR = '" +
          seller +
          "' AND julianday(date('now', 'localtime')) - julianday(date(A.DATAVENC)) > coalesce(U.DIASTOLERANCIA, 0) "
          "ORDER BY A.CLIENTE, A.DATAVENC, A.TPDOC, A.SERIE, A.NNUMDOC");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(documents(text), expected);
}

TEST_F(ReportCommands, AverageSalesPrintsTheArticlesSoldInTheChosenPeriod) {
  confirm([](ui::FormView& v) {
    EXPECT_TRUE(v.userPickDate("dtpDataIni", "01-03-2026"));
    EXPECT_TRUE(v.userPickDate("dtpDataFin", "31-03-2026"));
  });
  ::testing::internal::CaptureStdout();
  extension->MapaMediaVendas(0, demo::kCompanyCode);
  ::testing::internal::GetCapturedStdout();
  std::string pdf;
  const std::string text = printed(&pdf);
  EXPECT_NE(pdf.find("Período: de 01-03-2026 a 31-03-2026"), std::string::npos);
  const auto sold = column(testing::demoCompany(),
                           "SELECT DISTINCT L.ARTIGO FROM DOCGCLIN L JOIN DOCGCCAB H ON H.TPDOC = L.TPDOCUM AND "
                           "H.SERIE = L.SERIE AND H.NNUMDOC = L.NNUMDOC AND H.ANO = L.ANO WHERE H.TPDOC IN ('FT', "
                           "'NC') AND H.EMPREP = 0 AND H.NVIAS <> -1 AND L.TIPOLIN = 1 AND H.DATA BETWEEN "
                           "'2026-03-01' AND '2026-03-31 23:59:59'");
  ASSERT_FALSE(sold.empty());
  for (const auto& article : sold) EXPECT_NE(text.find("\n" + article + "\t"), std::string::npos) << article;
}

}  // namespace
}  // namespace quill
