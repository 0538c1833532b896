// The ERP's one store of commercial documents, its totals and its reading of
// discount texts: what is written, all or nothing, and read back.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <thread>

#include "erp/CompanyDatabase.h"
#include "erp/CompoundDiscount.h"
#include "erp/DemoCodes.h"
#include "erp/DocumentStore.h"
#include "erp/DocumentTotals.h"
#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill::erp {
namespace {

using erpapi::test::DemoCompanyCopy;

TEST(CompoundDiscount, PercentagesJoinedByPlusApplyOneAfterTheOther) {
  struct Case {
    const char* text;
    std::optional<double> percent;
  };
  for (const auto& c :
       {Case{"", 0.0}, Case{"10", 10.0}, Case{"10+5", 14.5}, Case{"10++5", 14.5}, Case{" 10 + 5 ", 14.5},
        Case{"1,5", 1.5}, Case{"12.25", 12.25}, Case{"100", 100.0}, Case{"10+abc", std::nullopt},
        Case{"abc", std::nullopt}, Case{"150", std::nullopt}, Case{"-5", std::nullopt}, Case{"5%", std::nullopt}}) {
    auto percent = compoundDiscountPercent(c.text);
    ASSERT_EQ(percent.has_value(), c.percent.has_value()) << c.text;
    if (percent) {
      EXPECT_NEAR(*percent, *c.percent, 1e-9) << c.text;
    }
  }
}

class DocumentStoreTest : public ::testing::Test {
 protected:
  DocumentStoreTest() = default;
  explicit DocumentStoreTest(erpapi::test::Backend backend) : company(backend) {}

  static HeaderValues newHeader(std::string_view client = demo::kRetailClient) {
    HeaderValues h;
    h.key = {std::string(demo::kInvoiceType), demo::kUnsignedSeries, 0, demo::kDocumentYear};
    h.date = vb::parseIsoText(demo::kDocumentDate);
    h.dueDate = h.date;
    h.client = std::string(client);
    h.clientName = "typed by someone";
    h.currency = std::string(demo::kNationalCurrency);
    h.seller = "V01";
    h.classification = {4, 2, 2, 1, 2, 1};
    h.inPreparation = true;
    return h;
  }
  static LineValues line(std::string_view article, double quantity, double price, std::string discount,
                         double discountValue = 0) {
    LineValues l;
    l.article = std::string(article);
    l.unit = "KG";
    l.quantity = quantity;
    l.unitPrice = price;
    l.discount = std::move(discount);
    l.discountValue = discountValue;
    l.vatRate = 6;
    return l;
  }
  static std::vector<LineValues*> pointers(std::vector<LineValues>& lines) {
    std::vector<LineValues*> p;
    for (auto& l : lines) p.push_back(&l);
    return p;
  }
  double header(const DocumentKey& key, const char* column) const {
    return vb::CDbl(company.value(
        std::string("SELECT ") + column + " FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
        {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)}));
  }
  DemoCompanyCopy::Rows stored(const DocumentKey& key) const {
    return company.document(key.type, key.series, key.number, key.year);
  }
  int headers(std::string_view type) const {
    return vb::CLng(company.value("SELECT count(*) FROM DOCGCCAB WHERE TPDOC = ?", {Variant(type)}));
  }

  DemoCompanyCopy company;
  std::shared_ptr<sql::Connection> connection =
      company.available() ? openCompanyDatabase(company.company()) : sql::Connection::open(company.databaseFile());
  DocumentStore store{*connection};
};

// Several users saving at once: on the demo company's file and on its copy
// on the test server.
class DocumentStoreOn : public DocumentStoreTest, public ::testing::WithParamInterface<erpapi::test::Backend> {
 protected:
  DocumentStoreOn() : DocumentStoreTest(GetParam()) {}
  void SetUp() override {
    if (!company.available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  }
};

TEST_P(DocumentStoreOn, UsersSavingNewDocumentsAtOnceLoseNoneAndNeverShareANumber) {
  constexpr int kUsers = 3;
  constexpr int kEach = 8;
  const HeaderValues model = newHeader();
  const std::int32_t first = store.nextNumber(model.key.type, model.key.series, model.key.year);
  const int before = headers(demo::kInvoiceType);
  std::vector<std::vector<std::int32_t>> numbers(kUsers);
  std::vector<std::string> failures(kUsers);
  std::vector<std::thread> users;
  for (int u = 0; u < kUsers; ++u)
    users.emplace_back([&, u] {
      try {
        auto own = openCompanyDatabase(company.company());
        DocumentStore mine(*own);
        for (int d = 0; d < kEach; ++d) {
          HeaderValues h = newHeader();
          std::vector<LineValues> lines(5, line(demo::kOrdinaryArticle, u + 1, 1.25, ""));
          mine.save(h, pointers(lines), DocumentStore::Write::New);
          numbers[u].push_back(h.key.number);
        }
      } catch (const std::exception& e) {
        failures[u] = e.what();
      }
    });
  for (auto& t : users) t.join();
  for (const auto& f : failures) EXPECT_EQ(f, "");

  std::set<std::int32_t> all;
  for (const auto& n : numbers) all.insert(n.begin(), n.end());
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kUsers * kEach)) << "a number was given twice";
  EXPECT_EQ(*all.begin(), first);
  EXPECT_EQ(*all.rbegin(), first + kUsers * kEach - 1);
  EXPECT_EQ(headers(demo::kInvoiceType), before + kUsers * kEach);
  // Each document has its own user's five lines.
  for (int u = 0; u < kUsers; ++u)
    for (auto number : numbers[u]) {
      auto doc = store.load({model.key.type, model.key.series, number, model.key.year});
      ASSERT_TRUE(doc);
      ASSERT_EQ(doc->lines.size(), 5u);
      EXPECT_DOUBLE_EQ(doc->lines[4].quantity, u + 1);
    }
}

TEST_P(DocumentStoreOn, ADocumentAnotherUserHoldsIsRefusedWithTryAgainAndSavedOnceReleased) {
  const DocumentKey key = demo::kInvoiceWithAllowanceLine.key();
  const auto before = stored(key);
  auto other = openCompanyDatabase(company.company());
  connection->setBusyTimeout(std::chrono::milliseconds(50));
  auto doc = store.load(key);
  ASSERT_TRUE(doc);
  doc->lines.push_back(line(demo::kOrdinaryArticle, 3, 1, ""));
  std::vector<LineValues*> lines;
  for (auto& l : doc->lines) lines.push_back(&l);
  {
    sql::Transaction holding(*other);
    other->execute("UPDATE DOCGCCAB SET NOME = NOME WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
                   {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)});
    try {
      store.save(doc->header, lines, DocumentStore::Write::Existing);
      ADD_FAILURE() << "saved a document another user holds";
    } catch (const AutomationError& e) {
      EXPECT_TRUE(sql::isTryAgain(e)) << e.description();
    }
  }
  EXPECT_EQ(stored(key), before);
  store.save(doc->header, lines, DocumentStore::Write::Existing);
  EXPECT_EQ(store.load(key)->lines.size(), before.size());  // the header's row and the old lines, plus one
}

INSTANTIATE_TEST_SUITE_P(Backends, DocumentStoreOn,
                         ::testing::Values(erpapi::test::Backend::Embedded, erpapi::test::Backend::Server),
                         sql::testing::backendName);

TEST_F(DocumentStoreTest, ANewDocumentTakesTheNextFreeNumberOwesItsTotalAndReadsBackAsWritten) {
  HeaderValues first = newHeader(), second = newHeader();
  const std::int32_t next = store.nextNumber(first.key.type, first.key.series, first.key.year);
  std::vector<LineValues> lines = {line(demo::kOrdinaryArticle, 10, 1.18, "5"),
                                   line(demo::kFixedPriceArticle, 4, 7.75, "", 0.25)};
  std::vector<LineValues> copy = lines;
  store.save(first, pointers(lines), DocumentStore::Write::New);
  store.save(second, pointers(copy), DocumentStore::Write::New);  // shown with the same number
  EXPECT_EQ(first.key.number, next);
  EXPECT_EQ(second.key.number, next + 1);

  auto back = store.load(first.key);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->header.clientName,
            vb::CStr(company.value("SELECT NOME FROM CLIENTES WHERE CODIGO = ?", {Variant(demo::kRetailClient)})))
      << "the name follows the client";
  EXPECT_EQ(back->header.date, first.date);
  EXPECT_EQ(back->header.classification, first.classification);
  EXPECT_TRUE(back->header.inPreparation);
  ASSERT_EQ(back->lines.size(), 2u);
  EXPECT_EQ(back->lines[1].number, 2);
  EXPECT_EQ(back->lines[1].seller, "V01") << "a line without a seller takes the header's";
  EXPECT_DOUBLE_EQ(back->lines[0].netTotal, 11.21);  // 11.80 less 5 %
  EXPECT_DOUBLE_EQ(back->lines[1].netTotal, 30.0) << "no discount text: less 4 x 0.25";
  EXPECT_DOUBLE_EQ(back->header.goodsTotal, 42.8);
  EXPECT_DOUBLE_EQ(back->header.documentTotal, roundToCents(41.21 * 1.06));
  EXPECT_DOUBLE_EQ(back->header.pendingValue, back->header.documentTotal);
}

TEST_F(DocumentStoreTest, WhatIsOwedMovesByTheChangeOfTheTotalAndNothingOwedStaysSo) {
  const DocumentKey key = demo::kInvoiceWithAllowanceLine.key();
  struct Case {
    const char* what;
    double paid;  // of the stored total
    bool owesNothing;
  };
  for (const auto& c : {Case{"partly paid", 10.0, false}, Case{"paid", 0.0, true}}) {
    const double total = header(key, "TOTDOC");
    company.execute("UPDATE DOCGCCAB SET VALPEND = ? WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
                    {Variant(c.owesNothing ? 0.0 : total - c.paid), Variant(key.type), Variant(key.series),
                     Variant(key.number), Variant(key.year)});
    auto doc = store.load(key);
    ASSERT_TRUE(doc);
    doc->lines[0].quantity += 1;
    std::vector<LineValues*> lines;
    for (auto& l : doc->lines) lines.push_back(&l);
    store.save(doc->header, lines, DocumentStore::Write::Existing);
    EXPECT_GT(header(key, "TOTDOC"), total) << c.what;
    EXPECT_NEAR(header(key, "VALPEND"), c.owesNothing ? 0.0 : header(key, "TOTDOC") - c.paid, 0.001) << c.what;
    EXPECT_EQ(doc->header.pendingValue, header(key, "VALPEND")) << c.what;
  }
}

TEST_F(DocumentStoreTest, ADiscountTheErpRefusesIsRefusedWithItsMessageAndNothingIsWritten) {
  const DocumentKey key = demo::kInvoiceWithAllowanceLine.key();
  const auto before = stored(key);
  const int invoices = headers(demo::kInvoiceType);
  for (const char* discount : {"10+abc", "abc"}) {
    auto doc = store.load(key);
    doc->lines[1].discount = discount;
    std::vector<LineValues*> lines;
    for (auto& l : doc->lines) lines.push_back(&l);
    for (auto write : {DocumentStore::Write::Existing, DocumentStore::Write::New}) {
      HeaderValues header = doc->header;
      try {
        store.save(header, lines, write);
        ADD_FAILURE() << discount << " was written";
      } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), kInvalidDiscount);
        EXPECT_EQ(e.description(), invalidDiscountMessage(2, discount));
      }
      EXPECT_EQ(header.key, key);
    }
  }
  EXPECT_EQ(stored(key), before);
  EXPECT_EQ(headers(demo::kInvoiceType), invoices);
}

TEST_F(DocumentStoreTest, AFailureHalfwayWritesNothingAndLeavesTheCallersKey) {
  company.execute(
      "CREATE TRIGGER REFUSE_LINE BEFORE INSERT ON DOCGCLIN WHEN NEW.ARTIGO = 'RECUSA' "
      "BEGIN SELECT RAISE(ABORT, 'linha recusada'); END");
  const DocumentKey key = demo::kInvoiceWithAllowanceLine.key();
  const auto before = stored(key);
  auto doc = store.load(key);
  doc->lines.push_back(line("RECUSA", 1, 1, ""));
  std::vector<LineValues*> lines;
  for (auto& l : doc->lines) lines.push_back(&l);
  EXPECT_THROW(store.save(doc->header, lines, DocumentStore::Write::Existing), AutomationError);
  EXPECT_EQ(stored(key), before);

  HeaderValues fresh = newHeader();
  const int invoices = headers(demo::kInvoiceType);
  EXPECT_THROW(store.save(fresh, lines, DocumentStore::Write::New), AutomationError);
  EXPECT_EQ(fresh.key.number, 0);
  EXPECT_EQ(headers(demo::kInvoiceType), invoices);
}

TEST_F(DocumentStoreTest, ADocumentRemovedMeanwhileIsWrittenAgainUnderItsKey) {
  const DocumentKey key = demo::kInvoiceWithAllowanceLine.key();
  auto doc = store.load(key);
  company.execute("DELETE FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
                  {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)});
  company.execute("DELETE FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
                  {Variant(key.type), Variant(key.series), Variant(key.number), Variant(key.year)});
  std::vector<LineValues*> lines;
  for (auto& l : doc->lines) lines.push_back(&l);
  store.save(doc->header, lines, DocumentStore::Write::Existing);
  auto back = store.load(key);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->lines.size(), doc->lines.size());
  EXPECT_DOUBLE_EQ(back->header.pendingValue, back->header.documentTotal);
}

TEST_F(DocumentStoreTest, AClosedDocumentIsNotChangedAndOneInPreparationIs) {
  struct Case {
    demo::KnownDocument document;
    bool closed;
  };
  for (const auto& c : {Case{demo::kSignedInvoice, true}, Case{demo::kCreditNote, true},
                        Case{demo::kInvoiceInPreparation, false}, Case{demo::kInvoiceWithAllowanceLine, false}}) {
    const DocumentKey key = c.document.key();
    SCOPED_TRACE(key.type + " " + std::to_string(key.series) + "/" + std::to_string(key.number));
    auto doc = store.load(key);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->closed(), c.closed);
    const auto before = stored(key);
    doc->lines[0].quantity += 1;
    std::vector<LineValues*> lines;
    for (auto& l : doc->lines) lines.push_back(&l);
    if (!c.closed) {
      store.save(doc->header, lines, DocumentStore::Write::Existing);
      EXPECT_NE(stored(key), before);
      continue;
    }
    try {
      store.save(doc->header, lines, DocumentStore::Write::Existing);
      ADD_FAILURE() << "a closed document was written";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), kDocumentClosed);
      EXPECT_EQ(e.description(), closedDocumentMessage(key));
    }
    EXPECT_EQ(stored(key), before);
  }
}

TEST(DocumentTotals, LineAndDocumentTotalsRoundTheDecimalTheUserSeesHalvesAwayFromZero) {
  struct Case {
    const char* what;
    double quantity, price;
    const char* discount;
    double net;
  };
  const Case cases[] = {
      {"1 x 0,285", 1, 0.285, "", 0.29}, {"a credit of 1 x 0,285", -1, 0.285, "", -0.29},
      {"3 x 0,095", 3, 0.095, "", 0.29}, {"10 x 1,18 less 5 %", 10, 1.18, "5", 11.21},
      {"1 x 2,675", 1, 2.675, "", 2.68}, {"a credit of 2 x 1,0025", -2, 1.0025, "", -2.01},
  };
  for (const auto& c : cases) {
    LineValues l;
    l.article = "A";
    l.quantity = c.quantity;
    l.unitPrice = c.price;
    l.discount = c.discount;
    EXPECT_EQ(netLineTotal(l), c.net) << c.what;
    std::vector<LineValues*> one{&l};
    EXPECT_EQ(DocumentTotals::compute(one).total, c.net) << c.what << " without VAT";
  }
  EXPECT_EQ(roundToCents(0.285), 0.29);
  EXPECT_EQ(roundToCents(-0.285), -0.29);
  EXPECT_EQ(roundPrice(0.31245), 0.3125);
}

TEST_F(DocumentStoreTest, CodesWithQuotesAreStoredAndAnUnknownDocumentIsNotFound) {
  HeaderValues h = newHeader(demo::kQuotedCodeClient);
  std::vector<LineValues> lines = {line(demo::kOrdinaryArticle, 1, 1, "")};
  store.save(h, pointers(lines), DocumentStore::Write::New);
  EXPECT_EQ(store.load(h.key)->header.client, demo::kQuotedCodeClient);
  EXPECT_FALSE(store.load(demo::kUnknownDocument.key()));
  EXPECT_FALSE(store.exists(demo::kUnknownDocument.key()));
  EXPECT_TRUE(store.exists(h.key));
}

}  // namespace
}  // namespace quill::erp
