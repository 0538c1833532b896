// The three commands end to end on a copy of the demo company: the
// extension object opens the real window by name with the settings of its
// configuration, the user works in it, and what it writes and prints is
// read back.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <fstream>

#include "erp/DemoCodes.h"
#include "extension/commissions/CommissionForms.h"
#include "extension/core/DescComissoes.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/commissions/CommissionsTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
namespace demo = erp::demo;
using testing::rowsOf;
using Rows = std::vector<std::vector<std::string>>;

std::string s(std::string_view v) { return std::string(v); }

class CommissionCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    folder = copy.company().dataFolder / "library";
    fs::create_directories(folder / "log");
    std::ofstream(folder / "VALTERO.INI")
        << "[Api Next]\r\nEmpresa=" << demo::kCompanyCode << "\r\nperclog=" << (folder / "log").string()
        << "\r\n[Ligação]\r\nServidor=" << copy.company().dataFolder.string()
        << "\r\nBaseDados=" << copy.company().databaseName << "\r\n";
    registerCommissionForms(components, ui);
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
    ASSERT_TRUE(extension->ConnectionOpen(demo::kCompanyCode, s(demo::kLogin)));
    ui.clearBoxes();
  }
  void TearDown() override { extension->ConnectionClose(); }

  void play(std::function<void(ui::FormView&)> user) {
    ui.onNextModal([user = std::move(user)](QWidget& window) { user(*dynamic_cast<ui::FormDialog&>(window).view()); });
  }
  std::string printedText() {
    const auto printed = ui::ReportOutput::lastPrinted();
    if (!printed) return {};
    EXPECT_EQ(printed->file.parent_path(), pdf.path());
    return printed->text;
  }

  testing::DemoCopy copy;
  fs::path folder;
  testing::PdfFolder pdf;
  ui::ScriptedUiServices ui;
  ClassFactory components;
  std::shared_ptr<DescComissoes> extension;
};

TEST_F(CommissionCommands, DiscountsCommandSavesAndPrintsTheClientsDiscounts) {
  play([](ui::FormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", v.grid("grdGrpDesc").model().findRow("ARROZ"), "DESCONTO", "0,75"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdPrint"));
  });
  play([](ui::FormView& criteria) {
    EXPECT_TRUE(criteria.userType("txtPrimeiro", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(criteria.userType("txtUltimo", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(criteria.userClick("CmdConf"));
  });
  ::testing::internal::CaptureStdout();
  extension->EditGruposDescontos(0, demo::kCompanyCode);
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(ui.boxes().size(), 1u) << ui.boxes().back().prompt;
  EXPECT_EQ(ui.boxes()[0].prompt, "Descontos por Cliente/Grupos actualizados com exito.");
  const std::string text = printedText();
  EXPECT_NE(text.find("ARROZ\tArroz\t0,7500"), std::string::npos) << text;
  EXPECT_NE(text.find("CEREAI\tCereais\t0,0100"), std::string::npos) << text;
}

TEST_F(CommissionCommands, RatesCommandSavesTheChosenSellersRate) {
  play([](ui::FormView& v) {
    EXPECT_TRUE(v.userChoose("cmbLinhaPrc", "Escritório"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", v.grid("grdLinPrecos").model().findRow("SAL"), "COMISSAO", "1,5"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  extension->EditComPorGrupo(demo::kCompanyCode);
  EXPECT_EQ(rowsOf(copy.company(), "SELECT GRUPO, COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'V07'"),
            (Rows{{"SAL", "1,5"}}));
}

TEST_F(CommissionCommands, CommissionsCommandCalculatesAndPrintsTheMonth) {
  play([](ui::FormView& v) {
    EXPECT_TRUE(v.userType("campo", std::to_string(demo::kDocumentYear)));
    EXPECT_TRUE(v.userChoose("cb1", "Fevereiro"));
    EXPECT_TRUE(v.userClick("btConf"));
    EXPECT_TRUE(v.userClick("btImp"));
  });
  ::testing::internal::CaptureStdout();
  extension->EditComissoes(0, demo::kCompanyCode);
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Cálculo Terminado!");
  const std::string text = printedText();
  EXPECT_NE(text.find(fmt::format("Mês 2 de {}", demo::kDocumentYear)), std::string::npos) << text;
  for (const auto& row : rowsOf(copy.company(), "SELECT DISTINCT Vendedor FROM U_qor_ComMensais"))
    EXPECT_NE(text.find("Total do vendedor " + row[0] + "\t"), std::string::npos) << row[0];
}

}  // namespace
}  // namespace quill
