// The criteria windows as the commands make them (by name, late-bound),
// driven by their control names as a user drives them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QWidget>
#include <cstdlib>
#include <filesystem>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;

class CriteriosWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    registerReportForms(factory, ui);
    data = testing::openCompany(testing::demoCompany());
  }

  DispatchPtr create(std::string_view name) {
    DispatchPtr form = factory.create(name);
    EXPECT_NE(form, nullptr) << name;
    late::set(form, "DataAccess", data);
    return form;
  }

  // Plays the user in the next window shown; a picture of it is kept when
  // QUILL_SCREENSHOT_DIR names a folder.
  void play(std::function<void(ui::FormView&)> user) {
    ui.onNextModal([user = std::move(user)](QWidget& window) {
      if (const char* folder = std::getenv("QUILL_SCREENSHOT_DIR"))
        window.grab().save(QString::fromUtf8(folder) + "/" + window.objectName() + window.windowTitle() + ".png");
      user(*dynamic_cast<ui::FormDialog&>(window).view());
    });
  }

  ui::ScriptedUiServices ui;
  ClassFactory factory;
  std::shared_ptr<DataAccess> data;
};

TEST_F(CriteriosWindows, PendingDocumentsWindowShowsItsModeAndAnswersByKey) {
  auto form = create("frmCriteriosMapas");
  late::let(form, "Mapa", Variant(std::int16_t{3}));
  play([&](ui::FormView& v) {
    EXPECT_EQ(v.caption(), "Pendentes");
    EXPECT_TRUE(v.isVisible("txtCarFin"));
    EXPECT_TRUE(v.userType("txtVndIni", std::string(demo::kSeller)));
    EXPECT_FALSE(v.text("lblVndIni").empty());
    testing::pickInNextLookup(ui, std::string(demo::kZone));
    EXPECT_TRUE(v.userKey("txtZonFin", "Ctrl+L"));
    EXPECT_TRUE(v.userKey("txtZonFin", "Enter"));  // leaves it: the description comes
    EXPECT_FALSE(v.text("lblZonFin").empty());
    EXPECT_EQ(v.focused(), "txtCarIni");
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  late::call(form, "Editar", {Variant(DispatchPtr())});
  EXPECT_FALSE(late::get(form, "Cancelou").boolValue());
  EXPECT_EQ(late::call(form, "GetParametro", {Variant("vndi")}), Variant(std::string(demo::kSeller)));
  EXPECT_EQ(late::call(form, "GetParametro", {Variant("ZONF")}), Variant(std::string(demo::kZone)));
}

TEST_F(CriteriosWindows, PriceLineWindowHoldsTheFocusOnLettersAndCancelStillCloses) {
  auto form = create("frmCriteriosMapasPorVnd");
  late::let(form, "Mapa", Variant(std::int16_t{1}));
  play([&](ui::FormView& v) {
    EXPECT_EQ(v.caption(), "Linhas de Preços");
    EXPECT_FALSE(v.userType("txtPrcIni", "abc"));
    EXPECT_EQ(v.focused(), "txtPrcIni");
    EXPECT_FALSE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userClick("CmdCancel"));
  });
  late::call(form, "Editar", {Variant(std::int32_t{0})});
  EXPECT_TRUE(late::get(form, "Cancelou").boolValue());
}

TEST_F(CriteriosWindows, AverageSalesAndToleranceWindowsConfirmWithTheirButtons) {
  auto average = create("frmCriteriosMapasMediaVenda");
  late::let(average, "Caption", Variant("Alteração de Preços"));
  play([&](ui::FormView& v) {
    EXPECT_EQ(v.caption(), "Alteração de Preços");
    EXPECT_TRUE(v.userPickDate("dtpDataIni", "01-01-2026"));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  late::call(average, "Editar", {Variant(std::int32_t{0})});
  EXPECT_EQ(late::get(average, "PrimeiraData"), Variant("01-01-2026"));

  auto tolerance = create("frmCriteriosPendTolerancia");
  play([&](ui::FormView& v) {
    EXPECT_EQ(v.caption(), "Mapa Pendentes com Tolerância");
    EXPECT_TRUE(v.userType("txtCliIni", std::string(demo::kAllowanceClient)));
    EXPECT_FALSE(v.text("txtCliIniDesc").empty());
    EXPECT_FALSE(v.userType("txtCliIniDesc", "x"));  // a description is not typed into
    EXPECT_TRUE(v.userClick("cmdImprimir"));
  });
  late::call(tolerance, "Editar", {Variant(std::int32_t{0})});
  EXPECT_EQ(late::get(tolerance, "PrimeiroCliente"), Variant(std::string(demo::kAllowanceClient)));
}

}  // namespace
}  // namespace quill

#include <QDialog>

#include "extension/core/cInifile.h"
#include "platform/ui/WidgetFormWindow.h"

namespace quill {
namespace {

TEST(WindowPositions, AWindowsPlaceAndSizeGoToTheIniFileAndComeBackKeptOnItsScreen) {
  testing::testApplication();
  const auto file = std::filesystem::temp_directory_path() / ("quill-positions-" + std::to_string(::getpid()) + ".ini");
  QDialog window;
  window.show();
  ui::WidgetFormWindow form(window);
  form.move(1500, 1200, 7500, 4500);
  cInifile ini;
  ini.setPath(file.string());
  ini.setSection("frmCriteriosMapas");
  ini.SaveFormPosition(form);
  EXPECT_TRUE(ini.Success());

  QDialog again;
  again.show();
  ui::WidgetFormWindow restored(again);
  ini.LoadFormPosition(restored, 3000, 3000);
  EXPECT_DOUBLE_EQ(restored.width(), 7500);
  EXPECT_DOUBLE_EQ(restored.height(), 4500);
  EXPECT_GE(restored.left(), 0);
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace quill
