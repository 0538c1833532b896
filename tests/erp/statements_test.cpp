// Every statement of the system runs on the demo company through the SQL
// layer, exactly as the system writes it: the schema holds every table and
// column they use, the dialect shim translates them, and the demo rows give
// the answers the statements' callers rely on.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "extension/core/DatabaseModel.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Command.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "tests/erp/ErpTestSupport.h"
#include "tests/erp/SystemStatements.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;
using sql::Connection;
using test::SystemStatement;

std::int32_t errorNumberOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

class SystemStatements : public ::testing::Test {
 protected:
  // A copy of the demo company on which the commission window has created
  // its table, as it does the first time it is opened, and computed March.
  static void SetUpTestSuite() {
    folder_ = std::make_unique<test::TempFolder>("erp-statements");
    fs::copy_file(test::demoCompany().databaseFile(), database());
    auto db = Connection::open(database());
    db->execute(test::createMonthlyCommissionsStatement());
    db->execute(fmt::format("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES "
                            "('{}', 3, {}, '{}', 2.5, 1000)",
                            demo::kSeller, demo::kDocumentYear, demo::kFeedGroup));
  }
  static void TearDownTestSuite() { folder_.reset(); }
  static fs::path database() { return *folder_ / "statements.db"; }

  static std::unique_ptr<test::TempFolder> folder_;
};
std::unique_ptr<test::TempFolder> SystemStatements::folder_;

TEST_F(SystemStatements, EveryStatementRunsOnTheDemoCompanyAndFindsWhatItsCallerExpects) {
  auto db = Connection::open(database());
  ASSERT_GT(test::systemStatements().size(), 80u);
  for (const auto& s : test::systemStatements()) {
    // Statements that change the database are undone afterwards, so that
    // every statement sees the demo company as generated.
    sql::Transaction undone(*db);
    try {
      switch (s.expect) {
        case SystemStatement::Expect::Rows:
          EXPECT_GT(db->query(s.text)->recordCount(), 0) << s.name << "\n  " << s.text;
          break;
        case SystemStatement::Expect::NoRows:
          EXPECT_EQ(db->query(s.text)->recordCount(), 0) << s.name << "\n  " << s.text;
          break;
        case SystemStatement::Expect::Runs:
          EXPECT_GT(db->execute(s.text), 0) << s.name << " changed nothing\n  " << s.text;
          break;
      }
    } catch (const AutomationError& e) {
      ADD_FAILURE() << s.name << ": " << e.number() << " " << e.description() << "\n  " << s.text;
    }
  }
}

TEST_F(SystemStatements, SeedingScheduledPricesGivesEveryArticleOneRowOnce) {
  auto db = Connection::open(database());
  sql::Transaction undone(*db);
  auto count = [&](const std::string& sql) { return vb::CLng(db->query(sql)->value(std::size_t{0})); };
  auto articles = count("SELECT count(*) FROM ARTIGOS");
  auto before = count("SELECT count(*) FROM U_QOR_PRECOS");
  EXPECT_EQ(db->execute(test::seedScheduledPricesStatement()), articles - before);
  EXPECT_EQ(db->execute(test::seedScheduledPricesStatement()), 0);
  EXPECT_EQ(count("SELECT count(*) FROM U_QOR_PRECOS"), articles);
  // A seeded row keeps the article's retail prices as current and previous,
  // dated now.
  EXPECT_EQ(count(fmt::format("SELECT count(*) FROM U_QOR_PRECOS P JOIN ARTIGOS A ON A.CODIGO = P.ARTIGO WHERE "
                              "P.ARTIGO = '{}' AND P.PVP1SIVA = A.PVPSIVA AND P.HPVP3CIVA = A.PVP3_COM_IVA AND "
                              "P.DATAACTIVACAO = P.DATAACTUALIZACAO AND P.DATAACTIVACAO > '{}'",
                              demo::kOrdinaryArticle, demo::kDocumentsTo)),
            1);
}

TEST_F(SystemStatements, TheMonthlyCommissionTableIsMissingUntilCreatedThenNumbersItsRows) {
  test::TempFolder folder("erp-commissions");
  fs::copy_file(test::demoCompany().databaseFile(), folder / "fresh.db");
  auto db = Connection::open(folder / "fresh.db");
  // The commission window creates its table when the probe fails so.
  EXPECT_EQ(errorNumberOf([&] { db->query(test::monthlyCommissionsProbe()); }), sql::sqlerr::NoTable);
  db->execute(test::createMonthlyCommissionsStatement());
  EXPECT_EQ(db->query(test::monthlyCommissionsProbe())->recordCount(), 0);
  for (const char* seller : {"V01", "V02"})
    db->execute(fmt::format("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES "
                            "('{}', 3, 2026, 'RACAVE', 2.5, 10)",
                            seller));
  auto rows = db->query("SELECT Id FROM U_qor_ComMensais WHERE vendedor = 'v02'");
  ASSERT_EQ(rows->recordCount(), 1);
  EXPECT_EQ(vb::CLng(rows->value("Id")), 2);
}

// The monthly bases are the seller's quantities per group, with the credit
// notes' quantities counted against them; cancelled documents and orders do
// not count.
TEST_F(SystemStatements, CommissionBasesSubtractCreditNotes) {
  auto db = Connection::open(database());
  auto expected = [&](const char* types) {
    return vb::CDbl(db->query(fmt::format(
                            "SELECT coalesce(sum(CASE C.TPDOC WHEN 'NC' THEN -L.QUANT ELSE L.QUANT END), 0) FROM "
                            "DOCGCCAB C JOIN DOCGCLIN L ON C.TPDOC = L.TPDOCUM AND C.SERIE = L.SERIE AND C.NNUMDOC = "
                            "L.NNUMDOC AND C.ANO = L.ANO JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO JOIN U_QOR_COMGRUPOS R ON "
                            "R.VENDEDOR = L.VENDEDOR AND R.GRUPO = A.GRUPO WHERE C.ANO = {} AND substr(C.DATA, 6, 2) = "
                            "'01' AND C.NVIAS <> -1 AND C.TPDOC IN ({})",
                            demo::kDocumentYear, types))
                            ->value(std::size_t{0}));
  };
  double all = expected("'FT', 'NC'");
  ASSERT_LT(all, expected("'FT'")) << "January has no credit notes to count";

  auto bases = db->query(test::commissionBasesStatement(demo::kDocumentYear, 1));
  double total = 0;
  for (bases->moveFirst(); !bases->eof(); bases->moveNext()) total += vb::CDbl(bases->value("Peso"));
  EXPECT_NEAR(total, all, 1e-6);
}

// The discounts report asks the procedure for one client at a time and
// turns its group columns into lines of five.
TEST_F(SystemStatements, TheDiscountsProcedureAnswersEachDemoClientsGroups) {
  auto db = Connection::open(database());
  DatabaseModel::registerOn(*db);
  struct Case {
    std::string_view client;
    std::string_view seller;
    int groups;
  };
  for (auto c : {Case{demo::kFiveGroupsClient, "V02", 5}, Case{demo::kSixGroupsClient, "V02", 6},
                 Case{demo::kQuotedCodeClient, "V02", 0}, Case{demo::kZeroDiscountsClient, "V03", 0}}) {
    sql::Command command(db, DatabaseModel::kDescontosGrupoCliente, sql::Command::Kind::StoredProcedure);
    for (auto [name, size, value] : {std::tuple{"@CLIINICIAL", 15, c.client}, std::tuple{"@CLIFINAL", 15, c.client},
                                     std::tuple{"@VNDINICIAL", 6, c.seller}, std::tuple{"@VNDFINAL", 6, c.seller}})
      command.append(sql::Command::createParameter(name, sql::DataType::VarChar, size, Variant(value)));
    auto rs = command.execute();
    ASSERT_EQ(rs->recordCount(), 1) << c.client;
    int discounted = 0;
    for (std::size_t f = 0; f < rs->fieldCount(); ++f)
      if (rs->field(f).name != "CLCOD" && !rs->value(f).isNull()) ++discounted;
    EXPECT_EQ(discounted, c.groups) << c.client;
  }
}

// A report period is written as "yyyy-mm-dd" texts, which stand for that day
// at midnight, so a price that starts on the period's last day is in the
// period.
TEST_F(SystemStatements, APeriodEndingOnThePriceStartDateIncludesThePrice) {
  auto db = Connection::open(database());
  auto start = std::string(demo::kPastPriceStart);
  auto sql = fmt::format(
      "SELECT * FROM PRECOS WHERE (PRECOS.ARTIGO = '{}') AND ((PRECOS.DATINIC >= '{}') AND (PRECOS.DATINIC <= '{}'))",
      demo::kFixedPriceArticle, start, start);
  EXPECT_GT(db->query(sql)->recordCount(), 0);
}

}  // namespace
}  // namespace quill::erp
