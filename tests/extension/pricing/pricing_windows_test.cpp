// The price editors' windows as the commands make them (by name,
// late-bound), driven by their control names as a user drives them; the
// price lines with a real bridge process.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QWidget>
#include <cstdlib>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/PricingForms.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "tests/extension/pricing/PricingTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;

class PricingWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    // The editors make their criteria forms and the report printer by name.
    registerReportForms(factory, ui);
    registerPricingForms(factory, ui);
  }

  DispatchPtr create(std::string_view name, std::shared_ptr<DataAccess> data, DispatchPtr bridge) {
    DispatchPtr form = factory.create(name);
    EXPECT_NE(form, nullptr) << name;
    late::set(form, "DataAccess", data);
    if (bridge) late::set(form, "NextApi", bridge);
    return form;
  }

  // Plays the user in the next window shown; a picture of it is kept when
  // QUILL_SCREENSHOT_DIR names a folder.
  void play(std::function<void(ui::FormView&, QWidget&)> user) {
    ui.onNextModal(
        [user = std::move(user)](QWidget& window) { user(*dynamic_cast<ui::FormDialog&>(window).view(), window); });
  }
  static void picture(QWidget& window, const std::string& name) {
    if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
      window.grab().save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
  }
  static ui::RecordsetGrid& grid(QWidget& window) { return *window.findChild<ui::RecordsetGrid*>("grdLinPrecos"); }

  ui::ScriptedUiServices ui;
  ClassFactory factory;
};

TEST_F(PricingWindows, ScheduledPricesWindowChangesMarksAndSavesAndAsksForTheReport) {
  testing::DemoCopy copy;
  const std::string pet1(demo::kScheduledPriceArticle), pet2(demo::kFutureScheduledPriceArticle);
  const double before = vb::CDbl(
      Variant(testing::firstValue(copy.company(), "SELECT PVP1SIVA FROM U_QOR_PRECOS WHERE ARTIGO = '" + pet1 + "'")));
  auto form = create("frmEditAltPrecos", copy.open(), pricingtest::parametersOnlyBridge());
  play([&](ui::FormView& v, QWidget& window) {
    EXPECT_EQ(v.caption(), "Alteração de Preços");
    picture(window, "frmEditAltPrecos-opened");
    EXPECT_TRUE(v.userType("txtGrpIni", ""));
    EXPECT_TRUE(v.userType("txtGrpFin", ""));
    EXPECT_TRUE(v.userType("txtArtIni", pet1));
    EXPECT_TRUE(v.userType("txtArtFin", pet2));
    EXPECT_TRUE(v.userChoose("LbxPrecos", "PVP 3"));
    // Refused, the value keeps the focus, though its frame holds it.
    EXPECT_FALSE(v.userType("txtValor", "150"));
    EXPECT_EQ(v.focused(), "txtValor");
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_EQ(grid(window).gridModel().dataRowCount(), 2u);
    EXPECT_EQ(grid(window).font().family(), "Verdana");
    EXPECT_EQ(grid(window).horizontalHeader()->font().family(), "Segoe UI");
    const QString shown = grid(window).cellText(0, "PVP1SIVANEW");
    EXPECT_EQ(shown.size() - shown.indexOf(',') - 1, 4) << shown.toStdString();
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", 1, "PVP2SIVANEW", "1"));  // level 2 not chosen
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", 1, "PVP3SIVANEW", "4"));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
    picture(window, "frmEditAltPrecos-changed");
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("cmdImprimir"));
    EXPECT_TRUE(v.userClick("cmdSair"));
  });
  play([&](ui::FormView& c, QWidget& window) {
    EXPECT_EQ(c.caption(), "Alteração de Preços");
    EXPECT_EQ(c.text("txtArtIni"), pet1);
    picture(window, "frmCriteriosMapasMediaVenda-precos");
    EXPECT_TRUE(c.userClick("CmdCancel"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Valor inválido!");
  EXPECT_EQ(ui.boxes()[1].prompt, "Alterações gravadas com êxito.");
  const double after = vb::CDbl(
      Variant(testing::firstValue(copy.company(), "SELECT PVP1SIVA FROM U_QOR_PRECOS WHERE ARTIGO = '" + pet1 + "'")));
  EXPECT_DOUBLE_EQ(after, before * 1.1);
  // Only the marked row was saved.
  EXPECT_NE(testing::firstValue(copy.company(), "SELECT PVP3SIVA FROM U_QOR_PRECOS WHERE ARTIGO = '" + pet2 + "'"),
            "4");
}

TEST_F(PricingWindows, PriceLinesWindowSavesThroughTheBridgeAndPrintsWithItsCriteriaWindow) {
  pricingtest::RealBridge bridge;
  ui::ReportOutput::forgetLastPrinted();
  const std::string mil1(demo::kFixedPriceArticle);
  const double before = std::stod(bridge.price(mil1, demo::kPriceLine).at(0).at(1));
  auto form = create("frmEditAltLinPrecos", bridge.dataAccess(), bridge.object());
  play([&](ui::FormView& v, QWidget& window) {
    EXPECT_EQ(v.caption(), "Alteração de Linhas de preços");
    picture(window, "frmEditAltLinPrecos-opened");
    EXPECT_TRUE(v.userType("txtVendIni", std::string(demo::kSeller)));
    EXPECT_TRUE(v.userType("txtVendFin", std::string(demo::kSeller)));
    EXPECT_FALSE(v.text("txtVendFinDesc").empty());
    EXPECT_TRUE(v.userType("txtArtIni", mil1));
    EXPECT_TRUE(v.userType("txtArtFin", mil1));
    EXPECT_TRUE(v.userChoose("cbxTipo", "Valor fixo"));
    EXPECT_TRUE(v.userType("txtValor", "0,4"));
    auto& model = grid(window).gridModel();
    ASSERT_TRUE(model.isHeading(0));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", model.rowOf(0)));
    picture(window, "frmEditAltLinPrecos-changed");
    EXPECT_TRUE(v.userClick("cmdImprimir"));
    EXPECT_TRUE(v.userClick("cmdSair"));
  });
  play([&](ui::FormView& c, QWidget& window) {
    EXPECT_EQ(c.text("txtVndIni"), demo::kSeller);
    EXPECT_EQ(c.text("lblPrcIniDescr"), "Revenda");
    picture(window, "frmCriteriosAltLinPrc");
    EXPECT_TRUE(c.userPickDate("dtpDataIni", "01-01-2020"));
    EXPECT_TRUE(c.userClick("CmdConf"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;  // no success box when printing
  const auto price = bridge.price(mil1, demo::kPriceLine);
  EXPECT_DOUBLE_EQ(std::stod(price.at(0).at(1)), 0.4);
  EXPECT_DOUBLE_EQ(std::stod(price.at(0).at(3)), before);
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_NE(printed->text.find(mil1), std::string::npos);
}

TEST_F(PricingWindows, PriceLineCriteriaWindowIsMadeByNameAndReadBack) {
  auto form = create("frmCriteriosAltLinPrc", testing::openCompany(testing::demoCompany()), nullptr);
  late::let(form, "PrimeiroPrc", Variant("1"));
  late::let(form, "UltimoPrc", Variant("2"));
  play([&](ui::FormView& c, QWidget&) {
    EXPECT_EQ(c.text("lblPrcFinDescr"), "Grossistas");
    EXPECT_FALSE(c.userType("txtPrcIni", "x"));
    EXPECT_EQ(c.focused(), "txtPrcIni");
    EXPECT_TRUE(c.userType("txtPrcIni", "2"));
    EXPECT_TRUE(c.userType("txtVndIni", std::string(demo::kSeller)));
    EXPECT_FALSE(c.text("lblVndIniDescr").empty());
    EXPECT_TRUE(c.userClick("CmdConf"));
  });
  late::call(form, "Show", {Variant(std::int32_t{1}), Variant(std::int32_t{0})});
  EXPECT_FALSE(vb::CBool(late::get(form, "Cancelou")));
  EXPECT_EQ(late::get(form, "PrimeiroPrc"), Variant("2"));
  EXPECT_EQ(late::get(form, "PrimeiroVnd"), Variant(std::string(demo::kSeller)));
}

}  // namespace
}  // namespace quill
