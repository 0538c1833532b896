// SageNextApi.AbonoDeFrete in a real bridge process: the allowance line
// added or corrected, the weight of the lines, how documents are saved, and
// what is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bridge/BridgeLog.h"
#include "erp/api/ApiRefusal.h"
#include "platform/vb/Conversions.h"
#include "tests/bridge/BridgeTest.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill::bridgetest {
namespace {

using Rows = DemoCompanyCopy::Rows;

// Each case on the embedded database and on the test server.
class AbonoDeFreteTest : public BridgeTest, public ::testing::WithParamInterface<erpapi::test::Backend> {
 protected:
  void SetUp() override {
    backend_ = GetParam();
    BridgeTest::SetUp();
    if (!HasFatalFailure() && !IsSkipped()) start();
  }
  std::vector<Variant> key(const demo::KnownDocument& k) const {
    return {Variant(k.type), Variant(std::int32_t{k.series}), Variant(std::int32_t{k.number}),
            Variant(std::int32_t{k.year})};
  }
  // The lines of a document: NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT,
  // QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, DESCVALOR, TAXAIVA.
  Rows lines(const demo::KnownDocument& k) const {
    return company_->rows(
        "SELECT NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, QUANTORIG, PRECUNIT, PRECUNITINT, DESCONTO, "
        "DESCVALOR, TAXAIVA FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? ORDER BY NUMLIN",
        key(k));
  }
  // The unit price of the document's (last) allowance line.
  double allowancePrice(const demo::KnownDocument& k) const {
    auto rows = company_->rows(
        "SELECT PRECUNIT FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND "
        "ANO = ? AND ARTIGO = ? ORDER BY NUMLIN DESC",
        {key(k)[0], key(k)[1], key(k)[2], key(k)[3], Variant(demo::kAllowanceArticle)});
    EXPECT_FALSE(rows.empty());
    return rows.empty() ? -1 : std::stod(rows[0][0]);
  }
  // The weight in kilograms of the document's article lines, stated the
  // way the business states it: quantity times the factor of the line's
  // unit (transport, else packing, else 1), description-only items and the
  // allowance itself not counting.
  double weight(const demo::KnownDocument& k) const {
    return vb::CDbl(
        company_->value("SELECT COALESCE(SUM(L.QUANT * CASE WHEN UPPER(L.UNIDADE) = UPPER(A.UNTRANS) THEN A.FACTTRA "
                        "WHEN UPPER(L.UNIDADE) = UPPER(A.UNEMB) THEN A.FACTEMB ELSE 1 END), 0) "
                        "FROM DOCGCLIN L JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO WHERE L.TPDOCUM = ? AND L.SERIE = ? AND "
                        "L.NNUMDOC = ? AND L.ANO = ? AND L.TIPOLIN = 1 AND A.ARTOUDES = 0 AND A.CODIGO <> ?",
                        {key(k)[0], key(k)[1], key(k)[2], key(k)[3], Variant(demo::kAllowanceArticle)}));
  }
  double headerValue(const demo::KnownDocument& k, const char* column) const {
    return vb::CDbl(company_->value(
        std::string("SELECT ") + column + " FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
        key(k)));
  }
};

TEST_P(AbonoDeFreteTest, ADocumentWithoutAllowanceGetsOneLineOfTheAllowanceArticle) {
  const auto& doc = demo::kInvoiceInPreparation;
  const Rows before = lines(doc);
  const double goodsBefore = headerValue(doc, "TOTMERC");
  const double price = weight(doc) / 1000.0 * demo::kAllowancePerTonne;
  ASSERT_GT(price, 0);

  abonoDeFrete(doc, demo::kAllowancePerTonne);

  const Rows after = lines(doc);
  ASSERT_EQ(after.size(), before.size() + 1);
  EXPECT_EQ(Rows(after.begin(), after.end() - 1), before) << "the other lines stay as they were";
  const auto& added = after.back();
  EXPECT_EQ(added[0], std::to_string(before.size() + 1));
  EXPECT_EQ(added[1], "3");
  EXPECT_EQ(added[2], demo::kAllowanceArticle);
  EXPECT_EQ(added[3], demo::kAllowanceArticleName);
  EXPECT_EQ(added[4], "UN");
  EXPECT_EQ(added[5], "1");
  EXPECT_EQ(added[6], "1");
  EXPECT_DOUBLE_EQ(std::stod(added[7]), price);
  EXPECT_DOUBLE_EQ(std::stod(added[8]), price);
  EXPECT_EQ(added[9], "") << "no client discount on the allowance";
  EXPECT_EQ(added[10], "0");
  EXPECT_EQ(std::stod(added[11]), demo::kNationalVatRates[2]);
  EXPECT_NEAR(headerValue(doc, "TOTMERC"), goodsBefore + price, 0.006);

  const std::string log = bridgeLog();
  const char* expected[] = {"Antes ler documento", "Após ler documento 0",  "fim ciclo validação",
                            "inserir abono",       " B após doc alterar 0", "sair "};
  std::size_t at = 0;
  for (const char* detail : expected) {
    at = log.find("DAL AbonoDeFrete     " + std::string(detail) + "\r\n", at);
    EXPECT_NE(at, std::string::npos) << detail << " in\n" << log;
  }
}

// The bridge's log goes where its client keeps logs, never into whatever
// folder the server happened to start in.
TEST_P(AbonoDeFreteTest, TheLogIsWrittenInTheLogFolderIniciarWasGiven) {
  const auto logFolder = company_->folder() / "log";
  std::filesystem::create_directories(logFolder);
  const std::string folder = company_->folder().string();
  ASSERT_EQ(late::call(bridge_, "Iniciar",
                       {Variant(folder), Variant(logFolder.string()), Variant(demo::kCompanyCode),
                        Variant(demo::kLogin), Variant(demo::kPassword)}),
            Variant(true));
  late::set(bridge_, "DataAccess", recorder_);
  abonoDeFrete(demo::kInvoiceInPreparation, demo::kAllowancePerTonne);
  std::ifstream in(logFolder / kBridgeLogFileName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("DAL AbonoDeFrete     sair \r\n"), std::string::npos) << text.str();
  EXPECT_FALSE(std::filesystem::exists(company_->folder() / kBridgeLogFileName)) << "the server's current folder";
}

TEST_P(AbonoDeFreteTest, AnExistingAllowanceLineIsCorrectedWithItsDiscountsCleared) {
  const auto& doc = demo::kInvoiceWithAllowanceLine;
  const Rows before = lines(doc);
  ASSERT_EQ(before.back()[2], demo::kAllowanceArticle);
  ASSERT_NE(before.back()[9], "") << "the demo line has a discount to clear";
  const double price = weight(doc) / 1000.0 * demo::kAllRulesAllowancePerTonne;

  abonoDeFrete(doc, demo::kAllRulesAllowancePerTonne);

  const Rows after = lines(doc);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(Rows(after.begin(), after.end() - 1), Rows(before.begin(), before.end() - 1));
  const auto& corrected = after.back();
  EXPECT_EQ(corrected[1], "3");
  EXPECT_EQ(corrected[5], "1");
  EXPECT_DOUBLE_EQ(std::stod(corrected[7]), price);
  EXPECT_EQ(corrected[9], "");
  EXPECT_EQ(corrected[10], "0");
  EXPECT_NE(bridgeLog().find("alterou abono"), std::string::npos);
}

TEST_P(AbonoDeFreteTest, SeriesZeroIsSavedWithOrigin3AndMode2TheOthersWithOrigin1AndTheDefault) {
  struct Case {
    demo::KnownDocument doc;
    const char* validation;
    const char* logged;
  };
  for (const auto& c :
       {Case{demo::kSeriesZeroInvoice, "Validar documento FT 0/1/2026 origem 3 modo 2: 0", " A após doc alterar 0"},
        Case{demo::kInvoiceWithAllowanceLine, "Validar documento FT 2/1/2026 origem 1 modo omisso: 0",
             " B após doc alterar 0"}}) {
    abonoDeFrete(c.doc, demo::kAllowancePerTonne);
    EXPECT_NE(apiLog().find(c.validation), std::string::npos) << apiLog();
    EXPECT_NE(bridgeLog().find(c.logged), std::string::npos) << bridgeLog();
  }
}

TEST_P(AbonoDeFreteTest, ASignedCertifiedClosedDocumentIsLeftUntouchedWithoutError) {
  const auto& doc = demo::kSignedInvoice;
  const Rows before = document(doc);
  abonoDeFrete(doc, demo::kAllowancePerTonne);
  EXPECT_EQ(document(doc), before);
  EXPECT_TRUE(recorder_->calls().empty()) << "not even weighed";
  EXPECT_NE(bridgeLog().find("DAL AbonoDeFrete     sair. documento não interessa0\r\n"), std::string::npos);
  EXPECT_EQ(apiLog().find("Alterar documento"), std::string::npos);
}

TEST_P(AbonoDeFreteTest, RunningTwiceGivesTheSameDocument) {
  for (const auto& doc : {demo::kInvoiceInPreparation, demo::kSeriesZeroInvoice, demo::kInvoiceWithAllowanceLine}) {
    abonoDeFrete(doc, demo::kAllowancePerTonne);
    const Rows once = document(doc);
    abonoDeFrete(doc, demo::kAllowancePerTonne);
    EXPECT_EQ(document(doc), once) << doc.series << "/" << doc.number;
  }
}

TEST_P(AbonoDeFreteTest, ADocumentWithoutArticleLinesGetsAnAllowanceOfZero) {
  const auto& doc = demo::kInvoiceWithoutArticleLines;
  const std::size_t count = lines(doc).size();
  abonoDeFrete(doc, demo::kAllowancePerTonne);
  ASSERT_EQ(lines(doc).size(), count + 1);
  EXPECT_EQ(allowancePrice(doc), 0.0);
}

TEST_P(AbonoDeFreteTest, EachLineWeighsItsQuantityTimesTheFactorOfItsUnit) {
  // The description-only line of this document becomes the line under test.
  const auto& doc = demo::kInvoiceWithoutArticleLines;
  struct Case {
    const char* name;
    std::string article, unit;
    int type;
    double quantity, kilograms;
  };
  const std::string fixed(demo::kFixedPriceArticle);
  const double sack = demo::kFixedPriceArticlePackingFactor, pallet = demo::kFixedPriceArticleTransportFactor;
  const Case cases[] = {
      {"packing unit", fixed, "SC", 1, 4, 4 * sack},
      {"transport unit", fixed, "PAL", 1, 2, 2 * pallet},
      {"sale unit", fixed, "KG", 1, 30, 30},
      {"unit in lower case", fixed, "sc", 1, 4, 4 * sack},
      {"article code in lower case", "mil001", "SC", 1, 4, 4 * sack},
      {"a factor of 0 weighs nothing", std::string(demo::kZeroFactorArticle), "SC", 1, 10, 0},
      {"description-only item", std::string(demo::kDescriptionOnlyArticle), "UN", 1, 5, 0},
      {"not an article line", fixed, "SC", 3, 4, 0},
  };
  ASSERT_EQ(fixed, "MIL001") << "the lower-case case below spells this code";
  for (const auto& c : cases) {
    company_->execute(
        "UPDATE DOCGCLIN SET ARTIGO = ?, UNIDADE = ?, TIPOLIN = ?, QUANT = ? WHERE TPDOCUM = ? AND SERIE = ? AND "
        "NNUMDOC = ? AND ANO = ? AND NUMLIN = 2",
        {Variant(c.article), Variant(c.unit), Variant(std::int32_t{c.type}), Variant(c.quantity), key(doc)[0],
         key(doc)[1], key(doc)[2], key(doc)[3]});
    abonoDeFrete(doc, 8.0);
    EXPECT_DOUBLE_EQ(allowancePrice(doc), c.kilograms / 1000.0 * 8.0) << c.name;
  }
}

TEST_P(AbonoDeFreteTest, TheArticleQueriesRunInTheCallersProcessWithQuotesDoubled) {
  company_->execute("INSERT INTO ARTIGOS (CODIGO, NOME, ARTOUDES, UNVND, IVA) VALUES ('SAC''O', 'Saco', 0, 'KG', 1)");
  const auto& doc = demo::kInvoiceWithAllowanceLine;
  company_->execute(
      "UPDATE DOCGCLIN SET ARTIGO = 'SAC''O', UNIDADE = 'KG', QUANT = 40 WHERE TPDOCUM = ? AND "
      "SERIE = ? AND NNUMDOC = ? AND ANO = ? AND NUMLIN = 2",
      key(doc));
  abonoDeFrete(doc, 10.0);
  const std::vector<std::string> expected = {
      "OpenRecordset: SELECT       * FROM         ARTIGOS WHERE        (ARTIGOS.CODIGO = 'MIL001') ",
      "OpenRecordset: SELECT       * FROM         ARTIGOS WHERE        (ARTIGOS.CODIGO = 'SAC''O') "};
  EXPECT_EQ(recorder_->calls(), expected);
  EXPECT_DOUBLE_EQ(allowancePrice(doc), (2 * demo::kFixedPriceArticleTransportFactor + 40) / 1000.0 * 10.0);
}

TEST_P(AbonoDeFreteTest, RefusalsArriveWithTheApisNumberAndMessageAndNothingIsWritten) {
  struct Case {
    const char* name;
    demo::KnownDocument doc;
    double perTonne;
    std::string article;
    std::int32_t number;
    std::string message;
  };
  const std::string allowance(demo::kAllowanceArticle);
  const Case cases[] = {
      {"unknown document", demo::kUnknownDocument, 7.5, allowance, erpapi::apierr::DocumentNotFound,
       "O documento FT 2/999999 de 2026 não existe."},
      {"unknown allowance article", demo::kInvoiceInPreparation, 7.5, std::string(demo::kUnknownArticle),
       erpapi::apierr::UnknownArticle, "Linha 5: o artigo NAOEXISTE não existe."},
      {"negative allowance", demo::kInvoiceInPreparation, -7.5, allowance, erpapi::apierr::NegativeUnitPrice,
       "Linha 5: o preço unitário não pode ser negativo."},
      {"negative allowance on an existing line", demo::kInvoiceWithAllowanceLine, -7.5, allowance,
       erpapi::apierr::NegativeUnitPrice, "Linha 3: o preço unitário não pode ser negativo."},
      {"no allowance article", demo::kInvoiceWithoutArticleLines, 7.5, " ", vberr::InvalidCall,
       "O artigo do abono de frete não está definido."},
  };
  for (const auto& c : cases) {
    const Rows before = document(c.doc);
    auto error = errorOf([&] { abonoDeFrete(c.doc, c.perTonne, c.article); });
    EXPECT_EQ(error.number(), c.number) << c.name;
    EXPECT_EQ(error.source(), "Processa Abono de Frete") << c.name;
    EXPECT_EQ(error.description(), c.message) << c.name;
    EXPECT_EQ(document(c.doc), before) << c.name;
  }
}

TEST_F(BridgeTest, WithoutItsDataAccessObjectTheBridgeCannotWeighAndWritesNothing) {
  ASSERT_EQ(iniciar(), Variant(true));
  const Rows before = document(demo::kInvoiceInPreparation);
  auto error = errorOf([&] { abonoDeFrete(demo::kInvoiceInPreparation, demo::kAllowancePerTonne); });
  EXPECT_EQ(error.number(), vberr::ObjectNotSet);
  EXPECT_EQ(error.source(), "Processa Abono de Frete");
  EXPECT_EQ(document(demo::kInvoiceInPreparation), before);
}

INSTANTIATE_TEST_SUITE_P(Backends, AbonoDeFreteTest,
                         ::testing::Values(erpapi::test::Backend::Embedded, erpapi::test::Backend::Server),
                         sql::testing::backendName);

}  // namespace
}  // namespace quill::bridgetest
