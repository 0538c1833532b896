// How the host takes the extension's answers into a sales line: what the
// hooks see in the document context, what they write, bCancel, failures.
// The extension here is a stand-in whose hooks each test scripts.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "host/CompanyCatalog.h"
#include "host/ExtensionObject.h"
#include "host/SalesLineEditor.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

// The demo company's catalog, shared by the tests of this program (read only).
const CompanyCatalog& catalog() {
  static std::shared_ptr<sql::Connection> connection = openDatabase(demoCompany("catalog"));
  static CompanyCatalog instance(connection);
  return instance;
}

Variant linhaValue(const Variant& oApi, std::string_view field) {
  return late::get(late::get(oApi.objectValue(), "Linha").objectValue(), field);
}

class SalesLineEditorTest : public ::testing::Test {
 protected:
  SalesLineEditorTest() {
    header.key = {std::string(demo::kInvoiceType), demo::kUnsignedSeries, 1, demo::kDocumentYear};
    header.date = *vb::parseIsoText(demo::kDocumentDate);
    header.client = std::string(demo::kRetailClient);
    header.currency = std::string(demo::kNationalCurrency);
    header.classification = catalog().documentType(demo::kInvoiceType)->classification;
  }

  // A line already holding an article, as read from a stored document.
  SalesLine storedLine() {
    SalesLine line;
    line.article = std::string(demo::kOrdinaryArticle);
    line.description = "Arroz";
    line.unit = "KG";
    line.quantity = 10;
    line.unitPrice = 1.5;
    line.discount = "5";
    line.discountValue = 0.075;
    line.state = LineState::Stored;
    return line;
  }

  EditOutcome edit(SalesLine& line, LineField field, std::string_view typed) {
    return editor.edit(header, line, field, typed);
  }

  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  ExtensionObject extension{fake};
  SalesLineEditor editor{catalog(), &extension};
  SalesHeader header;
};

TEST_F(SalesLineEditorTest, ArticleHookSeesTheLineBeforeTheEditAndTheHeader) {
  Variant seen;
  std::string newArticle;
  fake->on("ValidateArtigo", [&](std::span<Variant> a) {
    seen = a[0];
    newArticle = vb::CStr(a[1]);
    EXPECT_EQ(vb::CStr(linhaValue(a[0], "Artigo")), "");  // still the line's old article
    EXPECT_EQ(vb::CLng(linhaValue(a[0], "Estado")), 0);   // a line not stored yet: never 2
    EXPECT_EQ(vb::CStr(linhaValue(a[0], "Unidade")), "SC");
    auto cab = late::get(a[0].objectValue(), "Cab").objectValue();
    EXPECT_EQ(vb::CStr(late::get(cab, "Terceiro")), demo::kRetailClient);
    EXPECT_EQ(vb::CStr(late::get(cab, "Moeda")), demo::kNationalCurrency);
    EXPECT_EQ(late::get(cab, "Data").dateValue(), header.date);
    EXPECT_EQ(vb::CLng(late::get(cab, "AreaGestao")), 4);
    EXPECT_EQ(vb::CLng(late::get(cab, "TipificacaoStocks")), header.classification.stockType);
    return Variant();
  });
  SalesLine line;
  line.unit = "sc";
  ASSERT_TRUE(edit(line, LineField::Article, "arr001").accepted());
  EXPECT_EQ(newArticle, demo::kOrdinaryArticle);  // as the company spells it
  EXPECT_EQ(line.article, demo::kOrdinaryArticle);
  EXPECT_EQ(line.unit, "SC");
  EXPECT_FALSE(line.description.empty());
}

TEST_F(SalesLineEditorTest, PriceAndDiscountTheArticleHookWritesGoIntoTheLine) {
  fake->on("ValidateArtigo", [](std::span<Variant> a) {
    auto linha = late::get(a[0].objectValue(), "Linha").objectValue();
    late::let(linha, "PrecoUnitario", 9.5);
    late::let(linha, "Desconto", 2.53);
    a[2] = std::int16_t{0};
    a[3] = 0.24;
    return Variant();
  });
  SalesLine line;
  ASSERT_TRUE(edit(line, LineField::Article, demo::kGroupDiscountArticle).accepted());
  EXPECT_DOUBLE_EQ(line.unitPrice, 9.5);
  EXPECT_EQ(line.discount, "2.53");
  EXPECT_DOUBLE_EQ(line.discountValue, 0.24);
  EXPECT_DOUBLE_EQ(line.quantity, 1);
  EXPECT_GT(line.vatRate, 0);
}

TEST_F(SalesLineEditorTest, ArticleWhosePriceTheHookLeavesTakesTheClientsRetailPriceInTheTypedUnit) {
  header.client = std::string(demo::kSecondRetailPriceClient);  // the second retail price
  SalesLine line;
  line.unit = "SC";
  ASSERT_TRUE(edit(line, LineField::Article, demo::kOrdinaryArticle).accepted());
  auto article = catalog().article(demo::kOrdinaryArticle);
  EXPECT_DOUBLE_EQ(line.unitPrice, article->retail[1] * article->packingFactor);
  EXPECT_EQ(line.discount, "");
}

TEST_F(SalesLineEditorTest, UnitTypedBeforeAnArticleThatDoesNotSellInItGivesWayToTheSaleUnit) {
  fake->on("ValidateArtigo", [](std::span<Variant> a) {
    EXPECT_EQ(vb::CStr(linhaValue(a[0], "Unidade")), "");
    return Variant();
  });
  SalesLine line;
  line.unit = "UN";
  ASSERT_TRUE(edit(line, LineField::Article, demo::kOrdinaryArticle).accepted());
  EXPECT_EQ(line.unit, "KG");
}

TEST_F(SalesLineEditorTest, StoredLineTellsTheHooksItIsStored) {
  std::int32_t estado = -1;
  fake->on("ValidateQuantidade", [&](std::span<Variant> a) {
    estado = vb::CLng(linhaValue(a[0], "Estado"));
    EXPECT_DOUBLE_EQ(vb::CDbl(a[1]), 12);                            // the new quantity
    EXPECT_DOUBLE_EQ(vb::CDbl(linhaValue(a[0], "Quantidade")), 10);  // the line's old one
    EXPECT_DOUBLE_EQ(vb::CDbl(linhaValue(a[0], "TaxaDesconto")), 5);
    return Variant();
  });
  SalesLine line = storedLine();
  ASSERT_TRUE(edit(line, LineField::Quantity, "12").accepted());
  EXPECT_EQ(estado, 1);
  EXPECT_DOUBLE_EQ(line.quantity, 12);
  EXPECT_DOUBLE_EQ(line.unitPrice, 1.5);  // nothing written: kept
  EXPECT_EQ(line.discount, "5");
}

TEST_F(SalesLineEditorTest, TypedPriceStaysUnlessTheHookWritesAnother) {
  SalesLine line = storedLine();
  ASSERT_TRUE(edit(line, LineField::UnitPrice, "1,75").accepted());
  EXPECT_DOUBLE_EQ(line.unitPrice, 1.75);

  // A price-line article: the hook puts the price line's price back, even
  // when it equals the old one.
  fake->on("ValidatePrecoUnit", [](std::span<Variant> a) {
    late::let(late::get(a[0].objectValue(), "Linha").objectValue(), "PrecoUnitario", 1.75);
    return Variant();
  });
  ASSERT_TRUE(edit(line, LineField::UnitPrice, "3").accepted());
  EXPECT_DOUBLE_EQ(line.unitPrice, 1.75);
}

// bCancel set by the hook of each field rejects the edit: the whole line
// keeps its old values, whatever else the hook wrote.
TEST_F(SalesLineEditorTest, CancelFromAnyHookLeavesTheLineAsItWas) {
  struct Case {
    LineField field;
    const char* hook;
    const char* typed;
    std::size_t cancelArgument;
  };
  const Case cases[] = {
      {LineField::Article, "ValidateArtigo", "RAV001", 4}, {LineField::Unit, "ValidateUnidade", "SC", 3},
      {LineField::Quantity, "ValidateQuantidade", "3", 4}, {LineField::UnitPrice, "ValidatePrecoUnit", "2", 3},
      {LineField::Discount, "ValidateDesconto", "7", 3},   {LineField::DiscountValue, "ValidateDescontoValor", "1", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hook);
    fake->on(c.hook, [&](std::span<Variant> a) {
      late::let(late::get(a[0].objectValue(), "Linha").objectValue(), "PrecoUnitario", 99.0);
      a[c.cancelArgument] = Variant(true);
      if (c.field == LineField::Unit) a[2] = std::string("KG");  // the hook hands back the old unit
      return Variant();
    });
    SalesLine line = storedLine();
    auto outcome = edit(line, c.field, c.typed);
    EXPECT_EQ(outcome.kind, EditOutcome::Kind::RefusedByExtension);
    EXPECT_EQ(line.article, storedLine().article);
    EXPECT_EQ(line.unit, storedLine().unit);
    EXPECT_DOUBLE_EQ(line.quantity, storedLine().quantity);
    EXPECT_DOUBLE_EQ(line.unitPrice, storedLine().unitPrice);
    EXPECT_EQ(line.discount, storedLine().discount);
    EXPECT_DOUBLE_EQ(line.discountValue, storedLine().discountValue);
  }
}

TEST_F(SalesLineEditorTest, ErrorRaisedByAHookIsARefusalWithItsDescriptionNeverAnEscape) {
  fake->on("ValidateQuantidade",
           [](std::span<Variant>) -> Variant { throw AutomationError(13, "DescComissoes", "Type mismatch"); });
  SalesLine line = storedLine();
  EditOutcome outcome;
  EXPECT_NO_THROW(outcome = edit(line, LineField::Quantity, "4"));
  EXPECT_EQ(outcome.kind, EditOutcome::Kind::Refused);
  EXPECT_EQ(outcome.message, "Erro Type mismatch");
  EXPECT_DOUBLE_EQ(line.quantity, 10);
}

// What the host refuses itself, before any hook is asked.
TEST_F(SalesLineEditorTest, BadInputIsRefusedWithAReasonAndNoHookIsCalled) {
  struct Case {
    LineField field;
    const char* typed;
    const char* reason;
  };
  const Case cases[] = {
      {LineField::Article, "NAOEXISTE", "não existe"},
      {LineField::Article, "  ", "código do artigo"},
      {LineField::Unit, "CX", "não se vende em \"CX\""},
      {LineField::Quantity, "abc", "não é um número"},
      {LineField::Quantity, "-1", "A quantidade não pode ser negativa."},
      {LineField::UnitPrice, "-2", "O preço unitário não pode ser negativo."},
      {LineField::UnitPrice, "1,2,3", "não é um número"},
      {LineField::Discount, "10+abc", "não é um desconto"},
      {LineField::Discount, "120", "fora de 0 a 100"},
      {LineField::DiscountValue, "-0,5", "O valor do desconto não pode ser negativo."},
      // Beyond what the database's money columns hold (the line: 10 at 1,5).
      {LineField::Quantity, "1e308", "\"1e308\" é grande demais: o máximo é 922.337.203.685.477,58"},
      {LineField::UnitPrice, "1E308", "é grande demais"},
      {LineField::DiscountValue, "1e16", "é grande demais"},
      // Not finite, however typed: refused, never stored.
      {LineField::Quantity, "1e999", "\"1e999\""},
      {LineField::UnitPrice, "inf", "\"inf\""},
      {LineField::DiscountValue, "nan", "\"nan\""},
      {LineField::Quantity, "900000000000000", "A quantidade vezes o preço unitário da linha passaria o máximo"},
      {LineField::UnitPrice, "100000000000000", "passaria o máximo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    fake->calls.clear();
    SalesLine line = storedLine();
    auto outcome = edit(line, c.field, c.typed);
    EXPECT_EQ(outcome.kind, EditOutcome::Kind::Refused);
    EXPECT_NE(outcome.message.find(c.reason), std::string::npos) << outcome.message;
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(line.article, storedLine().article);
    EXPECT_DOUBLE_EQ(line.quantity, storedLine().quantity);
    EXPECT_EQ(line.discount, storedLine().discount);
  }
}

TEST_F(SalesLineEditorTest, AmountsUpToTheMaximumAreTaken) {
  SalesLine line = storedLine();
  EXPECT_TRUE(edit(line, LineField::Quantity, "600000000000000").accepted());  // times 1,5: within the maximum
  EXPECT_DOUBLE_EQ(line.quantity, 6e14);
  line = storedLine();
  line.quantity = 1;
  EXPECT_TRUE(edit(line, LineField::UnitPrice, "922337203685477").accepted());
}

TEST_F(SalesLineEditorTest, AnArticleCodeTypedInAnotherCaseIsFoundAccentedLettersIncluded) {
  auto connection = openDatabase(demoCompany("accented"));
  // The ordinary article again, under a code with accented capitals.
  std::string columns;
  auto names = connection->query("SELECT name FROM pragma_table_info('ARTIGOS') WHERE name <> 'CODIGO'");
  for (names->moveFirst(); !names->eof(); names->moveNext()) columns += ", " + names->value("name").stringValue();
  connection->execute(
      "INSERT INTO ARTIGOS (CODIGO" + columns + ") SELECT 'AÇÚCAR1'" + columns + " FROM ARTIGOS WHERE CODIGO = ?",
      {Variant(std::string(demo::kOrdinaryArticle))});
  CompanyCatalog accented(connection);
  SalesLineEditor withAccents(accented, &extension);
  SalesLine line;
  auto outcome = withAccents.edit(header, line, LineField::Article, "açúcar1");
  ASSERT_TRUE(outcome.accepted()) << outcome.message;
  EXPECT_EQ(line.article, "AÇÚCAR1");
  auto asked = fake->callsOf("ValidateArtigo");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].args[1], Variant("AÇÚCAR1"));
}

TEST_F(SalesLineEditorTest, ArticleLineNeedsTheDocumentsClientFirst) {
  header.client.clear();
  SalesLine line;
  auto outcome = edit(line, LineField::Article, demo::kOrdinaryArticle);
  EXPECT_EQ(outcome.kind, EditOutcome::Kind::Refused);
  EXPECT_TRUE(fake->calls.empty());
}

TEST_F(SalesLineEditorTest, DiscountHookGetsTheTypedTextAndItsRateAndAnUnchangedRateKeepsTheChain) {
  fake->on("ValidateDesconto", [](std::span<Variant> a) {
    EXPECT_EQ(a[1], Variant("10+5"));
    // As for an ordinary article: the entered discount becomes the line's rate.
    a[1] = linhaValue(a[0], "TaxaDesconto");
    return Variant();
  });
  SalesLine line = storedLine();
  ASSERT_TRUE(edit(line, LineField::Discount, "10+5").accepted());
  EXPECT_EQ(line.discount, "10+5");
  EXPECT_NEAR(line.discountRate(), 14.5, 1e-12);
}

TEST_F(SalesLineEditorTest, DiscountArgumentsClearedByTheHookClearTheLinesDiscount) {
  // A price-line article with nothing entered: both arguments come back empty.
  fake->on("ValidateDescontoValor", [](std::span<Variant> a) {
    a[1] = std::string();
    a[2] = std::string();
    return Variant();
  });
  SalesLine line = storedLine();
  ASSERT_TRUE(edit(line, LineField::DiscountValue, "0").accepted());
  EXPECT_EQ(line.discount, "");
  EXPECT_DOUBLE_EQ(line.discountValue, 0);
}

TEST_F(SalesLineEditorTest, WithoutAnExtensionInputIsTakenAsTyped) {
  SalesLineEditor plain(catalog(), nullptr);
  SalesLine line;
  ASSERT_TRUE(plain.edit(header, line, LineField::Article, demo::kOrdinaryArticle).accepted());
  EXPECT_DOUBLE_EQ(line.unitPrice, catalog().article(demo::kOrdinaryArticle)->retail[0]);
  ASSERT_TRUE(plain.edit(header, line, LineField::Discount, "10+5").accepted());
  EXPECT_EQ(line.discount, "10+5");
  EXPECT_TRUE(fake->calls.empty());
}

TEST_F(SalesLineEditorTest, LinesThatAreNotArticleLinesAreNotEdited) {
  SalesLine allowance = storedLine();
  allowance.type = LineType::Service;
  auto outcome = edit(allowance, LineField::Quantity, "5");
  EXPECT_EQ(outcome.kind, EditOutcome::Kind::Refused);
  EXPECT_DOUBLE_EQ(allowance.quantity, 10);
}

}  // namespace
}  // namespace quill::host
