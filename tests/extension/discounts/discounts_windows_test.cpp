// The report's window as the command makes it (by name, late-bound),
// driven by its control names.

#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/discounts/DiscountsForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/discounts/DiscountsTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;

TEST(DescontosWindow, IsMadeByNameAndShowsTheReportGroupedBySellerUnderTheCriteria) {
  testing::testApplication();
  ui::ScriptedUiServices ui;
  ClassFactory factory;
  registerDiscountsForms(factory, ui);
  DispatchPtr form = factory.create("frmCriteriosDescCliGrupo");
  ASSERT_NE(form, nullptr);
  late::set(form, "DataAccess", testing::openWithProcedures(testing::demoCompany()));
  bool shown = false;
  ui.onNextModal([&](QWidget& window) {
    shown = true;
    if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
      window.grab().save(QString::fromUtf8(folder) + "/" + window.objectName() + ".png");
    EXPECT_EQ(window.windowTitle().toStdString(), "Mapa Descontos por Cliente Grupo");
    auto* grid = window.findChild<ui::RecordsetGrid*>("grdDescGrp");
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->isVisible());
    EXPECT_GT(grid->model()->rowCount(), 10);
    ui::FormView& view = *dynamic_cast<ui::FormDialog&>(window).view();
    EXPECT_TRUE(view.userType("txtCliIni", std::string(demo::kSixGroupsClient)));
    EXPECT_TRUE(view.userType("txtCliFin", std::string(demo::kSixGroupsClient)));
    EXPECT_EQ(grid->model()->rowCount(), 1 + 5);
    if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
      window.grab().save(QString::fromUtf8(folder) + "/" + window.objectName() + "-one-client.png");
    view.userClick("cmdSair");
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ui.boxes().empty());
}

}  // namespace
}  // namespace quill
