// The host with the real extension (and the real bridge when it is built):
// a company opened through the extension, documents edited through its
// hooks and saved with the freight allowance.

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "erp/DocumentStore.h"
#include "erp/Installation.h"
#include "erp/ServerCompany.h"
#include "host/CompanyCatalog.h"
#include "host/DiscountText.h"
#include "host/SalesDocumentEditor.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/TestServer.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

constexpr const char* kApiOffWarning =
    "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.";

double round4(double v) { return std::round(v * 10000.0) / 10000.0; }

double number(sql::Connection& db, const std::string& sql, std::vector<Variant> params = {}) {
  auto rs = db.query(sql, params);
  EXPECT_FALSE(rs->eof()) << sql;
  return rs->eof() ? 0.0 : vb::CDbl(rs->value(std::size_t{0}));
}

Date documentDate() { return *vb::parseIsoText(demo::kDocumentDate); }

class HostEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    company = demoCompany(::testing::UnitTest::GetInstance()->current_test_info()->name());
    session = realSession(ui);
  }

  void open() {
    ASSERT_TRUE(session->open(company)) << session->lastError();
    ASSERT_TRUE(session->extensionActive());
  }

  // A new invoice of the unsigned series for a client, with a dispatch code.
  std::unique_ptr<SalesDocumentEditor> newInvoice(std::string_view client, std::string_view dispatch) {
    auto editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
    EXPECT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, documentDate()));
    EXPECT_TRUE(editor->setClient(client));
    EXPECT_TRUE(editor->setDispatch(dispatch));
    return editor;
  }

  // A line as a user enters it: unit, article, quantity.
  void addLine(SalesDocumentEditor& editor, std::string_view article, std::string_view unit, std::string_view qty) {
    int row = editor.addLine();
    EXPECT_TRUE(editor.setLineField(row, LineField::Unit, unit).accepted());
    EXPECT_TRUE(editor.setLineField(row, LineField::Article, article).accepted()) << article;
    EXPECT_TRUE(editor.setLineField(row, LineField::Quantity, qty).accepted());
  }

  std::shared_ptr<sql::Connection> database() { return openDatabase(company); }

  int storedLines(const DocumentKey& key, int lineType = 0) {
    auto db = database();
    std::string sql = "SELECT COUNT(*) FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?";
    if (lineType) sql += " AND TIPOLIN = " + std::to_string(lineType);
    return static_cast<int>(
        number(*db, sql, {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}}));
  }

  void switchApiOff() {
    if (!session->apiLinkOn()) return;
    ui.scripted->answerNext(6);  // vbYes
    session->toggleApiLink();
    ASSERT_FALSE(session->apiLinkOn());
  }

  // Puts the company's database on the test server and registers it there;
  // its file is moved away, so that nothing can read it any more.
  void moveToServer() {
    auto server = sql::testing::testServer();
    if (!server) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    auto installation = erp::Installation::open(company.erpFolder);
    auto entry = *installation.findCompany(company.company);
    server->database = fmt::format("quill_host_{}_{}", static_cast<long>(::getpid()), ++serverCopies);
    erp::ServerCompany::copy(entry.databaseFile(), *server);
    onServer = *server;
    std::filesystem::rename(entry.databaseFile(), entry.databaseFile().string() + ".moved");
    entry.server = fmt::format("{}:{}", server->host, server->port);
    entry.databaseName = server->database;
    entry.serverUser = server->user;
    entry.serverPassword = server->password;
    installation.registerCompany(entry);
  }
  void TearDown() override {
    session.reset();
    if (!onServer) return;
    try {
      erp::ServerCompany::drop(*onServer);
    } catch (...) {
    }
  }

  TestUi ui;
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
  std::optional<sql::ServerAddress> onServer;
  static inline int serverCopies = 0;
};

// The host, the extension and the bridge on the demo company's file, and on
// its copy on the test server.
class HostOnEitherBackend : public HostEndToEnd, public ::testing::WithParamInterface<sql::testing::Backend> {
 protected:
  void SetUp() override {
    HostEndToEnd::SetUp();
    if (GetParam() == sql::testing::Backend::Server) moveToServer();
  }
};
INSTANTIATE_TEST_SUITE_P(Backends, HostOnEitherBackend,
                         ::testing::Values(sql::testing::Backend::Embedded, sql::testing::Backend::Server),
                         sql::testing::backendName);

TEST_P(HostOnEitherBackend, OpeningWritesTheConfigurationTheExtensionReadsAndShowsTheCompany) {
  open();
  EXPECT_EQ(session->company().code, demo::kCompanyCode);
  EXPECT_EQ(session->configurationFile(), realExtension().folder / "VALTERO.INI");
  EXPECT_TRUE(session->extensionInterested());
  // The link is on exactly when the bridge could be started.
  EXPECT_EQ(session->apiLinkOn(), realExtension().bridgeBuilt);
  if (!realExtension().bridgeBuilt) {
    EXPECT_FALSE(ui.boxesWith("Erro ").empty());
  }
}

// Every pricing rule of the all-rules client on one invoice, in kg, sacks
// and pallets; saved with the allowance dispatch code.
TEST_P(HostOnEitherBackend, InvoiceOfTheAllRulesClientIsPricedByEachRuleAndSavedWithItsAllowance) {
  open();
  auto editor = newInvoice(demo::kAllRulesClient, demo::kAllowanceDispatch);
  addLine(*editor, demo::kFixedPriceArticle, demo::kSackUnit, "40");
  addLine(*editor, demo::kGroupDiscountArticle, demo::kPalletUnit, "2");
  addLine(*editor, demo::kOrdinaryArticle, demo::kSaleUnit, "500");
  auto outcome = editor->save();
  ASSERT_TRUE(outcome.saved);
  EXPECT_TRUE(outcome.allowanceAsked);
  const DocumentKey key = editor->document().header.key;

  // What the rules give, read from the company's own tables.
  auto db = database();
  std::vector<Variant> client{std::string(demo::kAllRulesClient)};
  double priceLine = number(*db, "SELECT TPPRECO FROM CLIENTES WHERE CODIGO = ?", client);
  ASSERT_GT(priceLine, 0);
  double fixedPerKg =
      number(*db, "SELECT PVP FROM PRECOS WHERE ARTIGO = ? AND MOEDA = 'EUR' AND LINPRC = ? AND DATINIC <= ?",
             {std::string(demo::kFixedPriceArticle), std::int32_t(priceLine), std::string(demo::kDocumentDate)});
  auto retail = [&](std::string_view article) {
    return number(*db, "SELECT PVPSIVA FROM ARTIGOS WHERE CODIGO = ?", {std::string(article)});
  };
  struct Expected {
    std::string article, unit;
    double quantity, price, percent, value;
  };
  double feedPrice = retail(demo::kGroupDiscountArticle) * 1000;
  double feedValue = demo::kAllRulesGroupDiscount * 1000;
  double ordinaryPrice = retail(demo::kOrdinaryArticle);
  std::vector<Expected> expected = {
      {std::string(demo::kFixedPriceArticle), "SC", 40, round4(fixedPerKg * 25), 0, 0},
      {std::string(demo::kGroupDiscountArticle), "PAL", 2, feedPrice, round4(feedValue / feedPrice) * 100, feedValue},
      {std::string(demo::kOrdinaryArticle), "KG", 500, ordinaryPrice,
       round4(demo::kAllRulesPerKgDiscount / ordinaryPrice) * 100, demo::kAllRulesPerKgDiscount},
  };

  auto lines = db->query(
      "SELECT NUMLIN, TIPOLIN, ARTIGO, UNIDADE, QUANT, PRECUNIT, DESCONTO, DESCVALOR, TOTLIN FROM DOCGCLIN "
      "WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? ORDER BY NUMLIN",
      {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}});
  for (const auto& e : expected) {
    ASSERT_FALSE(lines->eof()) << e.article;
    SCOPED_TRACE(e.article);
    EXPECT_EQ(vb::CStr(lines->value("ARTIGO")), e.article);
    EXPECT_EQ(vb::CStr(lines->value("UNIDADE")), e.unit);
    EXPECT_DOUBLE_EQ(vb::CDbl(lines->value("QUANT")), e.quantity);
    EXPECT_NEAR(vb::CDbl(lines->value("PRECUNIT")), e.price, 1e-9);
    EXPECT_NEAR(compoundDiscountRate(vb::CStr(lines->value("DESCONTO"))), e.percent, 1e-9);
    EXPECT_NEAR(vb::CDbl(lines->value("DESCVALOR")), e.value, 1e-9);
    EXPECT_NEAR(vb::CDbl(lines->value("TOTLIN")), std::round(e.quantity * e.price * (1 - e.percent / 100) * 100) / 100,
                1e-9);
    lines->moveNext();
  }

  if (realExtension().bridgeBuilt) {
    // 40 sacks of 25 kg, 2 pallets of 1000 kg and 500 kg: 3.5 t.
    double weight = 40 * 25 + 2 * 1000 + 500;
    ASSERT_FALSE(lines->eof()) << "no allowance line";
    EXPECT_EQ(vb::CStr(lines->value("ARTIGO")), demo::kAllowanceArticle);
    EXPECT_EQ(vb::CLng(lines->value("TIPOLIN")), 3);
    EXPECT_DOUBLE_EQ(vb::CDbl(lines->value("QUANT")), 1);
    EXPECT_NEAR(vb::CDbl(lines->value("PRECUNIT")), weight / 1000 * demo::kAllRulesAllowancePerTonne, 1e-9);
    EXPECT_TRUE(outcome.allowanceWritten);
    // The editor shows the document as stored, allowance line included.
    ASSERT_EQ(editor->document().lines.size(), 4u);
    EXPECT_EQ(editor->document().lines[3].article, demo::kAllowanceArticle);
  } else {
    // Without the bridge the link is off: saved, no allowance, the warning shown.
    EXPECT_TRUE(lines->eof());
    EXPECT_FALSE(outcome.allowanceWritten);
    EXPECT_EQ(ui.boxesWith(kApiOffWarning).size(), 1u);
  }

  // Reopening shows the stored document again.
  SalesDocumentEditor reopened(session->editorServices());
  ASSERT_TRUE(reopened.open(key));
  ASSERT_EQ(reopened.document().lines.size(), editor->document().lines.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(reopened.document().lines[i].article, expected[i].article);
    EXPECT_NEAR(reopened.document().lines[i].unitPrice, expected[i].price, 1e-9);
    EXPECT_EQ(reopened.document().lines[i].state, LineState::Stored);
  }
  EXPECT_EQ(reopened.document().header.client, demo::kAllRulesClient);
  EXPECT_EQ(reopened.document().header.dispatch, demo::kAllowanceDispatch);
}

TEST_P(HostOnEitherBackend, SecondSaveUpdatesTheDocumentAndKeepsOneAllowanceLine) {
  open();
  auto editor = newInvoice(demo::kAllRulesClient, demo::kAllowanceDispatch);
  addLine(*editor, demo::kOrdinaryArticle, demo::kSaleUnit, "1000");
  ASSERT_TRUE(editor->save().saved);
  const DocumentKey key = editor->document().header.key;
  const int linesAfterFirstSave = storedLines(key);

  // More goods: the allowance follows the weight, the document keeps its key.
  ASSERT_TRUE(editor->setLineField(0, LineField::Quantity, "2000").accepted());
  ASSERT_TRUE(editor->save().saved);
  EXPECT_EQ(editor->document().header.key, key);
  auto db = database();
  EXPECT_EQ(number(*db, "SELECT COUNT(*) FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
                   {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}}),
            1);
  EXPECT_EQ(storedLines(key), linesAfterFirstSave);
  EXPECT_EQ(storedLines(key, 3), realExtension().bridgeBuilt ? 1 : 0);
  EXPECT_NEAR(number(*db,
                     "SELECT QUANT FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? AND "
                     "NUMLIN = 1",
                     {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}}),
              2000, 1e-9);
  if (realExtension().bridgeBuilt) {
    EXPECT_NEAR(number(*db,
                       "SELECT PRECUNIT FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? "
                       "AND TIPOLIN = 3",
                       {key.type, std::int32_t{key.series}, std::int32_t{key.number}, std::int32_t{key.year}}),
                2.0 * demo::kAllRulesAllowancePerTonne, 1e-9);
  }
}

TEST_F(HostEndToEnd, UnknownClientAndArticleCodesAreRefusedAndNeverSaved) {
  open();
  auto editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
  ASSERT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, documentDate()));
  EXPECT_FALSE(editor->setClient(demo::kUnknownClient));
  EXPECT_EQ(ui.boxesWith(std::string(demo::kUnknownClient)).size(), 1u);
  EXPECT_TRUE(editor->document().header.client.empty());
  // Nothing to save without a client.
  EXPECT_FALSE(editor->save().saved);

  ASSERT_TRUE(editor->setClient(demo::kRetailClient));
  int row = editor->addLine();
  auto outcome = editor->setLineField(row, LineField::Article, demo::kUnknownArticle);
  EXPECT_EQ(outcome.kind, EditOutcome::Kind::Refused);
  EXPECT_NE(outcome.message.find(demo::kUnknownArticle), std::string::npos);
  EXPECT_TRUE(editor->document().lines[0].article.empty());
  // A line without an article is not a document.
  EXPECT_FALSE(editor->save().saved);

  ASSERT_TRUE(editor->setLineField(row, LineField::Article, demo::kOrdinaryArticle).accepted());
  ASSERT_TRUE(editor->save().saved);
  auto db = database();
  EXPECT_EQ(number(*db, "SELECT COUNT(*) FROM DOCGCLIN WHERE ARTIGO = ?", {std::string(demo::kUnknownArticle)}), 0);
  EXPECT_EQ(number(*db, "SELECT COUNT(*) FROM DOCGCCAB WHERE TERCEIRO = ?", {std::string(demo::kUnknownClient)}), 0);
}

TEST_F(HostEndToEnd, DocumentSavedWithTheApiLinkOffHasNoAllowanceAndTheWarningShows) {
  open();
  switchApiOff();
  ui.scripted->clearBoxes();
  auto editor = newInvoice(demo::kAllowanceClient, demo::kAllowanceDispatch);
  addLine(*editor, demo::kOrdinaryArticle, demo::kSaleUnit, "2000");
  auto outcome = editor->save();
  ASSERT_TRUE(outcome.saved);
  EXPECT_TRUE(outcome.allowanceAsked);
  EXPECT_FALSE(outcome.allowanceWritten);
  ASSERT_EQ(ui.boxesWith(kApiOffWarning).size(), 1u);
  EXPECT_EQ(ui.boxesWith(kApiOffWarning)[0].title, "Ligação SageNext API");
  EXPECT_EQ(storedLines(editor->document().header.key), 1);
  EXPECT_EQ(storedLines(editor->document().header.key, 3), 0);
}

TEST_F(HostEndToEnd, CreditNoteIsToldByTheExtensionAndMayChangeTheUnitOfALine) {
  open();
  auto editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
  ASSERT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, documentDate()));
  EXPECT_FALSE(editor->isCreditNote());
  ASSERT_TRUE(editor->setClient(demo::kPriceLineClient));
  addLine(*editor, demo::kFixedPriceArticle, demo::kSaleUnit, "100");
  double perKg = editor->document().lines[0].unitPrice;
  // On an invoice the extension keeps the unit of a line.
  auto refused = editor->setLineField(0, LineField::Unit, demo::kSackUnit);
  EXPECT_EQ(refused.kind, EditOutcome::Kind::RefusedByExtension);
  EXPECT_EQ(editor->document().lines[0].unit, demo::kSaleUnit);

  ASSERT_TRUE(editor->newDocument(demo::kCreditNoteType, demo::kUnsignedSeries, documentDate()));
  EXPECT_TRUE(editor->isCreditNote());
  ASSERT_TRUE(editor->setClient(demo::kPriceLineClient));
  addLine(*editor, demo::kFixedPriceArticle, demo::kSaleUnit, "100");
  ASSERT_TRUE(editor->setLineField(0, LineField::Unit, demo::kSackUnit).accepted());
  EXPECT_EQ(editor->document().lines[0].unit, demo::kSackUnit);
  EXPECT_NEAR(editor->document().lines[0].unitPrice, perKg * demo::kFixedPriceArticlePackingFactor, 1e-9);
}

TEST_F(HostEndToEnd, DiscountOnAPriceLineArticleIsRefusedOnceAndTheLineKeepsItsDiscount) {
  open();
  auto editor = newInvoice(demo::kPriceLineClient, "");
  addLine(*editor, demo::kFixedPriceArticle, demo::kSaleUnit, "10");
  ui.scripted->clearBoxes();
  auto outcome = editor->setLineField(0, LineField::Discount, "5");
  EXPECT_EQ(outcome.kind, EditOutcome::Kind::RefusedByExtension);
  EXPECT_EQ(ui.boxesWith("Artigo com Linha de preços não permite desconto.").size(), 1u);
  EXPECT_EQ(editor->document().lines[0].discountRate(), 0);
}

struct UnopenableCase {
  const char* name;
  std::function<void(CompanyChoice&)> spoil;
  const char* reason;  // part of the message shown
};

class CompanyThatCannotBeOpened : public HostEndToEnd, public ::testing::WithParamInterface<UnopenableCase> {};

TEST_P(CompanyThatCannotBeOpened, ShowsWhyAndTheHostOpensAnotherCompanyAfterwards) {
  CompanyChoice spoilt = company;
  GetParam().spoil(spoilt);
  EXPECT_FALSE(session->open(spoilt));
  EXPECT_FALSE(session->isOpen());
  EXPECT_NE(session->lastError().find(GetParam().reason), std::string::npos) << session->lastError();
  auto shown = ui.boxesWith(GetParam().reason);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, HostCompanySession::kOpenTitle);

  open();
  EXPECT_TRUE(session->isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompanyThatCannotBeOpened,
    ::testing::Values(UnopenableCase{"UnknownCompany", [](CompanyChoice& c) { c.company = "NAOHA"; }, "NAOHA"},
                      UnopenableCase{"WrongPassword", [](CompanyChoice& c) { c.password = "errada"; }, "palavra-passe"},
                      UnopenableCase{"NotAnInstallation", [](CompanyChoice& c) { c.erpFolder /= "nada"; },
                                     "instalação do ERP"},
                      UnopenableCase{"DamagedDatabase",
                                     [](CompanyChoice& c) {
                                       // Another installation, whose company database is not one.
                                       c = demoCompany("damaged");
                                       auto file = c.erpFolder / "dados" / (std::string(demo::kDatabaseName) + ".db");
                                       std::filesystem::remove(file.string() + "-wal");
                                       std::filesystem::remove(file.string() + "-shm");
                                       std::ofstream(file, std::ios::trunc) << "isto não é uma base de dados";
                                     },
                                     "base de dados"},
                      UnopenableCase{"ServerDown",
                                     [](CompanyChoice& c) {
                                       // Another installation, whose company is on a server nobody runs.
                                       c = demoCompany("server-down");
                                       auto installation = erp::Installation::open(c.erpFolder);
                                       auto entry = *installation.findCompany(c.company);
                                       entry.server = "127.0.0.1:1";
                                       entry.serverUser = "quill";
                                       installation.registerCompany(entry);
                                     },
                                     "127.0.0.1:1"},
                      UnopenableCase{"ServerRefusesTheLogin",
                                     [](CompanyChoice& c) {
                                       // Another installation, whose company is on the test server
                                       // with a password the server refuses.
                                       auto server = sql::testing::testServer();
                                       if (!server) GTEST_SKIP() << "no test server";
                                       c = demoCompany("server-login");
                                       auto installation = erp::Installation::open(c.erpFolder);
                                       auto entry = *installation.findCompany(c.company);
                                       entry.server = fmt::format("{}:{}", server->host, server->port);
                                       entry.serverUser = server->user;
                                       entry.serverPassword = "errada";
                                       installation.registerCompany(entry);
                                     },
                                     "refused the login"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostEndToEnd, ClosingCallsConnectionCloseAndLeavesNoBridgeProcessBehind) {
  open();
  auto editor = newInvoice(demo::kAllRulesClient, demo::kAllowanceDispatch);
  addLine(*editor, demo::kOrdinaryArticle, demo::kSaleUnit, "100");
  ASSERT_TRUE(editor->save().saved);
  editor.reset();
  session->close();
  EXPECT_FALSE(session->isOpen());
  EXPECT_FALSE(session->apiLinkOn());
  int left = childProcesses("quillbridge");
  for (int i = 0; i < 50 && left > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    left = childProcesses("quillbridge");
  }
  EXPECT_EQ(left, 0);
  // The session may open a company again with a new extension object.
  open();
}

}  // namespace
}  // namespace quill::host
