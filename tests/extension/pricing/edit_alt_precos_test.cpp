// The scheduled retail prices editor on a copy of the demo company, through
// memory views: seeding, the change and its validation, hand edits,
// saving with the history, the activation-date question and printing.

#include <gtest/gtest.h>

#include <cmath>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/EditAltPrecos.h"
#include "extension/reports/CriteriosMapasMediaVenda.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/PropertyBag.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Format.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/pricing/PricingTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using ui::MemoryFormView;

const std::string kPet1(demo::kScheduledPriceArticle);        // PET001, 23 % VAT
const std::string kPet2(demo::kFutureScheduledPriceArticle);  // PET002
const std::vector<std::string> kPrices = {"PVP1SIVA", "PVP1CIVA", "PVP2SIVA", "PVP2CIVA", "PVP3SIVA", "PVP3CIVA"};

std::string today() { return vb::FormatDate(vb::today(), "dd-mm-yyyy"); }

// One row of U_QOR_PRECOS as stored.
struct Scheduled {
  std::vector<double> prices;   // PVP1SIVA .. PVP3CIVA
  std::vector<double> history;  // HPVP1SIVA .. HPVP3CIVA
  Variant activation, update;
};

// The first value a query on a company answers, as read (dates as dates).
Variant storedValue(const erp::CompanyEntry& company, const std::string& sql) {
  auto rs = sql::Connection::open(company.databaseFile())->query(sql);
  return rs->recordCount() == 0 ? Variant() : rs->value(std::size_t{0});
}

Variant day(int y, int m, int d) { return Variant(vb::makeDate(y, m, d)); }

class EditAltPrecosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    data = copy.open();
  }

  // The editor; its report's criteria form is played by `criteria`.
  std::unique_ptr<EditAltPrecos> make(pricingtest::MemoryComponents::User criteria = {}) {
    components.playNextCriteria(std::move(criteria));
    auto form = std::make_unique<EditAltPrecos>(ui, testing::memoryView(EditAltPrecos::controls()), components.make());
    form->setDataAccess(data);
    form->setNextApi(bridge);
    return form;
  }

  // Opens the window and plays the user in it; the user ends with "Sair".
  void open(EditAltPrecos& form, std::function<void(MemoryFormView&)> user) {
    testing::memoryOf(form).whenShown([user = std::move(user)](MemoryFormView& v) {
      user(v);
      v.userClick("cmdSair");
    });
    form.Editar(Variant(std::int32_t{0}));
  }

  // Narrows the grid to a range of articles and every group.
  static void narrow(MemoryFormView& v, const std::string& from, const std::string& to) {
    EXPECT_TRUE(v.userType("txtGrpIni", ""));
    EXPECT_TRUE(v.userType("txtGrpFin", ""));
    EXPECT_TRUE(v.userType("txtArtIni", from));
    EXPECT_TRUE(v.userType("txtArtFin", to));
  }

  Scheduled stored(const std::string& article) const {
    auto rs = sql::Connection::open(copy.company().databaseFile())
                  ->query(
                      "SELECT * , CAST(DATAACTIVACAO AS TEXT) AS A, CAST(DATAACTUALIZACAO AS TEXT) AS U "
                      "FROM U_QOR_PRECOS WHERE ARTIGO = ?",
                      {Variant(article)});
    Scheduled s;
    if (rs->recordCount() == 0) return s;
    for (const auto& p : kPrices) {
      s.prices.push_back(vb::CDbl(rs->value(p)));
      s.history.push_back(vb::CDbl(rs->value("H" + p)));
    }
    s.activation = rs->value("DATAACTIVACAO");
    s.update = rs->value("DATAACTUALIZACAO");
    return s;
  }
  int count(const std::string& sql) const { return std::stoi(testing::firstValue(copy.company(), sql)); }

  // The grid's value of a field in a data row.
  static Variant cell(MemoryFormView& v, int row, const std::string& field) {
    auto& model = v.grid("grdLinPrecos").model();
    return model.recordset()->valueAt(*model.positionOf(row), model.recordset()->fieldIndex(field));
  }
  static std::string shown(MemoryFormView& v, int row, const std::string& field) {
    auto& model = v.grid("grdLinPrecos").model();
    return model.displayText(row, *model.columnOf(field)).toStdString();
  }

  ui::ScriptedUiServices ui;
  pricingtest::MemoryComponents components{ui};
  testing::DemoCopy copy;
  std::shared_ptr<DataAccess> data;
  std::shared_ptr<PropertyBag> bridge = pricingtest::parametersOnlyBridge();
};

TEST_F(EditAltPrecosTest, OpeningSeedsEveryArticleOnceAndRangesOverTheFirstAndLastActiveArticles) {
  const int articles = count("SELECT COUNT(*) FROM ARTIGOS");
  ASSERT_LT(count("SELECT COUNT(*) FROM U_QOR_PRECOS"), articles);
  const Scheduled before = stored(kPet1);
  const std::string first = testing::firstValue(
      copy.company(), "SELECT CODIGO FROM ARTIGOS WHERE ARTOUDES = 0 AND INACTIVO = 0 ORDER BY CODIGO LIMIT 1");
  const std::string last = testing::firstValue(
      copy.company(), "SELECT CODIGO FROM ARTIGOS WHERE ARTOUDES = 0 AND INACTIVO = 0 ORDER BY CODIGO DESC LIMIT 1");
  auto groupOf = [&](const std::string& a) {
    return testing::firstValue(copy.company(), "SELECT GRUPO FROM ARTIGOS WHERE CODIGO = '" + a + "'");
  };

  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    EXPECT_EQ(v.text("txtArtIni"), first);
    EXPECT_EQ(v.text("txtArtFin"), last);
    EXPECT_EQ(v.text("txtGrpIni"), groupOf(first));
    EXPECT_EQ(v.text("txtGrpFin"), groupOf(last));
    EXPECT_EQ(v.text("txtArtIniDesc"),
              testing::firstValue(copy.company(), "SELECT NOME FROM ARTIGOS WHERE CODIGO = '" + first + "'"));
    EXPECT_FALSE(v.text("txtGrpFinDescr").empty());
    EXPECT_EQ(v.text("cbxTipo"), "Margem");
    EXPECT_TRUE(v.isSelected("LbxPrecos", 0));
    EXPECT_FALSE(v.isSelected("LbxPrecos", 1));
    EXPECT_FALSE(v.isChecked("chkBxData"));
    EXPECT_EQ(v.text("dtpActivacao"), today());
    // The default group range is that of the first and the last article.
    const int expected = count("SELECT COUNT(*) FROM ARTIGOS WHERE ARTOUDES = 0 AND INACTIVO = 0 AND GRUPO >= '" +
                               groupOf(first) + "' AND GRUPO <= '" + groupOf(last) + "'");
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), static_cast<std::size_t>(expected));
  });
  EXPECT_EQ(count("SELECT COUNT(*) FROM U_QOR_PRECOS"), articles);
  // Rows already there keep their prices; a new one copies the ERP's retail
  // prices into both the prices and the history.
  EXPECT_EQ(stored(kPet1).prices, before.prices);
  EXPECT_EQ(
      count("SELECT COUNT(*) FROM U_QOR_PRECOS Q JOIN ARTIGOS A ON A.CODIGO = Q.ARTIGO WHERE A.CODIGO = '" +
            std::string(demo::kFixedPriceArticle) + "' AND Q.PVP1SIVA = A.PVPSIVA AND Q.HPVP3CIVA = A.PVP3_COM_IVA"),
      1);

  auto again = make();
  open(*again, [](MemoryFormView&) {});
  EXPECT_EQ(count("SELECT COUNT(*) FROM U_QOR_PRECOS"), articles);
}

TEST_F(EditAltPrecosTest, WithoutTheNationalCurrencyTheWindowSaysSoAndIsNotShown) {
  bridge->setValue("RegimeIVANacional", Variant(""));
  auto form = make();
  form->Editar(Variant(std::int32_t{0}));
  EXPECT_EQ(testing::memoryOf(*form).timesShown(), 0);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A moeda Nacional e o Regime de IVA Nacional devem ser definidos nos parametros da aplicação.");
  EXPECT_EQ(ui.boxes()[0].title, "Linhas de preços");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbInformation);
}

TEST_F(EditAltPrecosTest, AMissingTableReachesTheOpenerAndNothingIsShown) {
  copy.open()->Execute("DROP TABLE U_QOR_PRECOS");
  auto form = make();
  try {
    form->Editar(Variant(std::int32_t{0}));
    ADD_FAILURE() << "Editar answered";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), -2147217865);  // the missing table's OLE DB error
  }
  EXPECT_EQ(testing::memoryOf(*form).timesShown(), 0);
}

// Each change on the chosen levels, with VAT recomputed and nothing rounded.
struct ChangeCase {
  const char* tipo;
  const char* valor;
  std::vector<int> levels;  // list positions of LbxPrecos chosen besides "PVP 1"
  bool keepFirst;           // "PVP 1" stays chosen
  double (*price)(double);
};

TEST_F(EditAltPrecosTest, EachChangeActsOnTheChosenLevelsOnlyWithTheirVatAndFullPrecision) {
  const ChangeCase cases[] = {
      {"Margem", "10", {2}, true, [](double p) { return p + p * 10 / 100; }},
      {"Margem", "100", {}, true, [](double p) { return p * 2; }},
      {"Margem", "-10", {1}, false, [](double p) { return p - p / 10; }},
      {"Valor", "0,125", {1, 2}, true, [](double p) { return p + 0.125; }},
      {"Valor fixo", "2", {}, true, [](double) { return 2.0; }},
  };
  const Scheduled pet = stored(kPet1);
  const double vat = demo::kNationalVatRates[2];
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.tipo) + " " + c.valor);
    auto form = make();
    open(*form, [&](MemoryFormView& v) {
      narrow(v, kPet1, kPet1);
      if (!c.keepFirst) {
        EXPECT_TRUE(v.userChoose("LbxPrecos", "PVP 1"));
      }
      for (int level : c.levels) EXPECT_TRUE(v.userChoose("LbxPrecos", std::to_string(level)));
      EXPECT_TRUE(v.userChoose("cbxTipo", c.tipo));
      EXPECT_TRUE(v.userType("txtValor", c.valor));
      ASSERT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), 1u);
      for (int level = 0; level < 3; ++level) {
        const bool chosen = v.isSelected("LbxPrecos", level);
        const std::string n = std::to_string(level + 1);
        const double base = pet.prices[static_cast<std::size_t>(level * 2)];
        const double newPrice = chosen ? c.price(base) : base;
        EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP" + n + "SIVANEW")), newPrice) << level;
        EXPECT_DOUBLE_EQ(
            vb::CDbl(cell(v, 0, "PVP" + n + "CIVANEW")),
            chosen ? newPrice + newPrice * vat / 100 : pet.prices[static_cast<std::size_t>(level * 2 + 1)]);
        EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP" + n + "SIVA")), base);
      }
    });
  }
}

TEST_F(EditAltPrecosTest, AValueThatIsNoNumberOrAMarginAbove100IsRefusedAndKeepsTheFocus) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kPet1, kPet1);
    const double stored1 = vb::CDbl(cell(v, 0, "PVP1SIVANEW"));
    struct {
      const char* tipo;
      const char* valor;
      bool accepted;
    } cases[] = {{"Margem", "abc", false},   {"Margem", "100.01", false}, {"Margem", "100,5", false},
                 {"Margem", "150", false},   {"Valor", "150", true},      {"Valor", "1x", false},
                 {"Valor fixo", "-3", true}, {"Margem", "-250", true},    {"Margem", "", true}};
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.tipo) + " " + c.valor);
      ui.clearBoxes();
      EXPECT_TRUE(v.userChoose("cbxTipo", c.tipo));
      EXPECT_EQ(v.userType("txtValor", c.valor), c.accepted);
      if (c.accepted) {
        EXPECT_TRUE(ui.boxes().empty());
        continue;
      }
      EXPECT_EQ(v.focused(), "txtValor");
      ASSERT_EQ(ui.boxes().size(), 1u);
      EXPECT_EQ(ui.boxes()[0].prompt, "Valor inválido!");
      EXPECT_EQ(ui.boxes()[0].style, 0);
      EXPECT_TRUE(v.userType("txtValor", ""));
    }
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP1SIVANEW")), stored1);
  });
}

TEST_F(EditAltPrecosTest, PricesShowWithFourDecimalsAndAHandTypedPriceGetsItsVatOnlyOnChosenLevels) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kPet1, kPet1);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    const double p = vb::CDbl(cell(v, 0, "PVP1SIVANEW"));
    EXPECT_EQ(shown(v, 0, "PVP1SIVANEW"), vb::Format(Variant(p), "#,###.###0"));
    EXPECT_EQ(shown(v, 0, "PVP1SIVANEW").substr(shown(v, 0, "PVP1SIVANEW").find(',') + 1).size(), 4u);
    EXPECT_NE(p, std::round(p * 10000) / 10000);  // kept unrounded

    EXPECT_TRUE(v.userEditCell("grdLinPrecos", 0, "PVP1SIVANEW", "2,5"));
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP1CIVANEW")), 2.5 * 1.23);
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", 0, "PVP1SIVANEW", "dois"));
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP1SIVANEW")), 2.5);
    // A level not chosen cannot be typed into until it is.
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", 0, "PVP2SIVANEW", "3"));
    EXPECT_TRUE(v.userChoose("LbxPrecos", "PVP 2"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", 0, "PVP2SIVANEW", " "));
    EXPECT_TRUE(cell(v, 0, "PVP2SIVANEW").isNull());
    EXPECT_TRUE(cell(v, 0, "PVP2CIVANEW").isNull());
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", 0, "PVP1SIVA", "1"));  // the stored prices are not typed into

    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  const Scheduled after = stored(kPet1);
  EXPECT_DOUBLE_EQ(after.prices[0], 2.5);
  EXPECT_DOUBLE_EQ(after.prices[1], 2.5 * 1.23);
  EXPECT_EQ(after.prices[2], 0.0);  // an emptied price is saved as 0
  EXPECT_EQ(after.prices[3], 0.0);
}

TEST_F(EditAltPrecosTest, SavingMarkedRowsKeepsTheOldPricesAsHistoryOncePerChangeAndLeavesTheOthers) {
  const Scheduled pet1 = stored(kPet1), pet2 = stored(kPet2);
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kPet1, kPet2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    ASSERT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), 2u);
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
    EXPECT_TRUE(v.userClick("CmdConf"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].prompt, "Alterações gravadas com êxito.");
    // Reloaded: the saved prices are current, the change applies again on top, marks are cleared.
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP1SIVA")), pet1.prices[0] * 1.1);
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP1SIVANEW")), pet1.prices[0] * 1.1 * 1.1);
    EXPECT_FALSE(v.grid("grdLinPrecos").model().isMarked(0));

    // The second change of the same article: its history is the first change.
    EXPECT_TRUE(v.userType("txtValor", ""));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  const Scheduled after = stored(kPet1);
  EXPECT_DOUBLE_EQ(after.prices[0], pet1.prices[0] * 1.1);
  EXPECT_DOUBLE_EQ(after.prices[1], pet1.prices[0] * 1.1 * 1.23);
  for (std::size_t i = 2; i < 6; ++i) EXPECT_DOUBLE_EQ(after.prices[i], pet1.prices[i]) << i;
  // All six copied from the prices before the last save.
  EXPECT_DOUBLE_EQ(after.history[0], pet1.prices[0] * 1.1);
  for (std::size_t i = 2; i < 6; ++i) EXPECT_DOUBLE_EQ(after.history[i], pet1.prices[i]) << i;
  EXPECT_EQ(after.update, Variant(vb::today()));  // the day, without the time
  EXPECT_EQ(after.activation, pet1.activation);
  const Scheduled untouched = stored(kPet2);
  EXPECT_EQ(untouched.prices, pet2.prices);
  EXPECT_EQ(untouched.history, pet2.history);
  EXPECT_EQ(untouched.update, pet2.update);
}

TEST_F(EditAltPrecosTest, TheActivationDateGoesToEveryRowOnYesToTheMarkedOnNoAndNowhereOnCancel) {
  struct {
    int answer;
    bool pet1, pet2;  // which get the new activation date
  } cases[] = {{vb::vbYes, true, true}, {vb::vbNo, true, false}, {vb::vbCancel, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    testing::DemoCopy fresh;
    data = fresh.open();
    const double price = vb::CDbl(
        data->OpenRecordset("SELECT PVP1SIVA FROM U_QOR_PRECOS WHERE ARTIGO = '" + kPet1 + "'")->value("PVP1SIVA"));
    auto form = make();
    ui.clearBoxes();
    open(*form, [&](MemoryFormView& v) {
      narrow(v, kPet1, kPet2);
      EXPECT_TRUE(v.userType("txtValor", "5"));
      EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
      EXPECT_TRUE(v.userPickDate("dtpActivacao", "15-09-2030"));
      EXPECT_TRUE(v.isChecked("chkBxData"));
      ui.answerNext(c.answer);
      EXPECT_TRUE(v.userClick("CmdConf"));
      EXPECT_FALSE(v.isChecked("chkBxData"));
    });
    ASSERT_GE(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].prompt,
              "A data de activação foi alterada.\r\nPretende alterar todos artigos filtrados (Sim), apenas os "
              "selecionados (Não) ou nenhum (Cancelar).\r\n");
    EXPECT_EQ(ui.boxes()[0].title, "Data de activação");
    EXPECT_EQ(ui.boxes()[0].style, vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2);
    auto activation = [&](const std::string& a) {
      return storedValue(fresh.company(), "SELECT DATAACTIVACAO FROM U_QOR_PRECOS WHERE ARTIGO = '" + a + "'");
    };
    EXPECT_EQ(activation(kPet1) == day(2030, 9, 15), c.pet1);
    EXPECT_EQ(activation(kPet2) == day(2030, 9, 15), c.pet2);
    // The marked row's prices are saved whatever the answer.
    EXPECT_DOUBLE_EQ(vb::CDbl(Variant(testing::firstValue(
                         fresh.company(), "SELECT PVP1SIVA FROM U_QOR_PRECOS WHERE ARTIGO = '" + kPet1 + "'"))),
                     price * 1.05);
    // A moved date stamps the change with its time.
    const Variant update =
        storedValue(fresh.company(), "SELECT DATAACTUALIZACAO FROM U_QOR_PRECOS WHERE ARTIGO = '" + kPet2 + "'");
    EXPECT_EQ(vb::dateOnly(update.dateValue()) == vb::today(), c.pet2);
  }
}

TEST_F(EditAltPrecosTest, AnArticleWithoutAVatRateGetsNoPriceWithVatAndSavesItAsZero) {
  const std::string article(demo::kArticleOutsideVatIndexes);
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, article, article);
    EXPECT_TRUE(cell(v, 0, "IVA").isNull());
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_TRUE(cell(v, 0, "PVP1CIVANEW").isNull());
    EXPECT_FALSE(cell(v, 0, "PVP1SIVANEW").isNull());
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    EXPECT_TRUE(v.grid("grdLinPrecos").model().isMarked(0));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  EXPECT_EQ(stored(article).prices[1], 0.0);
}

TEST_F(EditAltPrecosTest, CodesWithQuotesAndHalfGroupRangesFilterAsTyped) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtArtIni", "PET'0"));
    EXPECT_EQ(v.text("txtArtIniDesc"), "");
    EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
    narrow(v, "PET", "PET9");
    const std::size_t all = v.grid("grdLinPrecos").model().dataRowCount();
    EXPECT_GT(all, 2u);
    // One bound given and the other empty: the empty one filters too.
    EXPECT_TRUE(v.userType("txtGrpIni", std::string(demo::kPetFoodGroup)));
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), 0u);
    EXPECT_TRUE(v.userType("txtGrpFin", "x'"));
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), all);
    EXPECT_TRUE(v.userType("txtGrpIni", ""));
    EXPECT_TRUE(v.userType("txtGrpFin", std::string(demo::kPetFoodGroup)));
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), all);
    EXPECT_TRUE(v.userType("txtGrpIni", "PETFOP"));
    EXPECT_EQ(v.grid("grdLinPrecos").model().dataRowCount(), 0u);
    EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  });
}

TEST_F(EditAltPrecosTest, PrintingSavesFirstAndPrintsTheArticlesActivatedInThePeriod) {
  ui::ReportOutput::forgetLastPrinted();
  const Scheduled pet1 = stored(kPet1);
  // First time the report is cancelled: the marked row is saved all the same.
  bool asked = false;
  auto form = make([&](MemoryFormView& c) {
    asked = true;
    EXPECT_EQ(c.caption(), "Alteração de Preços");
    EXPECT_EQ(c.text("dtpDataIni"), "01-01-" + std::to_string(vb::Year(vb::today())));
    EXPECT_EQ(c.text("dtpDataFin"), today());
    EXPECT_EQ(c.text("txtArtIni"), kPet1);
    EXPECT_EQ(c.text("txtArtFin"), kPet2);
    EXPECT_FALSE(c.text("lblArtIniDescr").empty());
    c.userClick("CmdCancel");
  });
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kPet1, kPet2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", 0));
    EXPECT_TRUE(v.userPickDate("dtpActivacao", "15-06-2030"));
    ui.answerNext(vb::vbNo);
    EXPECT_TRUE(v.userClick("cmdImprimir"));
  });
  EXPECT_TRUE(asked);
  EXPECT_DOUBLE_EQ(stored(kPet1).prices[0], pet1.prices[0] * 1.1);
  EXPECT_EQ(stored(kPet1).activation, day(2030, 6, 15));
  EXPECT_FALSE(ui::ReportOutput::lastPrinted());
  // No success message when printing.
  for (const auto& box : ui.boxes()) EXPECT_NE(box.prompt, "Alterações gravadas com êxito.");

  // Then confirmed, for the month of the new date: that article only.
  auto printing = make([](MemoryFormView& c) {
    c.userType("txtArtIni", "A");
    c.userType("txtArtFin", "Z");
    c.userPickDate("dtpDataIni", "01-06-2030");
    c.userPickDate("dtpDataFin", "15-06-2030");
    c.userClick("CmdConf");
  });
  open(*printing, [&](MemoryFormView& v) { EXPECT_TRUE(v.userClick("cmdImprimir")); });
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->name, "qor_VT_AltPrecos");
  const std::string text = printed->text;
  EXPECT_NE(text.find("Alteração de Preços"), std::string::npos) << text;
  EXPECT_NE(text.find(kPet1), std::string::npos) << text;
  EXPECT_EQ(text.find(kPet2), std::string::npos) << text;
  EXPECT_NE(text.find("15-06-2030"), std::string::npos) << text;
}

TEST_F(EditAltPrecosTest, EnterMovesOnFromFieldsAndLongWorkShowsTheBusyPointerAndProgress) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, "A", "Z");
    EXPECT_TRUE(v.userKey("txtArtIni", "Enter"));
    EXPECT_EQ(v.focused(), "txtArtFin");
    EXPECT_TRUE(v.userKey("cbxTipo", "Enter"));
    EXPECT_EQ(v.focused(), "txtValor");
    const int before = ui.progressUpdates();
    EXPECT_TRUE(v.userType("txtValor", "1"));
    EXPECT_GT(ui.progressUpdates(), before);
    EXPECT_FALSE(ui.progressShown());
    EXPECT_FALSE(ui.busy());
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    const int beforeSave = ui.progressUpdates();
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_GT(ui.progressUpdates(), beforeSave);
    EXPECT_FALSE(ui.busy());
  });
  EXPECT_GT(ui.progressTotal(), 100);
}

}  // namespace
}  // namespace quill
