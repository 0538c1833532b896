// The commission rates editor on copies of the demo company, through a
// memory view: the seller list, rates bounded to 0-100, the save rule and
// its message, a failed save, all read back from the database.

#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "extension/commissions/EditComGrp.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/MsgBox.h"
#include "tests/extension/commissions/CommissionsTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::memoryOf;
using testing::rowsOf;
using Rows = std::vector<std::vector<std::string>>;

std::string s(std::string_view v) { return std::string(v); }

class ComGrp : public testing::EditorTest<EditComGrp> {
 protected:
  void open(std::function<void(ui::MemoryFormView&)> user) { openWith("CmdCancel", std::move(user)); }
  // Chooses a seller by its place in the list, as its name may repeat.
  void choose(ui::MemoryFormView& v, std::string_view seller) {
    const auto sellers = rowsOf(copy.company(), "SELECT CODIGO FROM VENDEDOR ORDER BY CODIGO");
    for (std::size_t i = 0; i < sellers.size(); ++i) {
      if (sellers[i][0] == seller) {
        ASSERT_TRUE(v.userChoose("cmbLinhaPrc", std::to_string(i)));
      }
    }
  }
  int rowOf(ui::MemoryFormView& v, std::string_view group) { return v.grid("grdLinPrecos").model().findRow(group); }
  std::string cell(ui::MemoryFormView& v, std::string_view group) {
    auto& model = v.grid("grdLinPrecos").model();
    return model.displayText(model.findRow(group), *model.columnOf("COMISSAO")).toStdString();
  }
  Rows ratesOf(std::string_view seller) {
    return rowsOf(copy.company(),
                  "SELECT GRUPO, COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = '" + s(seller) + "' ORDER BY GRUPO");
  }
};

TEST_F(ComGrp, ListsEverySellerByNameAndTellsNamesakesApartByTheirPlace) {
  const auto sellers = rowsOf(copy.company(), "SELECT CODIGO, NOME FROM VENDEDOR ORDER BY CODIGO");
  open([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.caption(), "Comissões por Grupo");
    ASSERT_EQ(v.items("cmbLinhaPrc").size(), sellers.size());
    for (std::size_t i = 0; i < sellers.size(); ++i) EXPECT_EQ(v.items("cmbLinhaPrc")[i], sellers[i][1]);
    EXPECT_EQ(v.listIndex("cmbLinhaPrc"), 0);
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(),
              std::stoul(rowsOf(copy.company(), "SELECT COUNT(*) FROM GRUPOS")[0][0]));

    // Two sellers named alike: each shows its own rates.
    for (auto seller : {demo::kNamesakeSeller1, demo::kNamesakeSeller2}) {
      choose(v, seller);
      const Rows rates = ratesOf(seller);
      ASSERT_FALSE(rates.empty());
      for (const auto& rate : rates) EXPECT_FALSE(cell(v, rate[0]).empty()) << seller << " " << rate[0];
      int filled = 0;
      for (const auto& g : rowsOf(copy.company(), "SELECT COD FROM GRUPOS")) filled += !cell(v, g[0]).empty();
      EXPECT_EQ(filled, static_cast<int>(rates.size())) << seller;
    }
  });
}

TEST_F(ComGrp, WithoutSellersItSaysSoAndShowsNothing) {
  testing::runOn(copy.company(), "DELETE FROM VENDEDOR");
  form->Editar(Variant(std::int32_t{0}));
  EXPECT_EQ(memoryOf(*form).timesShown(), 0);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Não existem Vendedores definidos.");
  EXPECT_EQ(ui.boxes()[0].title, "Comissões por Grupo");
}

TEST_F(ComGrp, RatesAreNumbersFromZeroToAHundred) {
  struct Case {
    const char* typed;
    bool taken;
  };
  const Case cases[] = {{"100", true},  {"0", true}, {"12,5", true}, {"100,5", false}, {"-1", false},
                        {"abc", false}, {"", false}, {"1e3", false}, {"99,999", true}};
  open([&](ui::MemoryFormView& v) {
    choose(v, demo::kSeller);
    const int row = rowOf(v, demo::kFeedGroup);
    for (const auto& c : cases) {
      const std::string before = cell(v, demo::kFeedGroup);
      EXPECT_EQ(v.userEditCell("grdLinPrecos", row, "COMISSAO", c.typed), c.taken) << c.typed;
      if (!c.taken) {
        EXPECT_EQ(cell(v, demo::kFeedGroup), before) << c.typed;
      }
    }
  });
}

TEST_F(ComGrp, SavingInsertsAndUpdatesTheChosenSellersRatesAndSaysSo) {
  const Rows before = ratesOf(demo::kSellerWithoutRates);
  ASSERT_TRUE(before.empty());
  open([&](ui::MemoryFormView& v) {
    choose(v, demo::kSellerWithoutRates);
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", rowOf(v, demo::kFeedGroup), "COMISSAO", "2,5"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", rowOf(v, demo::kFeedGroup), "COMISSAO", "3"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", rowOf(v, demo::kCerealGroup), "COMISSAO", "100"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.grid("grdLinPrecos").redraw());
  });
  EXPECT_EQ(ratesOf(demo::kSellerWithoutRates), (Rows{{s(demo::kCerealGroup), "100"}, {s(demo::kFeedGroup), "3"}}));
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[1].prompt, "Alterações gravadas com êxito.");
  EXPECT_EQ(ui.boxes()[1].style, vb::vbOKOnly);
}

TEST_F(ComGrp, SavingEmptyCellsWritesNothingAndSaysNothingWhileFilledOnesAreRewritten) {
  open([&](ui::MemoryFormView& v) {
    choose(v, demo::kSellerWithoutRates);
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(ui.boxes().empty());
    choose(v, demo::kSeller);
    EXPECT_TRUE(v.userClick("CmdConf"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].prompt, "Alterações gravadas com êxito.");
  });
  EXPECT_TRUE(ratesOf(demo::kSellerWithoutRates).empty());
  EXPECT_EQ(ratesOf(demo::kSeller), rowsOf(testing::demoCompany(),
                                           "SELECT GRUPO, COMISSAO FROM U_QOR_COMGRUPOS "
                                           "WHERE VENDEDOR = 'V01' ORDER BY GRUPO"));
}

TEST_F(ComGrp, AFailedSaveNamesTheErrorKeepsTheFormOpenAndWritesNothing) {
  const Rows before = ratesOf(demo::kSeller);
  open([&](ui::MemoryFormView& v) {
    choose(v, demo::kSeller);
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", rowOf(v, demo::kFeedGroup), "COMISSAO", "50"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", rowOf(v, demo::kServicesGroup), "COMISSAO", "50"));
    {
      testing::HeldWriteLock other(copy.company());
      EXPECT_TRUE(v.userClick("CmdConf"));
    }
    EXPECT_TRUE(v.isShown());
    EXPECT_TRUE(v.grid("grdLinPrecos").redraw());
  });
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Comissões por Grupo");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
  EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro ", 0), 0u);
  EXPECT_NE(ui.boxes()[0].prompt.find(" - The database is in use by another user"), std::string::npos)
      << ui.boxes()[0].prompt;
  EXPECT_EQ(ratesOf(demo::kSeller), before);
}

}  // namespace
}  // namespace quill
