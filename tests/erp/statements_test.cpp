// Every statement of the system runs on the demo company: the schema holds
// every table and column they use, and the demo rows give the answers the
// statements' callers rely on.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <regex>

#include "erp/DemoCodes.h"
#include "erp/SqliteDatabase.h"
#include "erp/SqliteStatement.h"
#include "platform/automation/AutomationError.h"
#include "tests/erp/ErpTestSupport.h"
#include "tests/erp/SystemStatements.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;
using test::SystemStatement;

// Until the SQL layer's dialect shim runs these statements, the few T-SQL
// forms they use are rewritten here just enough for SQLite to run them.
std::string minimalTranslation(std::string sql) {
  using std::regex;
  const auto icase = regex::icase;
  auto replace = [&](const char* pattern, const char* with) { sql = std::regex_replace(sql, regex(pattern, icase), with); };
  replace(R"(^(\s*)INSERT\s+(?!INTO\b)(\w+))", "$1INSERT INTO $2");
  replace(R"(^(\s*)DELETE\s+(?!FROM\b)(\w+))", "$1DELETE FROM $2");
  replace(R"(GETDATE\s*\(\s*\))", "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
  replace(R"(CONVERT\s*\(\s*DATETIME\s*,\s*'(\d{4}-\d{2}-\d{2})'\s*,\s*102\s*\))", "'$1 00:00:00'");
  replace(R"(\bmonth\s*\(([^()]*)\))", "CAST(strftime('%m', $1) AS INTEGER)");
  replace(R"(\[dbo\]\.)", "");
  replace(R"(\[nvarchar\]\(\d+\))", "TEXT");
  replace(R"(COLLATE\s+Latin1_General_CI_AS)", "COLLATE NOCASE");
  replace(R"(\[smallint\])", "INTEGER");
  replace(R"(\[money\])", "REAL");
  replace(R"(\[int\]\s+IDENTITY\s*\(\s*1\s*,\s*1\s*\))", "INTEGER");
  replace(R"(PRIMARY\s+KEY\s+CLUSTERED)", "PRIMARY KEY");
  replace(R"(\)\s*ON\s+\[PRIMARY\]\s*$)", ")");
  return sql;
}

// Rows a statement finds, or rows it changed.
std::int64_t run(SqliteDatabase& db, const std::string& statement) {
  auto prepared = db.prepare(minimalTranslation(statement));
  if (prepared.columnCount() == 0) {
    prepared.run();
    return db.changes();
  }
  std::int64_t rows = 0;
  while (prepared.step()) ++rows;
  return rows;
}

class SystemStatements : public ::testing::Test {
 protected:
  // A copy of the demo company on which the commission window has created
  // its table, as it does the first time it is opened, and computed March.
  static void SetUpTestSuite() {
    folder_ = std::make_unique<test::TempFolder>("erp-statements");
    fs::copy_file(test::demoCompany().databaseFile(), database());
    SqliteDatabase db(database(), SqliteDatabase::Mode::ReadWrite);
    run(db, test::createMonthlyCommissionsStatement());
    db.exec(fmt::format("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES "
                        "('{}', 3, {}, '{}', 2.5, 1000)",
                        demo::kSeller, demo::kDocumentYear, demo::kFeedGroup));
  }
  static void TearDownTestSuite() { folder_.reset(); }
  static fs::path database() { return *folder_ / "statements.db"; }

  static std::unique_ptr<test::TempFolder> folder_;
};
std::unique_ptr<test::TempFolder> SystemStatements::folder_;

TEST_F(SystemStatements, EveryStatementRunsOnTheDemoCompanyAndFindsWhatItsCallerExpects) {
  SqliteDatabase db(database(), SqliteDatabase::Mode::ReadWrite);
  ASSERT_GT(test::systemStatements().size(), 80u);
  for (const auto& s : test::systemStatements()) {
    // Statements that change the database are undone afterwards, so that
    // every statement sees the demo company as generated.
    db.exec("BEGIN");
    try {
      auto rows = run(db, s.text);
      switch (s.expect) {
        case SystemStatement::Expect::Rows: EXPECT_GT(rows, 0) << s.name << "\n  " << s.text; break;
        case SystemStatement::Expect::NoRows: EXPECT_EQ(rows, 0) << s.name << "\n  " << s.text; break;
        case SystemStatement::Expect::Runs: EXPECT_GT(rows, 0) << s.name << " changed nothing\n  " << s.text; break;
      }
    } catch (const AutomationError& e) {
      ADD_FAILURE() << s.name << ": " << e.description();
    }
    db.exec("ROLLBACK");
  }
}

TEST_F(SystemStatements, SeedingScheduledPricesGivesEveryArticleOneRowOnce) {
  SqliteDatabase db(database(), SqliteDatabase::Mode::ReadWrite);
  db.exec("BEGIN");
  auto articles = db.scalarInt("SELECT count(*) FROM ARTIGOS");
  auto before = db.scalarInt("SELECT count(*) FROM U_QOR_PRECOS");
  EXPECT_EQ(run(db, test::seedScheduledPricesStatement()), articles - before);
  EXPECT_EQ(run(db, test::seedScheduledPricesStatement()), 0);
  EXPECT_EQ(db.scalarInt("SELECT count(*) FROM U_QOR_PRECOS"), articles);
  // A seeded row keeps the article's retail prices as current and previous.
  EXPECT_EQ(db.scalarInt(fmt::format(
                "SELECT count(*) FROM U_QOR_PRECOS P JOIN ARTIGOS A ON A.CODIGO = P.ARTIGO WHERE P.ARTIGO = '{}' AND "
                "P.PVP1SIVA = A.PVPSIVA AND P.HPVP3CIVA = A.PVP3_COM_IVA AND P.DATAACTIVACAO = P.DATAACTUALIZACAO",
                demo::kOrdinaryArticle)),
            1);
  db.exec("ROLLBACK");
}

TEST_F(SystemStatements, TheMonthlyCommissionTableNumbersItsRowsAndIsMissingUntilCreated) {
  test::TempFolder folder("erp-commissions");
  fs::copy_file(test::demoCompany().databaseFile(), folder / "fresh.db");
  SqliteDatabase db(folder / "fresh.db", SqliteDatabase::Mode::ReadWrite);
  EXPECT_THROW(run(db, test::monthlyCommissionsProbe()), AutomationError);
  run(db, test::createMonthlyCommissionsStatement());
  EXPECT_EQ(run(db, test::monthlyCommissionsProbe()), 0);
  db.exec("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES ('V01', 3, 2026, "
          "'RACAVE', 2.5, 1000)");
  db.exec("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES ('V02', 3, 2026, "
          "'RACAVE', 2.5, -40)");
  EXPECT_EQ(db.scalarInt("SELECT max(Id) FROM U_qor_ComMensais"), 2);
  EXPECT_EQ(db.scalarInt("SELECT count(*) FROM U_qor_ComMensais WHERE vendedor = 'v01'"), 1);
}

// The monthly bases are the seller's quantities per group, with the credit
// notes' quantities counted against them; cancelled documents and orders do
// not count.
TEST_F(SystemStatements, CommissionBasesSubtractCreditNotes) {
  SqliteDatabase db(database(), SqliteDatabase::Mode::ReadOnly);
  auto expected = [&](const char* only) {
    return db.prepare(fmt::format(
        "SELECT coalesce(sum(CASE C.TPDOC WHEN 'NC' THEN -L.QUANT ELSE L.QUANT END), 0) FROM DOCGCCAB C JOIN "
        "DOCGCLIN L ON C.TPDOC = L.TPDOCUM AND C.SERIE = L.SERIE AND C.NNUMDOC = L.NNUMDOC AND C.ANO = L.ANO JOIN "
        "ARTIGOS A ON A.CODIGO = L.ARTIGO JOIN U_QOR_COMGRUPOS R ON R.VENDEDOR = L.VENDEDOR AND R.GRUPO = A.GRUPO "
        "WHERE C.ANO = {} AND substr(C.DATA, 6, 2) = '01' AND C.NVIAS <> -1 AND C.TPDOC IN ({})",
        demo::kDocumentYear, only));
  };
  auto all = expected("'FT', 'NC'");
  auto invoices = expected("'FT'");
  ASSERT_TRUE(all.step());
  ASSERT_TRUE(invoices.step());
  ASSERT_LT(all.real(0), invoices.real(0)) << "January has no credit notes to count";

  auto bases = db.prepare(minimalTranslation(test::commissionBasesStatement(demo::kDocumentYear, 1)));
  double total = 0;
  while (bases.step()) total += bases.real(0);
  EXPECT_DOUBLE_EQ(total, all.real(0));
}

}  // namespace
}  // namespace quill::erp
