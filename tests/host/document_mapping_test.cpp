// The host's documents written and read through the ERP's store: what the
// editor holds before and after, numbering, all or nothing.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "erp/DocumentStore.h"
#include "host/DocumentMapping.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

class DocumentMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    company = demoCompany(::testing::UnitTest::GetInstance()->current_test_info()->name());
    connection = openDatabase(company);
    store = std::make_unique<erp::DocumentStore>(*connection);
  }

  SalesDocument document(std::string_view client = demo::kRetailClient) {
    SalesDocument doc;
    auto& h = doc.header;
    h.key = {std::string(demo::kInvoiceType), demo::kUnsignedSeries, 0, demo::kDocumentYear};
    h.key.number = store->nextNumber(h.key.type, h.key.series, h.key.year);
    h.date = *vb::parseIsoText(demo::kDocumentDate);
    h.client = std::string(client);
    h.currency = "EUR";
    h.dispatch = std::string(demo::kAllowanceDispatch);
    h.classification = {4, 2, 2, 1, 2, 1};
    doc.lines.push_back(line(demo::kOrdinaryArticle, 10, 1.18, "5"));
    doc.lines.push_back(line(demo::kFixedPriceArticle, 4, 7.75, ""));
    return doc;
  }

  static SalesLine line(std::string_view article, double quantity, double price, std::string discount) {
    SalesLine l;
    l.article = std::string(article);
    l.description = "desc " + l.article;
    l.unit = "KG";
    l.quantity = quantity;
    l.unitPrice = price;
    l.discount = std::move(discount);
    l.vatRate = 6;
    return l;
  }

  int count(const std::string& sql, const DocumentKey& key) {
    auto rs =
        connection->query(sql, {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}});
    return vb::CLng(rs->value(std::size_t{0}));
  }
  int headers(const DocumentKey& key) {
    return count("SELECT COUNT(*) FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?", key);
  }
  int lines(const DocumentKey& key) {
    return count("SELECT COUNT(*) FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?", key);
  }

  CompanyChoice company;
  std::shared_ptr<sql::Connection> connection;
  std::unique_ptr<erp::DocumentStore> store;
};

TEST_F(DocumentMappingTest, NewDocumentTakesTheNextNumberAndReadsBackAsSaved) {
  SalesDocument doc = document();
  int expected = doc.header.key.number;
  saveDocument(*store, doc);
  EXPECT_TRUE(doc.stored);
  EXPECT_EQ(doc.header.key.number, expected);
  EXPECT_EQ(store->nextNumber(doc.header.key.type, doc.header.key.series, doc.header.key.year), expected + 1);

  auto back = loadDocument(*store, doc.header.key);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->stored);
  EXPECT_EQ(back->header.client, demo::kRetailClient);
  EXPECT_EQ(back->header.dispatch, demo::kAllowanceDispatch);
  EXPECT_EQ(back->header.date, doc.header.date);
  EXPECT_EQ(back->header.classification, doc.header.classification);
  ASSERT_EQ(back->lines.size(), 2u);
  EXPECT_EQ(back->lines[0].article, demo::kOrdinaryArticle);
  EXPECT_EQ(back->lines[0].discount, "5");
  EXPECT_DOUBLE_EQ(back->lines[0].unitPrice, 1.18);
  EXPECT_EQ(back->lines[0].state, LineState::Stored);
  // Totals are stored with the document.
  auto rs = connection->query(
      "SELECT TOTMERC, TOTDOC FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ?",
      {doc.header.key.type, std::int32_t{doc.header.key.series}, std::int32_t{doc.header.key.number}});
  EXPECT_DOUBLE_EQ(vb::CDbl(rs->value("TOTMERC")), doc.totals().goods);
  EXPECT_DOUBLE_EQ(vb::CDbl(rs->value("TOTDOC")), doc.totals().total);
}

TEST_F(DocumentMappingTest, NumberTakenMeanwhileGivesTheNextFreeOne) {
  SalesDocument first = document();
  SalesDocument second = document();  // shown with the same number
  saveDocument(*store, first);
  saveDocument(*store, second);
  EXPECT_EQ(second.header.key.number, first.header.key.number + 1);
  EXPECT_EQ(headers(first.header.key), 1);
  EXPECT_EQ(lines(first.header.key), 2);
}

TEST_F(DocumentMappingTest, SavingAgainReplacesTheDocumentNeverAddsIt) {
  SalesDocument doc = document();
  saveDocument(*store, doc);
  doc.lines.pop_back();
  doc.lines[0].quantity = 20;
  saveDocument(*store, doc);
  saveDocument(*store, doc);
  EXPECT_EQ(headers(doc.header.key), 1);
  EXPECT_EQ(lines(doc.header.key), 1);
  EXPECT_DOUBLE_EQ(loadDocument(*store, doc.header.key)->lines[0].quantity, 20);
}

TEST_F(DocumentMappingTest, FailedSaveWritesNothingAndLeavesTheDocumentAsItWas) {
  // The database refuses one line halfway through the document.
  sql::Database(connection->file(), sql::Database::Mode::ReadWrite)
      .exec(
          "CREATE TRIGGER REFUSE_LINE BEFORE INSERT ON DOCGCLIN WHEN NEW.ARTIGO = 'RECUSA' "
          "BEGIN SELECT RAISE(ABORT, 'linha recusada'); END");
  SalesDocument doc = document();
  doc.lines.push_back(line("RECUSA", 1, 1, ""));
  SalesDocument before = doc;
  EXPECT_THROW(saveDocument(*store, doc), AutomationError);
  EXPECT_FALSE(doc.stored);
  EXPECT_EQ(doc.header.key, before.header.key);
  EXPECT_EQ(doc.lines.size(), before.lines.size());
  EXPECT_EQ(headers(doc.header.key), 0);
  EXPECT_EQ(lines(doc.header.key), 0);

  // A stored document keeps its stored lines when saving it again fails.
  doc.lines.pop_back();
  saveDocument(*store, doc);
  doc.lines.push_back(line("RECUSA", 1, 1, ""));
  EXPECT_THROW(saveDocument(*store, doc), AutomationError);
  EXPECT_EQ(lines(doc.header.key), 2);
}

TEST_F(DocumentMappingTest, ADiscountTheErpRefusesWritesNothingAndLeavesTheDocumentAsItWas) {
  for (const char* discount : {"10+abc", "abc"}) {
    SalesDocument doc = document();
    doc.lines[1].discount = discount;
    try {
      saveDocument(*store, doc);
      ADD_FAILURE() << discount << " was written";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.description(), std::string("Linha 2: o desconto '") + discount + "' não é válido.");
    }
    EXPECT_FALSE(doc.stored);
    EXPECT_EQ(headers(doc.header.key), 0);
    EXPECT_EQ(doc.lines[0].state, LineState::New);
  }
}

TEST_F(DocumentMappingTest, EmptyArticleLinesAreNotWrittenCommentAndServiceLinesAre) {
  SalesDocument doc = document();
  doc.lines.insert(doc.lines.begin(), SalesLine{});  // a line the user never filled
  SalesLine comment;
  comment.type = LineType::Comment;
  comment.description = "Entregar de manhã";
  SalesLine allowance = line(demo::kAllowanceArticle, 1, 21, "");
  allowance.type = LineType::Service;
  doc.lines.push_back(comment);
  doc.lines.push_back(allowance);
  saveDocument(*store, doc);
  auto back = loadDocument(*store, doc.header.key);
  ASSERT_EQ(back->lines.size(), 4u);
  EXPECT_EQ(back->lines[0].article, demo::kOrdinaryArticle);
  EXPECT_EQ(back->lines[2].type, LineType::Comment);
  EXPECT_EQ(back->lines[2].description, "Entregar de manhã");
  EXPECT_EQ(back->lines[3].type, LineType::Service);
  EXPECT_EQ(doc.lines.size(), 4u);  // the document shows what was stored
}

TEST_F(DocumentMappingTest, CodesWithQuotesAreStoredAndFoundAsTheyAre) {
  SalesDocument doc = document(demo::kQuotedCodeClient);
  saveDocument(*store, doc);
  auto back = loadDocument(*store, doc.header.key);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->header.client, demo::kQuotedCodeClient);
}

TEST_F(DocumentMappingTest, UnknownDocumentIsNotFound) {
  EXPECT_FALSE(loadDocument(*store, demo::kUnknownDocument.key()));
}

}  // namespace
}  // namespace quill::host
