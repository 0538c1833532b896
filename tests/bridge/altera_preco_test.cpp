// SageNextApi.AlteraPreco in a real bridge process: inserting, changing with
// history, removing, moving the start date only, and refusals.
#include <gtest/gtest.h>

#include <algorithm>

#include "bridge/DateOnlyMarker.h"
#include "erp/api/ApiRefusal.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "tests/bridge/BridgeTest.h"

namespace quill::bridgetest {
namespace {

using Rows = DemoCompanyCopy::Rows;

const std::string kEur(demo::kNationalCurrency);
const std::string kDateOnlyEur = std::string(kDateOnlyMarker) + kEur;
const Date kNewStart = vb::makeDate(2026, 7, 1);
constexpr const char* kNewStartText = "01-07-2026";

// Each case on the embedded database and on the test server.
class AlteraPrecoTest : public BridgeTest, public ::testing::WithParamInterface<erpapi::test::Backend> {
 protected:
  void SetUp() override {
    backend_ = GetParam();
    BridgeTest::SetUp();
    if (!HasFatalFailure() && !IsSkipped()) start();
  }
  // DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT of one price; no row
  // when there is no such price.
  Rows price(std::string_view article, std::int32_t line, std::string_view currency = demo::kNationalCurrency) const {
    return company_->rows(
        "SELECT DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND "
        "LINPRC = ?",
        {Variant(article), Variant(currency), Variant(line)});
  }
  static std::string today() { return vb::FormatDate(vb::today(), "dd-mm-yyyy"); }
};

TEST_P(AlteraPrecoTest, AMissingPriceIsInsertedWithoutHistoryOrUpdateDate) {
  alteraPreco(demo::kFixedPriceArticleWithoutPrice, kEur, demo::kPriceLine, kNewStart, 0.5, 0.53);
  EXPECT_EQ(price(demo::kFixedPriceArticleWithoutPrice, demo::kPriceLine),
            (Rows{{kNewStartText, "0.5", "0.53", "0", "0", "<null>"}}));
  EXPECT_EQ(recorder_->calls(),
            (std::vector<std::string>{"OpenRecordset: SELECT       ARTIGO, MOEDA, LINPRC FROM         PRECOS WHERE  "
                                      "      (ARTIGO = 'CEV001') AND (MOEDA = 'EUR') AND (LINPRC =1 ) "}));
}

TEST_P(AlteraPrecoTest, AChangedPriceKeepsThePreviousOneAsHistoryAndOnlyTheLastOne) {
  const Rows before = price(demo::kFixedPriceArticle, demo::kPriceLine);
  ASSERT_EQ(before.size(), 1u);
  alteraPreco(demo::kFixedPriceArticle, kEur, demo::kPriceLine, kNewStart, 0.4, 0.424);
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine),
            (Rows{{kNewStartText, "0.4", "0.424", before[0][1], before[0][2], today()}}));

  alteraPreco(demo::kFixedPriceArticle, kEur, demo::kPriceLine, kNewStart, 0.45, 0.477);
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine),
            (Rows{{kNewStartText, "0.45", "0.477", "0.4", "0.424", today()}}));
}

TEST_P(AlteraPrecoTest, ANegativeLineRemovesThatLinesPriceAndOnlyThat) {
  Rows expected = company_->prices();
  const Rows removed =
      company_->rows("SELECT * FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
                     {Variant(demo::kFixedPriceArticle), Variant(kEur), Variant(std::int32_t{demo::kSecondPriceLine})});
  ASSERT_EQ(removed.size(), 1u);
  std::erase(expected, removed[0]);

  alteraPreco(demo::kFixedPriceArticle, kEur, -demo::kSecondPriceLine, kNewStart, 0, 0);
  EXPECT_EQ(company_->prices(), expected);
  EXPECT_EQ(recorder_->calls().back(),
            "Execute: DELETE  FROM         PRECOS WHERE        (ARTIGO = 'MIL001') AND (MOEDA = 'EUR') AND "
            "(LINPRC =2 ) ");
}

TEST_P(AlteraPrecoTest, WhatThereIsNothingToDoForChangesNothingAndRaisesNothing) {
  struct Case {
    const char* name;
    std::string_view article;
    std::string currency;
    std::int32_t line;
  };
  const Rows before = company_->prices();
  for (const auto& c :
       {Case{"removing a missing price", demo::kFixedPriceArticleWithoutPrice, kEur, -demo::kPriceLine},
        Case{"moving the date of a missing price", demo::kFixedPriceArticleWithoutPrice, kDateOnlyEur,
             demo::kPriceLine},
        Case{"a date-only change never removes", demo::kFixedPriceArticle, kDateOnlyEur, -demo::kPriceLine}}) {
    recorder_->clear();
    alteraPreco(c.article, c.currency, c.line, kNewStart, 0, 0);
    EXPECT_EQ(company_->prices(), before) << c.name;
    EXPECT_EQ(recorder_->calls().size(), 1u) << c.name << ": only the price was looked for";
  }
}

TEST_P(AlteraPrecoTest, ADateOnlyChangeMovesTheStartAndUpdateDatesAndKeepsTheValues) {
  const Rows before = price(demo::kFixedPriceArticle, demo::kPriceLine);
  ASSERT_EQ(before.size(), 1u);
  alteraPreco(demo::kFixedPriceArticle, kDateOnlyEur, demo::kPriceLine, kNewStart, 9.99, 9.99);
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine),
            (Rows{{kNewStartText, before[0][1], before[0][2], before[0][3], before[0][4], today()}}));
}

TEST_P(AlteraPrecoTest, APriceKeptInALineThatIsNoLongerDefinedCanStillBeChanged) {
  alteraPreco(demo::kFixedPriceArticle, kEur, demo::kUndefinedPriceLine, kNewStart, 0.3, 0.318);
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kUndefinedPriceLine)[0][1], "0.3");
}

TEST_P(AlteraPrecoTest, RefusalsArriveWithTheApisNumberAndMessageAndWriteNothing) {
  struct Case {
    const char* name;
    std::string article, currency;
    std::int32_t line;
    double price;
    std::int32_t number;
    std::string message;
  };
  const std::string fixed(demo::kFixedPriceArticle), without(demo::kFixedPriceArticleWithoutPrice);
  const Case cases[] = {
      {"unknown article", std::string(demo::kUnknownArticle), kEur, demo::kPriceLine, 0.3,
       erpapi::apierr::UnknownArticle, "O artigo NAOEXISTE não existe."},
      {"article code with a quote", "X'Y", kEur, demo::kPriceLine, 0.3, erpapi::apierr::UnknownArticle,
       "O artigo X'Y não existe."},
      {"unknown currency", without, std::string(demo::kUnknownCurrency), demo::kPriceLine, 0.3,
       erpapi::apierr::UnknownCurrency, "A moeda XXX não existe."},
      {"unknown price line", without, kEur, demo::kUnknownPriceLine, 0.3, erpapi::apierr::UnknownPriceLine,
       "A linha de preços 77 não existe."},
      {"new price in a line that is not defined", without, kEur, demo::kUndefinedPriceLine, 0.3,
       erpapi::apierr::UnknownPriceLine, "A linha de preços 9 não existe."},
      {"negative new price", without, kEur, demo::kPriceLine, -0.3, erpapi::apierr::NegativePrice,
       "O preço de venda não pode ser negativo."},
      {"negative changed price", fixed, kEur, demo::kPriceLine, -0.3, erpapi::apierr::NegativePrice,
       "O preço de venda não pode ser negativo."},
  };
  const Rows before = company_->prices();
  for (const auto& c : cases) {
    auto error = errorOf([&] { alteraPreco(c.article, c.currency, c.line, kNewStart, c.price, c.price); });
    EXPECT_EQ(error.number(), c.number) << c.name;
    EXPECT_EQ(error.source(), "Altera Preço") << c.name;
    EXPECT_EQ(error.description(), c.message) << c.name;
  }
  EXPECT_EQ(company_->prices(), before);
  EXPECT_NE(std::find(recorder_->calls().begin(), recorder_->calls().end(),
                      "OpenRecordset: SELECT       ARTIGO, MOEDA, LINPRC FROM         PRECOS WHERE        "
                      "(ARTIGO = 'X''Y') AND (MOEDA = 'EUR') AND (LINPRC =1 ) "),
            recorder_->calls().end());
}

INSTANTIATE_TEST_SUITE_P(Backends, AlteraPrecoTest,
                         ::testing::Values(erpapi::test::Backend::Embedded, erpapi::test::Backend::Server),
                         sql::testing::backendName);

TEST_F(BridgeTest, WithoutItsDataAccessObjectAPriceChangeFailsAsAlteraPreco) {
  ASSERT_EQ(iniciar(), Variant(true));
  auto error = errorOf(
      [&] { alteraPreco(demo::kFixedPriceArticle, demo::kNationalCurrency, demo::kPriceLine, kNewStart, 0.4, 0.424); });
  EXPECT_EQ(error.number(), vberr::ObjectNotSet);
  EXPECT_EQ(error.source(), "Altera Preço");
}

}  // namespace
}  // namespace quill::bridgetest
