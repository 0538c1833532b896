// Prices through the ERP API: reading one price, what validation refuses,
// inserting and changing.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <functional>

#include "erp/DemoCodes.h"
#include "erp/api/ApiRefusal.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/erp/api/ApiTestSupport.h"

namespace quill::erpapi::test {
namespace {

namespace demo = erp::demo;

class ArticlePriceTest : public StartedApi {
 protected:
  // A price object with every value of a price set, not yet read or saved.
  DispatchPtr priceOf(std::string_view article, std::string_view currency, std::int32_t line, double price) const {
    auto p = create("SageApiNextPlus.Precos");
    late::let(p, "CodigoDoArtigo", Variant(article));
    late::let(p, "Moeda", Variant(currency));
    late::let(p, "LinhaDePreco", Variant(line));
    late::let(p, "PrecoVendaSemIva", Variant(price));
    late::let(p, "PrecoVendaComIva", Variant(price * 1.06));
    late::let(p, "DataInicioDoPreco", Variant(vb::makeDate(2026, 7, 1)));
    return p;
  }
  DemoCompanyCopy::Rows row(std::string_view article, std::string_view currency, std::int32_t line) const {
    return company_->rows(
        "SELECT DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND "
        "LINPRC = ?",
        {Variant(article), Variant(currency), Variant(line)});
  }
};

TEST_F(ArticlePriceTest, ReadingAPriceGivesItsValuesAndAMissingOneIsRefused) {
  auto p = create("SageApiNextPlus.Precos");
  ASSERT_EQ(late::call(p, "LerPorArtmlin",
                       {Variant(demo::kFixedPriceArticle), Variant(demo::kNationalCurrency),
                        Variant(std::int32_t{demo::kPriceLine})}),
            Variant(std::int32_t{0}));
  auto stored = row(demo::kFixedPriceArticle, demo::kNationalCurrency, demo::kPriceLine);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(vb::CStr(late::get(p, "DataInicioDoPreco")), stored[0][0]);
  EXPECT_EQ(fmt::format("{}", vb::CDbl(late::get(p, "PrecoVendaSemIva"))), stored[0][1]);
  EXPECT_EQ(fmt::format("{}", vb::CDbl(late::get(p, "BaseUtilHistorica"))), stored[0][3]);
  EXPECT_EQ(late::get(p, "CodigoDoArtigo"), Variant(demo::kFixedPriceArticle));

  EXPECT_EQ(late::call(p, "LerPorArtmlin",
                       {Variant(demo::kFixedPriceArticleWithoutPrice), Variant(demo::kNationalCurrency),
                        Variant(std::int32_t{1})}),
            Variant(apierr::PriceNotFound));
  EXPECT_EQ(late::get(p, "UltimaMensagem"),
            Variant("Não existe preço do artigo CEV001 na moeda EUR e linha de preços 1."));
}

TEST_F(ArticlePriceTest, ValidationRefusesWhatTheErpRefusesAndWritesNothing) {
  struct Case {
    const char* name;
    std::string article, currency;
    std::int32_t line;
    double price;
    std::function<void(const DispatchPtr&)> change;
    std::int32_t number;
  };
  const std::string article(demo::kFixedPriceArticleWithoutPrice), eur(demo::kNationalCurrency);
  auto none = [](const DispatchPtr&) {};
  const Case cases[] = {
      {"unknown article", std::string(demo::kUnknownArticle), eur, demo::kPriceLine, 0.3, none, apierr::UnknownArticle},
      {"unknown currency", article, std::string(demo::kUnknownCurrency), demo::kPriceLine, 0.3, none,
       apierr::UnknownCurrency},
      {"unknown price line", article, eur, demo::kUnknownPriceLine, 0.3, none, apierr::UnknownPriceLine},
      {"price line without a LINPRC row", article, eur, demo::kUndefinedPriceLine, 0.3, none, apierr::UnknownPriceLine},
      {"negative line", article, eur, -1, 0.3, none, apierr::UnknownPriceLine},
      {"negative price", article, eur, demo::kPriceLine, -0.01, none, apierr::NegativePrice},
      {"negative price with VAT", article, eur, demo::kPriceLine, 0.3,
       [](const DispatchPtr& p) { late::let(p, "PrecoVendaComIva", Variant(-1.0)); }, apierr::NegativePrice},
      {"negative history", article, eur, demo::kPriceLine, 0.3,
       [](const DispatchPtr& p) { late::let(p, "BaseUtilHistorica", Variant(-1.0)); }, apierr::NegativePrice},
      {"start date that is no date", article, eur, demo::kPriceLine, 0.3,
       [](const DispatchPtr& p) { late::let(p, "DataInicioDoPreco", Variant("31-02-2026")); }, apierr::InvalidDate},
      {"update date that is no date", article, eur, demo::kPriceLine, 0.3,
       [](const DispatchPtr& p) { late::let(p, "DataDeActualizacao", Variant("ontem")); }, apierr::InvalidDate},
  };
  const auto before = company_->prices();
  for (const auto& c : cases) {
    auto p = priceOf(c.article, c.currency, c.line, c.price);
    c.change(p);
    EXPECT_EQ(late::call(p, "Validar"), Variant(c.number)) << c.name;
    EXPECT_EQ(late::call(p, "Inserir"), Variant(c.number)) << c.name;
    EXPECT_EQ(late::get(p, "UltimoErro"), Variant(c.number)) << c.name;
    EXPECT_FALSE(vb::CStr(late::get(p, "UltimaMensagem")).empty()) << c.name;
  }
  EXPECT_EQ(company_->prices(), before);
}

TEST_F(ArticlePriceTest, InsertingStoresTheValuesGivenAndRefusesAPriceThatExists) {
  auto p = priceOf(demo::kFixedPriceArticleWithoutPrice, demo::kNationalCurrency, demo::kSecondPriceLine, 0.5);
  late::let(p, "DataInicioDoPreco", Variant("01-08-2026"));
  ASSERT_EQ(late::call(p, "Validar"), Variant(std::int32_t{0}));
  ASSERT_EQ(late::call(p, "Inserir"), Variant(std::int32_t{0})) << vb::CStr(late::get(p, "UltimaMensagem"));
  EXPECT_EQ(row(demo::kFixedPriceArticleWithoutPrice, demo::kNationalCurrency, demo::kSecondPriceLine),
            (DemoCompanyCopy::Rows{{"01-08-2026", "0.5", "0.53", "0", "0", "<null>"}}));

  EXPECT_EQ(late::call(p, "Inserir"), Variant(apierr::PriceExists));
  EXPECT_EQ(late::get(p, "UltimaMensagem"),
            Variant("Já existe preço do artigo CEV001 na moeda EUR e linha de preços 2."));
}

TEST_F(ArticlePriceTest, ChangingNeedsAnExistingPriceEvenInALineThatIsNoLongerDefined) {
  auto missing = priceOf(demo::kFixedPriceArticleWithoutPrice, demo::kNationalCurrency, demo::kPriceLine, 0.5);
  EXPECT_EQ(late::call(missing, "Alterar"), Variant(apierr::PriceNotFound));

  auto kept = create("SageApiNextPlus.Precos");
  ASSERT_EQ(late::call(kept, "LerPorArtmlin",
                       {Variant(demo::kFixedPriceArticle), Variant(demo::kNationalCurrency),
                        Variant(std::int32_t{demo::kUndefinedPriceLine})}),
            Variant(std::int32_t{0}));
  late::let(kept, "PrecoVendaSemIva", Variant(0.31));
  late::let(kept, "DataDeActualizacao", Variant("15-07-2026"));
  EXPECT_EQ(late::call(kept, "Validar"), Variant(std::int32_t{0}));
  ASSERT_EQ(late::call(kept, "Alterar"), Variant(std::int32_t{0})) << vb::CStr(late::get(kept, "UltimaMensagem"));
  auto stored = row(demo::kFixedPriceArticle, demo::kNationalCurrency, demo::kUndefinedPriceLine);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0][1], "0.31");
  EXPECT_EQ(stored[0][5], "15-07-2026");
}

}  // namespace
}  // namespace quill::erpapi::test
