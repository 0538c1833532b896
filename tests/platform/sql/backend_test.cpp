// The data-access behaviour the system relies on, on the embedded database
// and on the database server alike: one body per behaviour, run on both.

#include <gtest/gtest.h>

#include "platform/sql/Recordset.h"
#include "platform/sql/RecordsetWriter.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill::sql {
namespace {

using testing::Backend;
using testing::BackendTest;
using testing::errorNumberOf;

// The extension's tables as the original server's scripts write them.
const char* kTables = R"(
CREATE TABLE [dbo].[U_QOR_COMGRUPOS](
  [VENDEDOR] [nvarchar](10) COLLATE Latin1_General_CI_AS NOT NULL,
  [GRUPO] [nvarchar](10) COLLATE Latin1_General_CI_AS NOT NULL,
  [COMISSAO] [money] NULL,
  CONSTRAINT [PK_U_QOR_COMGRUPOS] PRIMARY KEY CLUSTERED ([VENDEDOR] ASC, [GRUPO] ASC)
) ON [PRIMARY];
CREATE TABLE [dbo].[U_qor_ComMensais](
  [Id] [int] IDENTITY(1,1) NOT NULL,
  [Vendedor] [nvarchar](10) COLLATE Latin1_General_CI_AS NULL,
  [Mes] [int] NULL,
  [Ano] [int] NULL,
  [Data] [datetime] NULL,
  [Comissao] [money] NULL,
  CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED ([Id] ASC)
) ON [PRIMARY];
INSERT U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('V1', 'RAC', 2.5);
INSERT U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('V1', 'CER', 1);
INSERT U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('V2', 'RAC', 3)
)";

class Backends : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    if (db) db->execute(kTables);
  }
};

TEST_P(Backends, TheSystemsStatementFormsAnswerTheSameRows) {
  db->execute(
      "INSERT U_qor_ComMensais (Vendedor, Mes, Ano, Data, Comissao) VALUES ('V1', 3, 2026, "
      "CONVERT(DATETIME, '2026.03.15', 102), 12.5)");
  db->execute(
      "INSERT INTO [dbo].[U_qor_ComMensais] (Vendedor, Mes, Ano, Data, Comissao) VALUES ('V2', 4, 2026, "
      "GETDATE (), 7)");
  struct Case {
    const char* sql;
    const char* expected;  // as text, so that 0 and 0.0 agree
  } cases[] = {
      {"SELECT COUNT(*) AS N FROM U_qor_ComMensais WHERE month(Data) = 3", "1"},
      {"SELECT Vendedor FROM U_qor_ComMensais WHERE Data >= '2026-03-15' AND Data < '2026-03-16'", "V1"},
      {"SELECT Vendedor FROM U_qor_ComMensais WHERE Data = CONVERT(DATETIME, '2026-03-15', 102)", "V1"},
      {"SELECT SUM(Comissao) AS S FROM [dbo].[U_qor_ComMensais]", "19,5"},
      {"SELECT ISNULL(MAX(COMISSAO), 0) AS M FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'NOBODY'", "0"},
      {"SELECT TOP 1 GRUPO FROM U_QOR_COMGRUPOS ORDER BY COMISSAO DESC", "RAC"},
      {"SELECT COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'v1' AND GRUPO = 'rac'", "2,5"},
      {"SELECT DATEDIFF(day, CONVERT(DATETIME, '2026-03-01', 102), Data) AS D FROM U_qor_ComMensais WHERE Mes = 3",
       "14"},
      {"SELECT year(DATEADD(day, 20, Data)) * 100 + month(DATEADD(day, 20, Data)) AS YM FROM U_qor_ComMensais "
       "WHERE Mes = 3",
       "202604"},
  };
  for (const auto& c : cases) {
    auto rs = db->query(c.sql);
    ASSERT_EQ(rs->recordCount(), 1) << c.sql;
    EXPECT_EQ(vb::CStr(rs->value(std::size_t{0})), c.expected) << c.sql;
  }
  db->execute("Delete U_qor_ComMensais where Vendedor = 'v2'");
  EXPECT_EQ(db->query("SELECT * FROM U_qor_ComMensais")->recordCount(), 1);
}

TEST_P(Backends, DatesAreStoredAsDatesAndReadBackAsDates) {
  db->execute("INSERT U_qor_ComMensais (Vendedor, Data) VALUES ('V1', '2026-03-15 08:30:00')");
  auto rs = db->query("SELECT Data, GETDATE() AS Agora FROM U_qor_ComMensais");
  ASSERT_EQ(rs->value("Data").type(), VarType::Date);
  EXPECT_EQ(vb::toIsoText(rs->value("Data").dateValue()), "2026-03-15 08:30:00");
  EXPECT_EQ(rs->value("Agora").type(), VarType::Date);
  // A text that is no date is refused by the server's real date column; the
  // embedded file keeps it as the text it is.
  if (onServer())
    EXPECT_NE(errorNumberOf([&] { db->execute("INSERT U_qor_ComMensais (Data) VALUES ('31-02-2026')"); }), 0);
}

TEST_P(Backends, FailuresCarryTheNumbersTheSystemTestsFor) {
  struct Case {
    const char* sql;
    std::int32_t number;
  } cases[] = {
      {"select Vendedor from  U_qor_Nope", sqlerr::NoTable},
      {"SELECT * FROM [dbo].[NOPE]", sqlerr::NoTable},
      {"SELEC * FROM U_QOR_COMGRUPOS", sqlerr::ErrorsInCommand},
      {"SELECT NAOEXISTE FROM U_QOR_COMGRUPOS", sqlerr::ErrorsInCommand},
      {"INSERT U_QOR_COMGRUPOS (VENDEDOR, GRUPO) VALUES ('v1', 'rac')", sqlerr::IntegrityViolation},
  };
  for (const auto& c : cases) {
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { db->query(c.sql); }, &description), c.number) << c.sql;
    EXPECT_FALSE(description.empty()) << c.sql;
  }
  // The connection is still good after each failure.
  EXPECT_EQ(db->query("SELECT * FROM U_QOR_COMGRUPOS")->recordCount(), 3);
}

TEST_P(Backends, CodesWithQuotesAreDataAndStatementsDifferingOnlyInCodesAnswerForTheirOwn) {
  const std::string code = "O'B; DROP TABLE U_QOR_COMGRUPOS --";
  db->execute("INSERT U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('" + sqlQuote(code.substr(0, 10)) +
              "', 'RAC', 9)");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(db->query("SELECT COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'V1' AND GRUPO = 'RAC'")
                  ->value(std::size_t{0}),
              Variant(2.5));
    EXPECT_EQ(db->query("SELECT COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'V2' AND GRUPO = 'RAC'")
                  ->value(std::size_t{0}),
              Variant(3.0));
    EXPECT_EQ(db->query("SELECT COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = '" + sqlQuote(code.substr(0, 10)) + "'")
                  ->value(std::size_t{0}),
              Variant(9.0));
  }
  if (onServer()) {
    // One statement shape is prepared once on the server.
    auto prepared = db->query(
        "SELECT COUNT(*) FROM pg_prepared_statements WHERE statement LIKE '%FROM U_QOR_COMGRUPOS WHERE VENDEDOR = $1 "
        "AND GRUPO = $2%'");
    EXPECT_EQ(prepared->value(std::size_t{0}), Variant(std::int32_t{1}));
  }
}

TEST_P(Backends, SavingARecordsetWritesItsChangesByTableAndKeyAndNumbersNewRows) {
  auto rs = db->query("SELECT VENDEDOR, GRUPO, COMISSAO FROM U_QOR_COMGRUPOS ORDER BY VENDEDOR, GRUPO");
  ASSERT_EQ(rs->recordCount(), 3);
  rs->setValue("COMISSAO", Variant(4.0));  // V1 CER
  rs->moveNext();
  rs->deleteCurrent();  // V1 RAC
  rs->addNew();
  rs->setValue("VENDEDOR", Variant("V3"));
  rs->setValue("GRUPO", Variant("CER"));
  rs->setValue("COMISSAO", Variant(1.25));
  rs->update();
  RecordsetWriter(*db).saveAll(*rs);
  auto after = db->query("SELECT VENDEDOR, GRUPO, COMISSAO FROM U_QOR_COMGRUPOS ORDER BY VENDEDOR, GRUPO");
  std::vector<std::string> rows;
  for (after->moveFirst(); !after->eof(); after->moveNext())
    rows.push_back(after->value("VENDEDOR").stringValue() + " " + after->value("GRUPO").stringValue() + " " +
                   std::to_string(vb::CDbl(after->value("COMISSAO"))));
  EXPECT_EQ(rows, (std::vector<std::string>{"V1 CER 4.000000", "V2 RAC 3.000000", "V3 CER 1.250000"}));

  auto numbered = db->query("SELECT Id, Vendedor FROM U_qor_ComMensais WHERE 1 = 0");
  for (const char* seller : {"V1", "V2"}) {
    numbered->addNew();
    numbered->setValue("Vendedor", Variant(seller));
    numbered->update();
  }
  RecordsetWriter(*db).saveAll(*numbered);
  numbered->moveFirst();
  const Variant first = numbered->value("Id");
  numbered->moveNext();
  EXPECT_GT(vb::CDbl(numbered->value("Id")), vb::CDbl(first));
  EXPECT_EQ(db->query("SELECT Vendedor FROM U_qor_ComMensais WHERE Id = " + std::to_string(vb::CLng(first)))
                ->value(std::size_t{0}),
            Variant("V1"));
}

TEST_P(Backends, ASaveThatFailsOnOneRowWritesNothing) {
  auto rs = db->query("SELECT VENDEDOR, GRUPO, COMISSAO FROM U_QOR_COMGRUPOS ORDER BY VENDEDOR, GRUPO");
  rs->setValue("COMISSAO", Variant(99.0));
  rs->update();
  rs->addNew();
  rs->setValue("VENDEDOR", Variant("v2"));  // V2 RAC exists: a duplicate key without regard to case
  rs->setValue("GRUPO", Variant("rac"));
  rs->update();
  EXPECT_EQ(errorNumberOf([&] { RecordsetWriter(*db).saveAll(*rs); }), sqlerr::IntegrityViolation);
  EXPECT_EQ(db->query("SELECT COUNT(*) FROM U_QOR_COMGRUPOS WHERE COMISSAO = 99")->value(std::size_t{0}),
            Variant(std::int32_t{0}));
  // The connection goes on working after the rolled-back save.
  db->execute("UPDATE U_QOR_COMGRUPOS SET COMISSAO = 5 WHERE VENDEDOR = 'V2'");
  EXPECT_EQ(db->query("SELECT COMISSAO FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'V2'")->value(std::size_t{0}),
            Variant(5.0));
}

TEST_P(Backends, NestedTransactionsAreSavepoints) {
  {
    Transaction outer(*db);
    db->execute("Delete U_QOR_COMGRUPOS where VENDEDOR = 'V2'");
    {
      Transaction inner(*db);
      db->execute("Delete U_QOR_COMGRUPOS where VENDEDOR = 'V1'");
    }  // rolled back: V1 stays
    outer.commit();
  }
  EXPECT_EQ(db->query("SELECT COUNT(*) FROM U_QOR_COMGRUPOS")->value(std::size_t{0}), Variant(std::int32_t{2}));
  {
    Transaction outer(*db);
    db->execute("Delete U_QOR_COMGRUPOS");
  }
  EXPECT_EQ(db->query("SELECT COUNT(*) FROM U_QOR_COMGRUPOS")->value(std::size_t{0}), Variant(std::int32_t{2}));
}

TEST_P(Backends, AWriterThatMeetsAnotherUsersLockFailsClearlyAndChangesNothing) {
  auto other = company.another();
  other->setBusyTimeout(std::chrono::milliseconds(100));
  Transaction holding(*db);
  db->execute("UPDATE U_QOR_COMGRUPOS SET COMISSAO = 8 WHERE VENDEDOR = 'V1'");
  std::string description;
  EXPECT_EQ(errorNumberOf([&] { other->execute("UPDATE U_QOR_COMGRUPOS SET COMISSAO = 9 WHERE VENDEDOR = 'V1'"); },
                          &description),
            sqlerr::Failed);
  EXPECT_NE(description.find("lock"), std::string::npos) << description;
  holding.commit();
  // Once the lock is gone the other user's write goes through.
  EXPECT_EQ(other->execute("UPDATE U_QOR_COMGRUPOS SET COMISSAO = 9 WHERE VENDEDOR = 'V1'"), 2);
}

INSTANTIATE_TEST_SUITE_P(, Backends, ::testing::Values(Backend::Embedded, Backend::Server), testing::backendName);

// ---- The server only: reaching it ----

class ServerReach : public ::testing::Test {
 protected:
  void SetUp() override {
    auto found = testing::testServer();
    if (!found) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    server = *found;
  }
  ServerAddress server;
};

TEST_F(ServerReach, ARefusedLoginAServerThatIsDownAndAMissingDatabaseSayWhich) {
  ServerAddress wrongPassword = server, down = server, missing = server;
  wrongPassword.password = "wrong";
  down.port = 1;  // nothing listens there
  missing.database = "quill_no_such_company";
  struct Case {
    const ServerAddress* address;
    const char* says;
  } cases[] = {
      {&wrongPassword, "refused the login"},
      {&down, "cannot be reached"},
      {&missing, "does not exist"},
  };
  for (const auto& c : cases) {
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { Connection::open(*c.address); }, &description), sqlerr::Failed);
    EXPECT_NE(description.find(c.says), std::string::npos) << description;
  }
}

TEST_F(ServerReach, ALostConnectionFailsTheCallAndTheNextCallConnectsAgain) {
  testing::BackendDatabase company(Backend::Server);
  auto db = company.connection();
  db->execute("CREATE TABLE T (K INTEGER PRIMARY KEY)");
  const auto pid = db->query("SELECT pg_backend_pid()")->value(std::size_t{0});
  company.admin().execute("SELECT pg_terminate_backend(" + std::to_string(vb::CLng(pid)) + ")");
  std::string description;
  EXPECT_NE(errorNumberOf([&] { db->execute("INSERT T (K) VALUES (1)"); }, &description), 0);
  EXPECT_NE(description.find("lost"), std::string::npos) << description;
  db->execute("INSERT T (K) VALUES (2)");
  EXPECT_EQ(db->query("SELECT K FROM T")->value(std::size_t{0}), Variant(std::int32_t{2}));
}

TEST(ServerAddressTest, ADataSourceNamesAHostAPortOrADataSource) {
  struct Case {
    const char* text;
    const char* host;
    int port;
    const char* dsn;
  } cases[] = {
      {"db.example", "db.example", 0, ""},
      {"10.0.0.5:5433", "10.0.0.5", 5433, ""},
      {"SERVIDOR,1433", "SERVIDOR", 1433, ""},
      {"dsn:Empresa", "", 0, "Empresa"},
  };
  for (const auto& c : cases) {
    auto address = ServerAddress::fromDataSource(c.text);
    ASSERT_TRUE(address) << c.text;
    EXPECT_EQ(address->host, c.host) << c.text;
    EXPECT_EQ(address->port, c.port) << c.text;
    EXPECT_EQ(address->dataSourceName, c.dsn) << c.text;
  }
  for (const char* bad : {"", "host:", "host:99999", ":5432", "host:port"})
    EXPECT_FALSE(ServerAddress::fromDataSource(bad)) << bad;
  ServerAddress braced;
  braced.host = "h";
  braced.password = "a;b}c";
  EXPECT_NE(braced.odbcConnectionString().find("Pwd={a;b}}c};"), std::string::npos) << braced.odbcConnectionString();
}

}  // namespace
}  // namespace quill::sql
