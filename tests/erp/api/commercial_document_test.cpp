// Commercial documents through the ERP API: reading, what validation
// refuses, line suggestions and the all-or-nothing save.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "erp/DemoCodes.h"
#include "erp/DocumentTotals.h"
#include "erp/api/ApiRefusal.h"
#include "platform/vb/Conversions.h"
#include "tests/erp/api/ApiTestSupport.h"

namespace quill::erpapi::test {
namespace {

namespace demo = erp::demo;
using Rows = DemoCompanyCopy::Rows;

class CommercialDocumentTest : public StartedApi {
 protected:
  DispatchPtr read(const demo::KnownDocument& key) const {
    return readDocument(key.type, key.series, key.number, key.year);
  }
  Rows stored(const demo::KnownDocument& key) const {
    return company_->document(key.type, key.series, key.number, key.year);
  }
  static DispatchPtr line(const DispatchPtr& doc, int index) {
    return late::get(doc, "Linhas", {Variant(std::int32_t{index})}).objectValue();
  }
  static DispatchPtr cab(const DispatchPtr& doc) { return late::get(doc, "Cab").objectValue(); }
  Variant header(const demo::KnownDocument& key, const std::string& column) const {
    return company_->value(
        "SELECT " + column + " FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
        {Variant(key.type), Variant(std::int32_t{key.series}), Variant(std::int32_t{key.number}),
         Variant(std::int32_t{key.year})});
  }
};

TEST_F(CommercialDocumentTest, AMissingDocumentIsRefusedByReadingAndByEverySaveAfterIt) {
  auto doc = create("SageApiNextPlus.DocumentoComercial");
  const auto& key = demo::kUnknownDocument;
  auto answer = late::call(doc, "Ler",
                           {Variant(key.type), Variant(std::int32_t{key.number}), Variant(std::int32_t{key.series}),
                            Variant(std::int32_t{key.year})});
  EXPECT_EQ(answer, Variant(apierr::DocumentNotFound));
  EXPECT_EQ(late::get(doc, "UltimoErro"), Variant(apierr::DocumentNotFound));
  EXPECT_EQ(late::get(doc, "UltimaMensagem"), Variant("O documento FT 2/999999 de 2026 não existe."));
  EXPECT_EQ(late::get(late::get(doc, "Linhas").objectValue(), "Count"), Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(doc, "IsSerieAssinada"), Variant(false));
  EXPECT_EQ(late::call(doc, "Validar"), Variant(apierr::DocumentNotFound));
  EXPECT_EQ(late::call(doc, "Alterar"), Variant(apierr::DocumentNotFound));
  EXPECT_EQ(late::call(doc, "AdicionaLinha", {Variant(create("SageApiNextPlus.DocumentosGcLin"))}),
            Variant(apierr::NoDocumentRead));
}

TEST_F(CommercialDocumentTest, ReadingGivesTheSeriesFlagsThePreparationStateAndTheLinesInOrder) {
  struct Case {
    demo::KnownDocument key;
    bool signedSeries, certified, inPreparation;
  };
  for (const auto& c :
       {Case{demo::kSignedInvoice, true, true, false}, Case{demo::kInvoiceInPreparation, true, true, true},
        Case{demo::kSeriesZeroInvoice, false, false, false},
        Case{demo::kInvoiceWithAllowanceLine, false, false, false}}) {
    auto doc = read(c.key);
    EXPECT_EQ(late::get(doc, "IsSerieAssinada"), Variant(c.signedSeries)) << c.key.number;
    EXPECT_EQ(late::get(doc, "IsDocumentoCertificacao"), Variant(c.certified)) << c.key.number;
    EXPECT_EQ(late::get(doc, "EmPreparacao"), Variant(c.inPreparation)) << c.key.number;
    auto articles = company_->rows(
        "SELECT ARTIGO FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? ORDER BY NUMLIN",
        {Variant(c.key.type), Variant(std::int32_t{c.key.series}), Variant(std::int32_t{c.key.number}),
         Variant(std::int32_t{c.key.year})});
    auto lines = late::get(doc, "Linhas").objectValue();
    ASSERT_EQ(late::get(lines, "Count"), Variant(static_cast<std::int32_t>(articles.size())));
    for (std::size_t i = 0; i < articles.size(); ++i)
      EXPECT_EQ(
          late::get(late::call(lines, "Item", {Variant(static_cast<std::int32_t>(i + 1))}).objectValue(), "Artigo"),
          Variant(articles[i][0]));
    EXPECT_EQ(errorOf([&] { late::call(lines, "Item", {Variant(std::int32_t{0})}); }).number(),
              vberr::SubscriptOutOfRange);
    EXPECT_EQ(
        errorOf([&] { late::call(lines, "Item", {Variant(static_cast<std::int32_t>(articles.size() + 1))}); }).number(),
        vberr::SubscriptOutOfRange);
  }
}

TEST_F(CommercialDocumentTest, ValidationRefusesWhatTheErpRefusesAndNothingIsWritten) {
  struct Case {
    const char* name;
    demo::KnownDocument key;
    std::function<void(const DispatchPtr&)> change;
    std::int32_t number;
    const char* message;
  };
  const Case cases[] = {
      {"signed, certified and closed", demo::kSignedInvoice, [](const DispatchPtr&) {}, apierr::DocumentClosed,
       "O documento FT 1/1 de 2026 pertence a uma série assinada e certificada e já não pode ser alterado."},
      {"series of an existing document", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(cab(d), "Serie", Variant(std::int16_t{0})); }, apierr::SeriesChanged,
       "Não é possível alterar a série de um documento existente."},
      {"unknown client", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(cab(d), "Terceiro", Variant(demo::kUnknownClient)); },
       apierr::UnknownClient, "O cliente C99999 não existe."},
      {"unknown currency", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(cab(d), "Moeda", Variant(demo::kUnknownCurrency)); },
       apierr::UnknownCurrency, "A moeda XXX não existe."},
      {"line type", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 2), "TipoDeLinha", Variant(std::int16_t{7})); },
       apierr::InvalidLineType, "Linha 2: o tipo de linha 7 não é válido."},
      {"article line without article", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 1), "Artigo", Variant("  ")); }, apierr::LineWithoutArticle,
       "Linha 1: o artigo não está preenchido."},
      {"unknown article", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 1), "Artigo", Variant(demo::kUnknownArticle)); },
       apierr::UnknownArticle, "Linha 1: o artigo NAOEXISTE não existe."},
      {"negative unit price of a service line", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 3), "PrecoUnitario", Variant(-0.01)); }, apierr::NegativeUnitPrice,
       "Linha 3: o preço unitário não pode ser negativo."},
      {"negative quantity", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 2), "Quantidade", Variant(-1.0)); }, apierr::NegativeQuantity,
       "Linha 2: a quantidade não pode ser negativa."},
      {"discount that is not percentages", demo::kInvoiceWithAllowanceLine,
       [](const DispatchPtr& d) { late::let(line(d, 2), "Desconto", Variant("10+abc")); }, apierr::InvalidDiscount,
       "Linha 2: o desconto '10+abc' não é válido."},
      {"added line of an unknown article", demo::kInvoiceInPreparation,
       [this](const DispatchPtr& d) {
         auto added = create("SageApiNextPlus.DocumentosGcLin");
         late::let(added, "Artigo", Variant(demo::kUnknownArticle));
         late::call(d, "AdicionaLinha", {Variant(added)});
       },
       apierr::UnknownArticle, "Linha 5: o artigo NAOEXISTE não existe."},
  };
  for (const auto& c : cases) {
    const Rows before = stored(c.key);
    auto doc = read(c.key);
    c.change(doc);
    EXPECT_EQ(late::call(doc, "Validar"), Variant(c.number)) << c.name;
    EXPECT_EQ(late::call(doc, "Validar", {Variant(std::int16_t{2})}), Variant(c.number)) << c.name;
    EXPECT_EQ(late::call(doc, "Alterar"), Variant(c.number)) << c.name;
    EXPECT_EQ(late::get(doc, "UltimoErro"), Variant(c.number)) << c.name;
    EXPECT_EQ(late::get(doc, "UltimaMensagem"), Variant(c.message)) << c.name;
    EXPECT_EQ(stored(c.key), before) << c.name;
  }
}

TEST_F(CommercialDocumentTest, CommentLinesAreNotCheckedAndASuccessClearsTheLastRefusal) {
  auto doc = read(demo::kInvoiceWithoutArticleLines);
  late::let(line(doc, 1), "PrecoUnitario", Variant(-5.0));  // a comment line carries no value
  late::let(line(doc, 2), "Quantidade", Variant(-1.0));
  EXPECT_EQ(late::call(doc, "Validar"), Variant(apierr::NegativeQuantity));
  late::let(line(doc, 2), "Quantidade", Variant(1.0));
  EXPECT_EQ(late::call(doc, "Validar"), Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(doc, "UltimoErro"), Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(doc, "UltimaMensagem"), Variant(""));
}

TEST_F(CommercialDocumentTest, ValidatingWritesNothing) {
  const auto& key = demo::kInvoiceWithAllowanceLine;
  const Rows before = stored(key);
  auto doc = read(key);
  late::let(line(doc, 3), "PrecoUnitario", Variant(99.0));
  EXPECT_EQ(late::call(doc, "Validar"), Variant(std::int32_t{0}));
  EXPECT_EQ(stored(key), before);
}

TEST_F(CommercialDocumentTest, SavingRewritesTheLinesAndRecomputesLineAndDocumentTotals) {
  const auto& key = demo::kInvoiceWithAllowanceLine;
  const double goodsBefore = vb::CDbl(header(key, "TOTMERC"));
  ASSERT_NE(vb::CDbl(header(key, "VALPEND")), 0.0) << "the demo document is still owed";

  auto doc = read(key);
  auto allowance = line(doc, 3);  // 2 x 12.00 with a discount of 5 % before
  late::let(allowance, "Quantidade", Variant(1.0));
  late::let(allowance, "PrecoUnitario", Variant(20.0));
  late::let(allowance, "Desconto", Variant(""));
  late::let(allowance, "DescontoValor", Variant(0.0));
  auto added = create("SageApiNextPlus.DocumentosGcLin");
  late::let(added, "TipoDeLinha", Variant(std::int16_t{1}));
  late::let(added, "Artigo", Variant(demo::kOrdinaryArticle));
  late::let(added, "Quantidade", Variant(10.0));
  late::let(added, "PrecoUnitario", Variant(2.5));
  late::let(added, "Desconto", Variant("10+10"));
  late::let(added, "TaxaIva", Variant(10.0));
  late::call(doc, "AdicionaLinha", {Variant(added)});
  ASSERT_EQ(late::call(doc, "Alterar"), Variant(std::int32_t{0})) << late::get(doc, "UltimaMensagem").debugString();

  auto lines = company_->rows(
      "SELECT NUMLIN, ARTIGO, TOTLIN, VENDEDOR, DATA FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? "
      "AND ANO = ? ORDER BY NUMLIN",
      {Variant(key.type), Variant(std::int32_t{key.series}), Variant(std::int32_t{key.number}),
       Variant(std::int32_t{key.year})});
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2][0], "3");
  EXPECT_EQ(lines[2][2], "20");
  EXPECT_EQ(lines[3][0], "4");
  EXPECT_EQ(lines[3][1], demo::kOrdinaryArticle);
  EXPECT_EQ(lines[3][2], "20.25") << "10 x 2.50 less 10 % and 10 % of the rest";
  EXPECT_EQ(lines[3][3], vb::CStr(header(key, "VENDEDOR"))) << "a new line takes the header's seller";
  EXPECT_EQ(lines[3][4], vb::CStr(header(key, "DATA")));

  EXPECT_NEAR(vb::CDbl(header(key, "TOTMERC")), goodsBefore - 24.0 + 20.0 + 25.0, 0.005);
  double net = 0, vat = 0;
  for (const auto& row : company_->rows("SELECT TOTLIN, TAXAIVA FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND "
                                        "NNUMDOC = ? AND ANO = ?",
                                        {Variant(key.type), Variant(std::int32_t{key.series}),
                                         Variant(std::int32_t{key.number}), Variant(std::int32_t{key.year})})) {
    net += std::stod(row[0]);
    vat += std::stod(row[0]) * std::stod(row[1]) / 100.0;
  }
  EXPECT_NEAR(vb::CDbl(header(key, "TOTDOC")), erp::roundToCents(net) + erp::roundToCents(vat), 0.005);
  EXPECT_EQ(header(key, "VALPEND"), header(key, "TOTDOC")) << "the amount owed follows the new total";
  EXPECT_EQ(late::get(allowance, "TotalLiquido"), Variant(20.0));
  EXPECT_EQ(late::get(added, "NumLinha"), Variant(std::int32_t{4}));
}

TEST_F(CommercialDocumentTest, ASaveThatFailsHalfwayLeavesTheStoredDocumentAsItWas) {
  const auto& key = demo::kInvoiceInPreparation;
  const Rows before = stored(key);
  // The header is written last, after the lines were deleted and written again.
  company_->execute(
      "CREATE TRIGGER FALHA_CABECALHO BEFORE UPDATE ON DOCGCCAB "
      "BEGIN SELECT RAISE(ABORT, 'cabeçalho recusado'); END");
  auto doc = read(key);
  late::let(line(doc, 1), "Quantidade", Variant(21.0));
  EXPECT_EQ(late::call(doc, "Alterar"), Variant(apierr::WriteFailed));
  EXPECT_NE(vb::CStr(late::get(doc, "UltimaMensagem")).find("cabeçalho recusado"), std::string::npos)
      << vb::CStr(late::get(doc, "UltimaMensagem"));
  EXPECT_EQ(stored(key), before) << "the lines deleted and written again are rolled back";
}

TEST_F(CommercialDocumentTest, SuggestedValuesComeFromTheArticleAndTheDocumentsClient) {
  const std::string article(demo::kOrdinaryArticle);
  auto articleValue = [&](const char* column) {
    return company_->value(std::string("SELECT ") + column + " FROM ARTIGOS WHERE CODIGO = ?", {Variant(article)});
  };
  const double vatRate = vb::CDbl(
      company_->value("SELECT CASE A.IVA WHEN 1 THEN R.TX1 WHEN 2 THEN R.TX2 WHEN 3 THEN R.TX3 WHEN 4 THEN R.TX4 END "
                      "FROM ARTIGOS A, RGIVA R WHERE A.CODIGO = ? AND R.CODIGO = ?",
                      {Variant(article), Variant(demo::kNationalVatRegime)}));

  struct Case {
    std::string_view client;
    const char* retailColumn;
    bool discountFlag;
    const char* discount;
  };
  for (const auto& c :
       {Case{demo::kRetailClient, "PVPSIVA", true, ""}, Case{demo::kSecondRetailPriceClient, "PVALSIVA", true, ""},
        Case{demo::kThirdRetailPriceClient, "PVP3_SEM_IVA", true, ""},
        Case{demo::kOddRetailPriceClient, "PVPSIVA", true, ""},
        Case{demo::kCompoundDiscountClient, "PVPSIVA", true, "10+5"},
        Case{demo::kCompoundDiscountClient, "PVPSIVA", false, ""}}) {
    auto doc = read(demo::kInvoiceWithAllowanceLine);
    late::let(cab(doc), "Terceiro", Variant(c.client));
    auto l = create("SageApiNextPlus.DocumentosGcLin");
    late::let(l, "Artigo", Variant(article));
    EXPECT_EQ(late::call(doc, "SugereValoresLin",
                         {Variant(l), Variant(true), Variant(true), Variant(true), Variant(true), Variant(true),
                          Variant(c.discountFlag), Variant(true)}),
              Variant(std::int32_t{0}));
    EXPECT_EQ(late::get(l, "Descricao"), articleValue("NOME")) << c.client;
    EXPECT_EQ(late::get(l, "Unidade"), articleValue("UNVND")) << c.client;
    EXPECT_EQ(late::get(l, "PrecoUnitario"), articleValue(c.retailColumn)) << c.client;
    EXPECT_EQ(late::get(l, "PrecoUnitarioIntroduzido"), articleValue(c.retailColumn)) << c.client;
    EXPECT_EQ(late::get(l, "TaxaIva"), Variant(vatRate)) << c.client;
    EXPECT_EQ(late::get(l, "Desconto"), Variant(c.discount)) << c.client;
    EXPECT_EQ(late::get(l, "Quantidade"), Variant(1.0)) << c.client;
    EXPECT_EQ(late::get(l, "Vendedor"), late::get(cab(doc), "Vendedor")) << c.client;
  }
}

TEST_F(CommercialDocumentTest, SuggestingLeavesWhatItsFlagsExcludeAndRefusesAnUnknownArticle) {
  auto doc = read(demo::kInvoiceWithAllowanceLine);
  auto l = create("SageApiNextPlus.DocumentosGcLin");
  late::let(l, "Artigo", Variant(demo::kOrdinaryArticle));
  late::let(l, "PrecoUnitario", Variant(7.0));
  EXPECT_EQ(late::call(doc, "SugereValoresLin",
                       {Variant(l), Variant(false), Variant(false), Variant(false), Variant(false), Variant(false),
                        Variant(false), Variant(false)}),
            Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(l, "PrecoUnitario"), Variant(7.0));
  EXPECT_EQ(late::get(l, "Descricao"), Variant(""));
  EXPECT_EQ(late::get(l, "Quantidade"), Variant(0.0));

  late::let(l, "Artigo", Variant(demo::kUnknownArticle));
  EXPECT_EQ(late::call(doc, "SugereValoresLin", {Variant(l)}), Variant(apierr::UnknownArticle));
  EXPECT_EQ(late::get(doc, "UltimaMensagem"), Variant("O artigo NAOEXISTE não existe."));
}

TEST_F(CommercialDocumentTest, TheApiLogsWhoValidatedAndSavedWithWhichMode) {
  auto doc = read(demo::kSeriesZeroInvoice);
  late::let(doc, "Origem", Variant(std::int16_t{3}));
  late::call(doc, "Validar", {Variant(std::int16_t{2})});
  late::call(doc, "Alterar");
  const std::string log = apiLog();
  EXPECT_NE(log.find("Validar documento FT 0/1/2026 origem 3 modo 2: 0"), std::string::npos) << log;
  EXPECT_NE(log.find("Alterar documento FT 0/1/2026 origem 3 linhas 2: 0"), std::string::npos) << log;
}

}  // namespace
}  // namespace quill::erpapi::test
