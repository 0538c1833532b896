// The EditLinhasPrecos command end to end: the extension object opens the
// company and starts the real bridge, the command makes the editor's window
// by name, the user changes a price in it, and the ERP holds the new price.

#include <gtest/gtest.h>

#include <QWidget>
#include <fstream>

#include "erp/DemoCodes.h"
#include "extension/core/DescComissoes.h"
#include "extension/pricing/PricingForms.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;

TEST(EditLinhasPrecosCommand, TheUserChangesAPriceAndTheErpHoldsIt) {
  testing::testApplication();
  erpapi::test::DemoCompanyCopy company;
  const fs::path folder = company.folder() / "extension";
  fs::create_directories(folder / "log");
  const fs::path database = company.databaseFile();
  std::ofstream(folder / "VALTERO.INI") << "[Api Next]\npassword=" << demo::kPassword << "\nLogin=" << demo::kLogin
                                        << "\nEmpresa=" << demo::kCompanyCode
                                        << "\nperclog=" << (folder / "log").string()
                                        << "\nPercWindows=" << company.folder().string()
                                        << "\n[Ligação]\nServidor=" << database.parent_path().string()
                                        << "\nBaseDados=" << database.stem().string() << "\n";

  ui::ScriptedUiServices ui;
  ClassFactory components;
  registerReportForms(components, ui);
  registerPricingForms(components, ui);
  DescComissoes::Environment env;
  env.ui = &ui;
  env.libraryFolder = folder;
  env.createObject = [](std::string_view progId) { return createObject(progId); };
  env.createComponent = [&](std::string_view name) { return components.create(name); };
  auto extension = std::make_shared<DescComissoes>(std::move(env));
  // The editor's debug log goes to the current folder.
  const fs::path previous = fs::current_path();
  fs::current_path(company.folder());
  ASSERT_TRUE(extension->ConnectionOpen(demo::kCompanyCode, demo::kLogin));

  ui.onNextModal([&](QWidget& window) {
    ui::FormView& v = *dynamic_cast<ui::FormDialog&>(window).view();
    EXPECT_TRUE(v.userType("txtLinPrc", std::to_string(demo::kSecondPriceLine)));
    const int row = v.grid("grdLinPrecos").model().findRow(demo::kFixedPriceArticle);
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", row, "PVP", "0,777"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  extension->EditLinhasPrecos(0, demo::kCompanyCode);
  extension->ConnectionClose();
  fs::current_path(previous);

  ASSERT_EQ(ui.boxes().size(), 1u) << ui.boxes().back().prompt;
  EXPECT_EQ(ui.boxes()[0].prompt, "Alterações gravadas com êxito.");
  EXPECT_EQ(company.rows("SELECT PVP FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
                         {Variant(demo::kFixedPriceArticle), Variant(demo::kNationalCurrency),
                          Variant(std::int32_t{demo::kSecondPriceLine})}),
            (erpapi::test::DemoCompanyCopy::Rows{{"0.777"}}));
  EXPECT_TRUE(fs::exists(company.folder() / "DBGLINPRC.TXT"));
}

}  // namespace
}  // namespace quill
