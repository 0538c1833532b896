// The three windows as the commands make them (by name, late-bound), on a
// copy of the demo company, driven by their control names as a user drives
// them; a picture of each is kept when QUILL_SCREENSHOT_DIR names a folder.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <cstdlib>

#include "erp/DemoCodes.h"
#include "extension/commissions/CommissionForms.h"
#include "extension/components/DataAccess.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/commissions/CommissionsTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::rowsOf;
using Rows = std::vector<std::vector<std::string>>;

std::string s(std::string_view v) { return std::string(v); }

class CommissionWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    registerCommissionForms(factory, ui);
    data = copy.open();
  }

  DispatchPtr create(std::string_view name) {
    DispatchPtr form = factory.create(name);
    EXPECT_NE(form, nullptr) << name;
    late::set(form, "DataAccess", data);
    return form;
  }

  // A picture of a window, when QUILL_SCREENSHOT_DIR names a folder.
  static void picture(QWidget& window, const QString& suffix = {}) {
    QApplication::processEvents();
    if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
      window.grab().save(QString::fromUtf8(folder) + "/" + window.windowTitle().replace('/', '-') + suffix + ".png");
  }

  // Plays the user in the next window shown, after a picture of it.
  void play(std::function<void(ui::FormView&, QWidget&)> user) {
    ui.onNextModal([user = std::move(user)](QWidget& window) {
      picture(window);
      user(*dynamic_cast<ui::FormDialog&>(window).view(), window);
    });
  }

  testing::DemoCopy copy;
  ui::ScriptedUiServices ui;
  ClassFactory factory;
  std::shared_ptr<DataAccess> data;
};

TEST_F(CommissionWindows, DiscountWindowSavesWhatIsTypedForTheClientChosen) {
  auto form = create("frmEditGrpDescontos");
  for (const char* setting : {"Servidor", "BaseDados", "Utilizador", "PassWord"}) late::let(form, setting, Variant(""));
  play([&](ui::FormView& v, QWidget& window) {
    EXPECT_EQ(v.caption(), "Desconto por Cliente/Grupo");
    EXPECT_EQ(window.findChild<QWidget*>("grdGrpDesc")->parentWidget(), &window);
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    EXPECT_FALSE(v.text("lblCli").empty());
    const int row = v.grid("grdGrpDesc").model().findRow("ARROZ");
    EXPECT_FALSE(v.userEditCell("grdGrpDesc", row, "DESCONTO", "x"));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", row, "DESCONTO", "0,25"));
    picture(window, " editado");
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  EXPECT_EQ(rowsOf(copy.company(),
                   "SELECT DESCONTO FROM U_QOR_GRUPOSDESCONTO WHERE CLIENTE = 'C00003' AND GRUPO = "
                   "'ARROZ'"),
            (Rows{{"0,25"}}));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Descontos por Cliente/Grupos actualizados com exito.");
}

TEST_F(CommissionWindows, RatesWindowShowsTheChosenSellersRatesAndBoundsThem) {
  auto form = create("frmEditComGrp");
  late::set(form, "NextApi", DispatchPtr());
  play([&](ui::FormView& v, QWidget& window) {
    EXPECT_EQ(v.caption(), "Comissões por Grupo");
    EXPECT_TRUE(v.userChoose("cmbLinhaPrc", "Escritório"));  // the seller without rates
    const int row = v.grid("grdLinPrecos").model().findRow(demo::kFeedGroup);
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", row, "COMISSAO", "101"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", row, "COMISSAO", "4"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  EXPECT_EQ(rowsOf(copy.company(), "SELECT GRUPO, COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'V07'"),
            (Rows{{s(demo::kFeedGroup), "4"}}));
}

TEST_F(CommissionWindows, CommissionWindowTakesItsKeysAndCalculatesTheMonth) {
  auto form = create("frmEditComissoes");
  play([&](ui::FormView& v, QWidget& window) {
    EXPECT_EQ(v.caption(), "Comissões");
    EXPECT_EQ(window.findChild<QPushButton*>("btSair")->toolTip(), "Abandonar a opção.");
    // A real Esc in the year field: disarmed and back, the window stays.
    EXPECT_FALSE(v.userType("campo", "2051"));
    auto* year = window.findChild<QLineEdit*>("campo");
    QTest::keyClick(year, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(v.focused(), "btSair");
    EXPECT_TRUE(v.userType("campo", "2026"));
    EXPECT_TRUE(v.userChoose("cb1", "Março"));
    EXPECT_TRUE(v.userClick("btConf"));
    // Esc in the month list closes the window.
    QTest::keyClick(window.findChild<QComboBox*>("cb1"), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Valor não permitido!");
  EXPECT_EQ(ui.boxes()[1].prompt, "Cálculo Terminado!");
  EXPECT_FALSE(rowsOf(copy.company(), "SELECT 1 FROM U_qor_ComMensais WHERE Ano = 2026 AND Mes = 3").empty());
}

}  // namespace
}  // namespace quill
