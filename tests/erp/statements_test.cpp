// Every statement of the system runs on the demo company through the SQL
// layer, exactly as the system writes it: the schema holds every table and
// column they use, the dialect shim translates them, and the demo rows give
// the answers the statements' callers rely on.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "erp/CompanyDatabase.h"
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
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;
using erpapi::test::Backend;
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

// Each case on the embedded database and on the test server.
class SystemStatements : public ::testing::TestWithParam<Backend> {
 protected:
  // A copy of the demo company on which the commission window has created
  // its table, as it does the first time it is opened, and computed March.
  void SetUp() override {
    if (!company_.available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    db_ = openCompanyDatabase(company_.company());
    db_->execute(test::createMonthlyCommissionsStatement());
    db_->execute(
        fmt::format("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES "
                    "('{}', 3, {}, '{}', 2.5, 1000)",
                    demo::kSeller, demo::kDocumentYear, demo::kFeedGroup));
  }

  erpapi::test::DemoCompanyCopy company_{GetParam()};
  std::shared_ptr<Connection> db_;
};

TEST_P(SystemStatements, EveryStatementRunsOnTheDemoCompanyAndFindsWhatItsCallerExpects) {
  auto& db = db_;
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

TEST_P(SystemStatements, SeedingScheduledPricesGivesEveryArticleOneRowOnce) {
  auto& db = db_;
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

TEST_P(SystemStatements, TheMonthlyCommissionTableIsMissingUntilCreatedThenNumbersItsRows) {
  erpapi::test::DemoCompanyCopy fresh(GetParam());
  auto db = openCompanyDatabase(fresh.company());
  // The commission window creates its table when the probe fails so.
  EXPECT_EQ(errorNumberOf([&] { db->query(test::monthlyCommissionsProbe()); }), sql::sqlerr::NoTable);
  db->execute(test::createMonthlyCommissionsStatement());
  EXPECT_EQ(db->query(test::monthlyCommissionsProbe())->recordCount(), 0);
  for (const char* seller : {"V01", "V02"})
    db->execute(
        fmt::format("INSERT INTO U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES "
                    "('{}', 3, 2026, 'RACAVE', 2.5, 10)",
                    seller));
  auto rows = db->query("SELECT Id FROM U_qor_ComMensais WHERE vendedor = 'v02'");
  ASSERT_EQ(rows->recordCount(), 1);
  EXPECT_EQ(vb::CLng(rows->value("Id")), 2);
}

// The monthly bases are the seller's quantities per group, with the credit
// notes' quantities counted against them; cancelled documents and orders do
// not count.
TEST_P(SystemStatements, CommissionBasesSubtractCreditNotes) {
  auto& db = db_;
  auto expected = [&](const char* types) {
    return vb::CDbl(
        db->query(
              fmt::format("SELECT coalesce(sum(CASE C.TPDOC WHEN 'NC' THEN -L.QUANT ELSE L.QUANT END), 0) FROM "
                          "DOCGCCAB C JOIN DOCGCLIN L ON C.TPDOC = L.TPDOCUM AND C.SERIE = L.SERIE AND C.NNUMDOC = "
                          "L.NNUMDOC AND C.ANO = L.ANO JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO JOIN U_QOR_COMGRUPOS R ON "
                          "R.VENDEDOR = L.VENDEDOR AND R.GRUPO = A.GRUPO WHERE C.ANO = {} AND month(C.DATA) = 1 AND "
                          " C.NVIAS <> -1 AND C.TPDOC IN ({})",
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
TEST_P(SystemStatements, TheDiscountsProcedureAnswersEachDemoClientsGroups) {
  auto& db = db_;
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
TEST_P(SystemStatements, APeriodEndingOnThePriceStartDateIncludesThePrice) {
  auto& db = db_;
  auto start = std::string(demo::kPastPriceStart);
  auto sql = fmt::format(
      "SELECT * FROM PRECOS WHERE (PRECOS.ARTIGO = '{}') AND ((PRECOS.DATINIC >= '{}') AND (PRECOS.DATINIC <= '{}'))",
      demo::kFixedPriceArticle, start, start);
  EXPECT_GT(db->query(sql)->recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, SystemStatements, ::testing::Values(Backend::Embedded, Backend::Server),
                         sql::testing::backendName);

}  // namespace
}  // namespace quill::erp
