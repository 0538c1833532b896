#include <fmt/format.h>
#include <gtest/gtest.h>

#include "erp/CompanySchema.h"
#include "erp/DemoCodes.h"
#include "erp/Installation.h"
#include "tests/erp/ErpTestSupport.h"

namespace quill::erp {
namespace {

using namespace demo;
using test::sqlText;

std::string q(std::string_view text) { return sqlText(text); }

std::string documentWhere(const KnownDocument& d, const char* typeColumn = "TPDOC") {
  return fmt::format("{} = {} AND SERIE = {} AND NNUMDOC = {} AND ANO = {}", typeColumn, q(d.type), d.series, d.number,
                     d.year);
}

std::string linesOf(const KnownDocument& d) {
  return fmt::format("FROM DOCGCLIN WHERE {}", documentWhere(d, "TPDOCUM"));
}

std::string article(std::string_view code, const std::string& condition) {
  return fmt::format(
      "SELECT count(*) FROM ARTIGOS A LEFT JOIN U_ARTIGOS U ON U.CODIGO = A.CODIGO WHERE A.CODIGO = {} AND {}", q(code),
      condition);
}

std::string client(std::string_view code, const std::string& condition) {
  return fmt::format(
      "SELECT count(*) FROM CLIENTES C LEFT JOIN U_CLIENTES U ON U.CODIGO = C.CODIGO WHERE C.CODIGO = {} AND {}",
      q(code), condition);
}

std::string price(std::string_view code, int line, const std::string& condition,
                  std::string_view currency = kNationalCurrency) {
  return fmt::format("SELECT count(*) FROM PRECOS WHERE ARTIGO = {} AND MOEDA = {} AND LINPRC = {} AND {}", q(code),
                     q(currency), line, condition);
}

std::string groupDiscounts(std::string_view code, const std::string& condition) {
  return fmt::format("SELECT count(*) FROM U_QOR_GRUPOSDESCONTO WHERE CLIENTE = {} AND {}", q(code), condition);
}

// Each row: what DemoCodes.h promises, and a query that answers the number of
// rows keeping the promise (expected 1 unless stated).
struct Promise {
  std::string what;
  std::string sql;
  std::int64_t expected = 1;
};

std::vector<Promise> promises() {
  const std::string past = fmt::format("DATINIC = '{} 00:00:00'", kPastPriceStart);
  const std::string future = fmt::format("DATINIC = '{} 00:00:00'", kFuturePriceStart);
  const std::string lastDocument = "(SELECT max(DATA) FROM DOCGCCAB)";
  const std::string firstDocument = "(SELECT min(DATA) FROM DOCGCCAB)";
  const std::string active = "A.INACTIVO = 0 AND A.ARTOUDES = 0";
  const std::string noScheduled = "A.CODIGO NOT IN (SELECT ARTIGO FROM U_QOR_PRECOS)";
  const std::string ordinaryClient =
      "C.TPPRECO = 0 AND C.INACTIVO = 0 AND coalesce(U.DSCVALPORKG, 0) = 0 AND C.CODIGO NOT IN (SELECT CLIENTE FROM "
      "U_QOR_GRUPOSDESCONTO)";
  return {
      // Parameters
      {"national currency, regime and accounting link",
       fmt::format("SELECT count(*) FROM PARAMETROS WHERE MOEDANAC = {} AND RGIVANAC = {} AND LIGACTB = {}",
                   q(kNationalCurrency), q(kNationalVatRegime), kLinkedToAccounting ? -1 : 0)},
      {"national VAT rates",
       fmt::format("SELECT count(*) FROM RGIVA WHERE CODIGO = {} AND TX1 = {} AND TX2 = {} AND TX3 = {} AND TX4 = {}",
                   q(kNationalVatRegime), kNationalVatRates[0], kNationalVatRates[1], kNationalVatRates[2],
                   kNationalVatRates[3])},
      {"other currency and regime",
       fmt::format("SELECT (SELECT count(*) FROM MOEDAS WHERE CODIGO = {}) + (SELECT count(*) FROM RGIVA WHERE CODIGO "
                   "= {})",
                   q(kOtherCurrency), q(kOtherVatRegime)),
       2},
      {"unknown currency", fmt::format("SELECT count(*) FROM MOEDAS WHERE CODIGO = {}", q(kUnknownCurrency)), 0},

      // Dates
      {"documents within the period", fmt::format("SELECT {} = '{} 00:00:00' AND {} = '{} 00:00:00'", firstDocument,
                                                  kDocumentsFrom, lastDocument, kDocumentsTo)},
      {"future prices start after every document",
       fmt::format("SELECT '{} 00:00:00' > {}", kFuturePriceStart, lastDocument)},
      {"past prices start before every document",
       fmt::format("SELECT '{} 00:00:00' < {}", kPastPriceStart, firstDocument)},
      {"the document date lies in the period",
       fmt::format("SELECT '{0}' >= '{1}' AND '{0}' <= '{2}'", kDocumentDate, kDocumentsFrom, kDocumentsTo)},

      // Price lines, groups, sellers, zones, portfolios, dispatch codes, units
      {"price lines", fmt::format("SELECT count(*) FROM LINPRC WHERE LINHA IN ({}, {})", kPriceLine, kSecondPriceLine),
       2},
      {"undefined price line has prices but no row",
       fmt::format("SELECT (SELECT count(*) FROM LINPRC WHERE LINHA = {0}) = 0 AND (SELECT count(*) FROM PRECOS WHERE "
                   "LINPRC = {0}) > 0",
                   kUndefinedPriceLine)},
      {"unknown price line", fmt::format("SELECT count(*) FROM LINPRC WHERE LINHA = {0}", kUnknownPriceLine), 0},
      {"groups",
       fmt::format("SELECT count(*) FROM GRUPOS WHERE COD IN ({}, {}, {}, {})", q(kFeedGroup), q(kCerealGroup),
                   q(kPetFoodGroup), q(kServicesGroup)),
       4},
      {"seller with a rate for every group",
       fmt::format(
           "SELECT count(*) FROM GRUPOS WHERE COD <> {} AND COD NOT IN (SELECT GRUPO FROM U_QOR_COMGRUPOS WHERE "
           "VENDEDOR = {})",
           q(kServicesGroup), q(kSeller)),
       0},
      {"seller without rates",
       fmt::format("SELECT (SELECT count(*) FROM VENDEDOR WHERE CODIGO = {0}) = 1 AND (SELECT count(*) FROM "
                   "U_QOR_COMGRUPOS WHERE VENDEDOR = {0}) = 0",
                   q(kSellerWithoutRates))},
      {"namesake sellers",
       fmt::format(
           "SELECT count(DISTINCT CODIGO) = 2 AND count(DISTINCT NOME) = 1 FROM VENDEDOR WHERE CODIGO IN ({}, {})",
           q(kNamesakeSeller1), q(kNamesakeSeller2))},
      {"zone", fmt::format("SELECT count(*) FROM ZONAGEO WHERE ZONA = {}", q(kZone))},
      {"active portfolio",
       fmt::format("SELECT count(*) FROM CARTEIRA WHERE CODIGO = {} AND ACTIVO = -1", q(kActivePortfolio))},
      {"inactive portfolio",
       fmt::format("SELECT count(*) FROM CARTEIRA WHERE CODIGO = {} AND ACTIVO = 0", q(kInactivePortfolio))},
      {"allowance dispatch",
       fmt::format("SELECT count(*) FROM EXPEDIR E JOIN U_EXPEDIR U ON U.CODIGO = E.CODIGO WHERE E.CODIGO = {} AND "
                   "U.ABONOFRETES = -1",
                   q(kAllowanceDispatch))},
      {"dispatch without allowance",
       fmt::format("SELECT count(*) FROM EXPEDIR E JOIN U_EXPEDIR U ON U.CODIGO = E.CODIGO WHERE E.CODIGO = {} AND "
                   "U.ABONOFRETES = 0",
                   q(kNoAllowanceDispatch))},
      {"dispatch without user fields",
       fmt::format("SELECT count(*) FROM EXPEDIR E LEFT JOIN U_EXPEDIR U ON U.CODIGO = E.CODIGO WHERE E.CODIGO = {} "
                   "AND U.CODIGO IS NULL",
                   q(kDispatchWithoutUserFields))},
      {"units",
       fmt::format("SELECT count(*) FROM UNIDADES WHERE CODIGO IN ({}, {}, {})", q(kSaleUnit), q(kSackUnit),
                   q(kPalletUnit)),
       3},

      // Articles
      {"fixed-price article",
       article(kFixedPriceArticle,
               fmt::format("U.PRECOFIXO = -1 AND {} AND A.GRUPO = {} AND A.UNVND = {} AND A.UNEMB = {} AND A.FACTEMB = "
                           "{} AND A.UNTRANS = {} AND A.FACTTRA = {}",
                           active, q(kCerealGroup), q(kSaleUnit), q(kSackUnit), kFixedPriceArticlePackingFactor,
                           q(kPalletUnit), kFixedPriceArticleTransportFactor))},
      {"fixed-price article priced in every price line from the past start",
       fmt::format("SELECT count(*) FROM LINPRC L WHERE NOT EXISTS (SELECT 1 FROM PRECOS P WHERE P.ARTIGO = {} AND "
                   "P.MOEDA = {} AND P.LINPRC = L.LINHA AND P.{} AND P.BUTHIST > 0 AND P.PVP > 0)",
                   q(kFixedPriceArticle), q(kNationalCurrency), past),
       0},
      {"fixed-price article priced in line 0, the undefined line and the other currency",
       fmt::format("SELECT ({}) + ({}) + ({})", price(kFixedPriceArticle, 0, past),
                   price(kFixedPriceArticle, kUndefinedPriceLine, past),
                   price(kFixedPriceArticle, kPriceLine, past, kOtherCurrency)),
       3},
      {"fixed-price article without a scheduled price", article(kFixedPriceArticle, noScheduled)},
      {"future price with a previous price",
       price(kFuturePriceArticle, kPriceLine, future + " AND BUTHIST > 0 AND PVP <> BUTHIST")},
      {"future-price article is fixed-price", article(kFuturePriceArticle, "U.PRECOFIXO = -1 AND " + active)},
      {"future price without a previous price",
       price(kFuturePriceZeroHistoryArticle, kPriceLine, future + " AND BUTHIST = 0 AND PVP > 0")},
      {"zero-history article is fixed-price without a scheduled price",
       article(kFuturePriceZeroHistoryArticle, "U.PRECOFIXO = -1 AND " + noScheduled)},
      {"fixed-price article without prices",
       article(kFixedPriceArticleWithoutPrice,
               "U.PRECOFIXO = -1 AND A.CODIGO NOT IN (SELECT ARTIGO FROM PRECOS) AND " + active)},
      {"group-discount article",
       article(kGroupDiscountArticle,
               fmt::format("U.PRECOFIXO = 0 AND A.GRUPO = {} AND {} AND {}", q(kFeedGroup), active, noScheduled))},
      {"scheduled price in force",
       article(
           kScheduledPriceArticle,
           fmt::format("{} AND coalesce(U.PRECOFIXO, 0) = 0 AND EXISTS (SELECT 1 FROM U_QOR_PRECOS S WHERE S.ARTIGO "
                       "= A.CODIGO AND S.DATAACTIVACAO = '{} 00:00:00' AND S.PVP1SIVA <> A.PVPSIVA AND S.HPVP1SIVA "
                       "= A.PVPSIVA AND S.PVP2SIVA <> A.PVALSIVA AND S.PVP3SIVA <> A.PVP3_SEM_IVA)",
                       active, kPastActivation))},
      {"scheduled price activated in the future",
       article(kFutureScheduledPriceArticle,
               fmt::format("EXISTS (SELECT 1 FROM U_QOR_PRECOS S WHERE S.ARTIGO = A.CODIGO AND S.DATAACTIVACAO = '{} "
                           "00:00:00' AND S.PVP1SIVA <> S.HPVP1SIVA)",
                           kFuturePriceStart))},
      {"ordinary article",
       article(kOrdinaryArticle,
               fmt::format("U.PRECOFIXO = 0 AND {} AND {} AND A.GRUPO NOT IN (SELECT GRUPO FROM U_QOR_GRUPOSDESCONTO)",
                           active, noScheduled))},
      {"description-only article", article(kDescriptionOnlyArticle, "A.ARTOUDES = -1 AND A.INACTIVO = 0")},
      {"inactive article", article(kInactiveArticle, "A.INACTIVO = -1")},
      {"article without user fields", article(kArticleWithoutUserFields, "U.CODIGO IS NULL AND " + active)},
      {"article outside the VAT indexes",
       article(kArticleOutsideVatIndexes, "A.IVA NOT BETWEEN 1 AND 4 AND " + active)},
      {"article with zero factors",
       article(kZeroFactorArticle, "A.UNEMB <> '' AND A.FACTEMB = 0 AND A.UNTRANS <> '' AND A.FACTTRA = 0")},
      {"allowance article",
       article(kAllowanceArticle, fmt::format("A.NOME = {} AND {} AND A.GRUPO = {}", q(kAllowanceArticleName), active,
                                              q(kServicesGroup)))},
      {"unknown article", fmt::format("SELECT count(*) FROM ARTIGOS WHERE CODIGO = {}", q(kUnknownArticle)), 0},

      // Clients
      {"price-line client",
       client(kPriceLineClient, fmt::format("C.TPPRECO = {} AND C.INACTIVO = 0 AND coalesce(U.DSCVALPORKG, 0) = 0 AND "
                                            "coalesce(U.ABNFRTPORTN, 0) = 0 AND C.CODIGO NOT IN (SELECT CLIENTE FROM "
                                            "U_QOR_GRUPOSDESCONTO)",
                                            kPriceLine))},
      {"second price-line client", client(kSecondPriceLineClient, fmt::format("C.TPPRECO = {}", kSecondPriceLine))},
      {"group-discount client",
       client(
           kGroupDiscountClient,
           fmt::format("C.TPPRECO = 0 AND coalesce(U.DSCVALPORKG, 0) = 0 AND EXISTS (SELECT 1 FROM "
                       "U_QOR_GRUPOSDESCONTO G WHERE G.CLIENTE = C.CODIGO AND G.GRUPO = {} AND G.DESCONTO = {}) AND "
                       "EXISTS (SELECT 1 FROM U_QOR_GRUPOSDESCONTO G WHERE G.CLIENTE = C.CODIGO AND G.GRUPO = {} AND "
                       "G.DESCONTO > 0)",
                       q(kFeedGroup), kGroupDiscount, q(kCerealGroup)))},
      {"per-kg discount client",
       client(kPerKgDiscountClient,
              fmt::format("C.TPPRECO = 0 AND U.DSCVALPORKG = {} AND C.CODIGO NOT IN (SELECT CLIENTE FROM "
                          "U_QOR_GRUPOSDESCONTO)",
                          kPerKgDiscount))},
      {"allowance client",
       client(kAllowanceClient,
              fmt::format("C.TPPRECO = 0 AND U.ABNFRTPORTN = {} AND C.INACTIVO = 0", kAllowancePerTonne))},
      {"zero-allowance client", client(kZeroAllowanceClient, "U.ABNFRTPORTN = 0 AND U.DSCVALPORKG = 0")},
      {"client without user fields", client(kClientWithoutUserFields, "U.CODIGO IS NULL")},
      {"tolerance client", client(kToleranceClient, fmt::format("U.DIASTOLERANCIA = {}", kToleranceDays))},
      {"tolerance client owes closed invoices",
       fmt::format("SELECT count(*) > 0 FROM CCCLIENTES WHERE CLIENTE = {} AND VALPEND > 0 AND TPDOC = {}",
                   q(kToleranceClient), q(kInvoiceType))},
      {"retail client", client(kRetailClient, ordinaryClient + " AND C.TPPRE = 0 AND coalesce(C.DESCCOMP, '') = ''")},
      {"client of every rule",
       client(kAllRulesClient,
              fmt::format("C.TPPRECO = {} AND U.DSCVALPORKG = {} AND U.ABNFRTPORTN = {} AND EXISTS (SELECT 1 FROM "
                          "U_QOR_GRUPOSDESCONTO G WHERE G.CLIENTE = C.CODIGO AND G.GRUPO = {} AND G.DESCONTO = {})",
                          kPriceLine, kAllRulesPerKgDiscount, kAllRulesAllowancePerTonne, q(kFeedGroup),
                          kAllRulesGroupDiscount))},
      {"second retail price client", client(kSecondRetailPriceClient, ordinaryClient + " AND C.TPPRE = 1")},
      {"third retail price client", client(kThirdRetailPriceClient, ordinaryClient + " AND C.TPPRE = 2")},
      {"odd retail price client", client(kOddRetailPriceClient, ordinaryClient + " AND C.TPPRE NOT IN (0, 1, 2)")},
      {"compound discount", client(kCompoundDiscountClient, "C.DESCCOMP = '10+5'")},
      {"double plus discount", client(kDoublePlusDiscountClient, "C.DESCCOMP = '10++5'")},
      {"malformed discount", client(kMalformedDiscountClient, "C.DESCCOMP = '10+abc'")},
      {"inactive client", client(kInactiveClient, "C.INACTIVO = -1")},
      {"five discounted groups, nothing else", groupDiscounts(kFiveGroupsClient, "DESCONTO <> 0"), 5},
      {"five groups without zero rows", groupDiscounts(kFiveGroupsClient, "DESCONTO = 0"), 0},
      {"six discounted groups, nothing else", groupDiscounts(kSixGroupsClient, "DESCONTO <> 0"), 6},
      {"six groups without zero rows", groupDiscounts(kSixGroupsClient, "DESCONTO = 0"), 0},
      {"only zero discounts",
       fmt::format("SELECT ({}) > 0 AND ({}) = 0", groupDiscounts(kZeroDiscountsClient, "DESCONTO = 0"),
                   groupDiscounts(kZeroDiscountsClient, "DESCONTO <> 0"))},
      {"undefined price-line client",
       client(kUndefinedPriceLineClient, fmt::format("C.TPPRECO = {}", kUndefinedPriceLine))},
      {"quoted code and name", client(kQuotedCodeClient, "C.NOME LIKE '%''%' AND C.INACTIVO = 0")},
      {"unknown client", fmt::format("SELECT count(*) FROM CLIENTES WHERE CODIGO = {}", q(kUnknownClient)), 0},

      // Document types and series
      {"invoice type",
       fmt::format("SELECT count(*) FROM TIPOSDOC WHERE CODIGO = {} AND AREAG = 4 AND TPTERC = 2 AND TPOPER = 2 AND "
                   "NATCONTA = 1 AND TIPIFSTK <> 1 AND SINALCT = 1",
                   q(kInvoiceType))},
      {"credit note type has a credit note's classification",
       fmt::format("SELECT count(*) FROM TIPOSDOC WHERE CODIGO = {} AND AREAG = 4 AND TPTERC = 2 AND TPOPER = 2 AND "
                   "NATCONTA = 1 AND TIPIFSTK = 1 AND SINALCT = 2",
                   q(kCreditNoteType))},
      {"only the credit note type is classified as a credit note",
       "SELECT count(*) FROM TIPOSDOC WHERE AREAG = 4 AND TPTERC = 2 AND TPOPER = 2 AND NATCONTA = 1 AND TIPIFSTK = 1"},
      {"order type is not posted",
       fmt::format("SELECT count(*) FROM TIPOSDOC WHERE CODIGO = {} AND NATCONTA = 0", q(kOrderType))},
      {"signed and certified series",
       fmt::format("SELECT count(*) FROM SERIES WHERE TPDOC = {} AND SERIE = {} AND ASSINADA = -1 AND CERTIFICADA = -1",
                   q(kInvoiceType), kSignedSeries)},
      {"unsigned series",
       fmt::format(
           "SELECT count(*) FROM SERIES WHERE TPDOC = {} AND SERIE IN ({}, {}) AND ASSINADA = 0 AND CERTIFICADA = 0",
           q(kInvoiceType), kUnsignedSeriesZero, kUnsignedSeries),
       2},

      // Documents
      {"signed invoice, closed",
       fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {} AND EMPREP = 0", documentWhere(kSignedInvoice))},
      {"invoice in preparation for the allowance client",
       fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {} AND EMPREP = -1 AND TERCEIRO = {} AND EXPEDICAO = {}",
                   documentWhere(kInvoiceInPreparation), q(kAllowanceClient), q(kAllowanceDispatch))},
      {"invoice in preparation has lines in KG, SC and PAL",
       fmt::format("SELECT count(DISTINCT UNIDADE) {} AND TIPOLIN = {} AND UNIDADE IN ({}, {}, {})",
                   linesOf(kInvoiceInPreparation), kLineTypeArticle, q(kSaleUnit), q(kSackUnit), q(kPalletUnit)),
       3},
      {"series zero invoice for the allowance client",
       fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {} AND TERCEIRO = {} AND EXPEDICAO = {}",
                   documentWhere(kSeriesZeroInvoice), q(kAllowanceClient), q(kAllowanceDispatch))},
      {"invoice with an allowance line",
       fmt::format("SELECT count(*) {} AND TIPOLIN = {} AND ARTIGO = {}", linesOf(kInvoiceWithAllowanceLine),
                   kLineTypeService, q(kAllowanceArticle))},
      {"invoice without article lines",
       fmt::format("SELECT count(*) {} AND TIPOLIN = 1 AND ARTIGO NOT IN (SELECT CODIGO FROM ARTIGOS WHERE ARTOUDES = "
                   "-1)",
                   linesOf(kInvoiceWithoutArticleLines)),
       0},
      {"invoice without article lines has lines",
       fmt::format("SELECT count(*) > 1 {}", linesOf(kInvoiceWithoutArticleLines))},
      {"credit note", fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {} AND SINALCT = 2 AND TIPIFSTK = 1",
                                  documentWhere(kCreditNote))},
      {"order", fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {}", documentWhere(kOrder))},
      {"unknown document", fmt::format("SELECT count(*) FROM DOCGCCAB WHERE {}", documentWhere(kUnknownDocument)), 0},
  };
}

TEST(DemoCodes, EveryWellKnownRowHasThePropertiesItsNamePromises) {
  auto db = test::demoCompany().databaseFile();
  for (const auto& p : promises()) EXPECT_EQ(test::scalar(db, p.sql), p.expected) << p.what << "\n  " << p.sql;
}

TEST(DemoCodes, TheDemoCompanyIsRegisteredWithTheDemoUser) {
  auto installation = Installation::open(test::demoInstallationFolder());
  auto company = installation.findCompany(kCompanyCode);
  ASSERT_TRUE(company);
  EXPECT_EQ(company->name, kCompanyName);
  EXPECT_EQ(company->databaseName, kDatabaseName);
  EXPECT_TRUE(installation.checkLogin(kLogin, kPassword));
}

}  // namespace
}  // namespace quill::erp
