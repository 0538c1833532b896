// The price-line changes criteria on the demo company, through a memory
// view: presets, the price-line rule, lookups, keys, confirm and cancel.

#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/CriteriosAltLinPrc.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::demoCompany;
using testing::firstValue;
using ui::MemoryFormView;

class CriteriosAltLinPrcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    form = std::make_unique<CriteriosAltLinPrc>(ui, testing::memoryView(CriteriosAltLinPrc::controls()));
    form->setDataAccess(testing::openCompany(demoCompany()));
  }
  MemoryFormView& view() { return testing::memoryOf(*form); }
  // Shows the form and plays the user in it.
  void show(std::function<void(MemoryFormView&)> user) {
    view().whenShown(std::move(user));
    form->showModal(0);
  }
  static std::string lineName(const char* order) {
    return firstValue(demoCompany(), std::string("SELECT DESCR FROM LINPRC ORDER BY LINHA ") + order + " LIMIT 1");
  }
  static std::string line(const char* order) {
    return firstValue(demoCompany(), std::string("SELECT LINHA FROM LINPRC ORDER BY LINHA ") + order + " LIMIT 1");
  }

  ui::ScriptedUiServices ui;
  std::unique_ptr<CriteriosAltLinPrc> form;
};

TEST_F(CriteriosAltLinPrcTest, PresetValuesAreDescribedAndReadBackAsTyped) {
  form->setPrimeiroVnd(demo::kSeller);
  form->setUltimoVnd("V99");  // no such seller: kept, not described
  form->setPrimeiroPrc("1");
  form->setUltimoPrc("2");
  form->setPrimeiraData("01-01-2030");
  form->setUltimaData("31-01-2030");
  form->setPrimeiroArt(demo::kFixedPriceArticle);
  form->setUltimoArt("mil002");
  EXPECT_FALSE(view().text("lblVndIniDescr").empty());
  EXPECT_EQ(view().text("lblVndFinDescr"), "");
  EXPECT_EQ(view().text("lblPrcIniDescr"), "Revenda");
  EXPECT_EQ(view().text("lblPrcFinDescr"), "Grossistas");
  EXPECT_FALSE(view().text("lblArtFinDescr").empty());  // codes compare without regard to case
  EXPECT_TRUE(form->Cancelou());
  show([](MemoryFormView& v) { v.userClick("CmdConf"); });
  EXPECT_FALSE(form->Cancelou());
  EXPECT_EQ(form->UltimoVnd(), "V99");
  EXPECT_EQ(form->UltimoArt(), "mil002");
  EXPECT_EQ(form->PrimeiraData(), "01-01-2030");
  EXPECT_EQ(form->UltimaData(), "31-01-2030");
}

TEST_F(CriteriosAltLinPrcTest, APriceLineMustBeANumberAtEitherEndAndOneTooLargeBecomesTheFirstOrLastLine) {
  show([&](MemoryFormView& v) {
    for (const char* field : {"txtPrcIni", "txtPrcFin"}) {
      SCOPED_TRACE(field);
      for (const char* text : {"abc", ""}) {
        EXPECT_FALSE(v.userType(field, text));
        EXPECT_EQ(v.focused(), field);
      }
      EXPECT_TRUE(v.userType(field, "2"));
    }
    EXPECT_TRUE(v.userType("txtPrcIni", "40000"));
    EXPECT_EQ(v.text("txtPrcIni"), line("ASC"));
    EXPECT_EQ(v.text("lblPrcIniDescr"), lineName("ASC"));
    EXPECT_TRUE(v.userType("txtPrcFin", "-40000"));
    EXPECT_EQ(v.text("txtPrcFin"), line("DESC"));
    EXPECT_EQ(v.text("lblPrcFinDescr"), lineName("DESC"));
    // A fraction is looked up rounded, halves to even; the text stays.
    EXPECT_TRUE(v.userType("txtPrcIni", "2,5"));
    EXPECT_EQ(v.text("txtPrcIni"), "2,5");
    EXPECT_EQ(v.text("lblPrcIniDescr"), "Grossistas");
    EXPECT_TRUE(v.userType("txtPrcIni", std::to_string(demo::kUnknownPriceLine)));
    EXPECT_EQ(v.text("lblPrcIniDescr"), "");
    v.userClick("CmdCancel");
  });
  EXPECT_TRUE(form->Cancelou());
}

TEST_F(CriteriosAltLinPrcTest, EnterMovesOnFromEveryControlAndLookupsFillTheField) {
  form->setPrimeiroPrc("1");
  form->setUltimoPrc("4");
  show([&](MemoryFormView& v) {
    v.setFocus("txtVndIni");
    EXPECT_TRUE(v.userKey("txtVndIni", "Enter"));
    EXPECT_EQ(v.focused(), "txtVndFin");
    EXPECT_TRUE(v.userKey("dtpDataFin", "Enter"));
    EXPECT_EQ(v.focused(), "CmdConf");
    EXPECT_TRUE(v.userKey("CmdConf", "Enter"));  // moves on: does not confirm
    EXPECT_EQ(v.focused(), "CmdCancel");
    EXPECT_TRUE(v.isShown());

    testing::pickInNextLookup(ui, "2");
    EXPECT_TRUE(v.userKey("txtPrcIni", "Ctrl+L"));
    EXPECT_EQ(v.text("txtPrcIni"), "2");
    EXPECT_EQ(v.text("lblPrcIniDescr"), "");  // filled when the field is left
    EXPECT_TRUE(v.userKey("txtPrcIni", "Tab"));
    EXPECT_EQ(v.text("lblPrcIniDescr"), "Grossistas");
    testing::pickInNextLookup(ui, "");  // nothing picked: the field stays
    EXPECT_TRUE(v.userKey("txtVndFin", "Ctrl+L"));
    testing::pickInNextLookup(ui, std::string(demo::kSeller));
    EXPECT_TRUE(v.userKey("txtVndFin", "Ctrl+L"));
    EXPECT_EQ(v.text("txtVndFin"), demo::kSeller);
    v.userClose();
  });
  EXPECT_TRUE(form->Cancelou());
}

}  // namespace
}  // namespace quill
