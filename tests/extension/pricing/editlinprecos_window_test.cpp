// The price-line editor's window as the command makes it (by name,
// late-bound), driven by its control names: what it sends the bridge.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QWidget>
#include <cstdlib>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/PricingForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;

// Plays the user in the next window shown; a picture of it is kept when
// QUILL_SCREENSHOT_DIR names a folder.
void play(ui::ScriptedUiServices& ui, std::function<void(QWidget&, ui::FormView&)> user) {
  ui.onNextModal([user = std::move(user)](QWidget& window) {
    static int shown = 0;
    if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
      window.grab().save(QString::fromUtf8(folder) + QString("/frmEditLinPrecos-%1.png").arg(++shown));
    user(window, *dynamic_cast<ui::FormDialog&>(window).view());
  });
}

TEST(EditLinPrecosWindow, TheUserPicksALineTypesPricesAndSaves) {
  testing::testApplication();
  ui::ScriptedUiServices ui;
  ClassFactory factory;
  registerPricingForms(factory, ui);
  testing::DemoCopy company;

  // A bridge that takes every price.
  auto bridge = PropertyBag::create("SageNextApi");
  bridge->setValue("MoedaNacional", Variant(std::string(demo::kNationalCurrency)));
  bridge->setValue("RegimeIVANacional", Variant(std::string(demo::kNationalVatRegime)));
  std::vector<std::vector<Variant>> sent;
  bridge->setMethod("AlteraPreco", [&](std::span<Variant> a) {
    sent.emplace_back(a.begin(), a.end());
    return Variant();
  });

  DispatchPtr form = factory.create("frmEditLinPrecos");
  ASSERT_NE(form, nullptr);
  late::set(form, "DataAccess", company.open());
  late::set(form, "NextApi", bridge);
  late::let(form, "Utilizador", Variant("sa"));
  late::let(form, "BaseDados", Variant(company.company().databaseName));
  late::let(form, "PassWord", Variant(""));
  late::let(form, "Servidor", Variant(company.company().dataFolder.string()));

  std::string start;
  play(ui, [&](QWidget& window, ui::FormView& v) {
    EXPECT_EQ(v.caption(), "Linhas de Preços");
    for (const char* name : {"gbx1", "txtLinPrc", "lblLinPrc", "cmbLinhaPrc", "dtpDataInicio", "grdLinPrecos",
                             "CmdConf", "CmdCancel", "CmdPrint"})
      EXPECT_NE(window.findChild<QWidget*>(name), nullptr) << name;
    auto* grid = window.findChild<ui::RecordsetGrid*>("grdLinPrecos");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->font().family(), "Verdana");
    EXPECT_EQ(grid->horizontalHeader()->font().pointSize(), 9);
    EXPECT_EQ(window.findChild<QComboBox*>("cmbLinhaPrc")->count(), 4);
    // Inside the window, the grid ends in the buttons' band.
    EXPECT_LE(grid->geometry().bottom(), window.findChild<QWidget*>("CmdConf")->geometry().top());

    EXPECT_TRUE(v.userType("txtLinPrc", std::to_string(demo::kSecondPriceLine)));
    EXPECT_EQ(window.findChild<QLabel*>("lblLinPrc")->text(), "Grossistas");
    const int row = grid->gridModel().findRow(demo::kFixedPriceArticle);
    ASSERT_GE(row, 0);
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", row, "PVP", "abc"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", row, "PVP", "1,5"));
    EXPECT_EQ(grid->cellText(row, "PVPIVA"), "1,5900");
    // A price new to the line, and one taken away.
    EXPECT_TRUE(
        v.userEditCell("grdLinPrecos", grid->gridModel().findRow(demo::kFixedPriceArticleWithoutPrice), "PVP", "2"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", grid->gridModel().findRow("FAR00003"), "PVP", ""));
    start = v.text("dtpDataInicio");
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});

  ASSERT_EQ(ui.boxes().size(), 1u) << ui.boxes().back().prompt;
  EXPECT_EQ(ui.boxes()[0].prompt, "Alterações gravadas com êxito.");
  // One call a changed article, in code order, with the loaded values
  // beside the new ones (nothing loaded is 0 and the zero date).
  ASSERT_EQ(sent.size(), 3u);
  const std::string eur(demo::kNationalCurrency);
  const Variant line(std::int32_t{demo::kSecondPriceLine});
  EXPECT_EQ(sent[0][0], Variant(std::string(demo::kFixedPriceArticleWithoutPrice)));
  EXPECT_EQ(sent[0][1], Variant(eur));
  EXPECT_EQ(sent[0][2], line);
  EXPECT_EQ(sent[0][3], Variant(vb::CDate(Variant(start))));
  EXPECT_EQ(std::vector<Variant>(sent[0].begin() + 4, sent[0].end()),
            (std::vector<Variant>{Variant(vb::kZeroDate), Variant(2.0), Variant(0.0), Variant(2.12), Variant(0.0)}));
  // Taken away: the line negated, no price, no date.
  EXPECT_EQ(sent[1][0], Variant("FAR00003"));
  EXPECT_EQ(sent[1][2], Variant(std::int32_t{-demo::kSecondPriceLine}));
  EXPECT_EQ(sent[1][3], Variant(vb::kZeroDate));
  EXPECT_EQ(sent[1][5], Variant(0.0));
  EXPECT_EQ(sent[1][7], Variant(0.0));
  EXPECT_NE(sent[1][6], Variant(0.0));
  EXPECT_EQ(sent[2][0], Variant(std::string(demo::kFixedPriceArticle)));
  EXPECT_EQ(sent[2][5], Variant(1.5));
  EXPECT_NEAR(vb::CDbl(sent[2][7]), 1.59, 1e-12);
}

}  // namespace
}  // namespace quill
