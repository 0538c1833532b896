#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>

#include "erp/CompanyDatabase.h"
#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/Installation.h"
#include "erp/ServerCompany.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/Database.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/erp/ErpTestSupport.h"
#include "tests/platform/sql/TestServer.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;

TEST(DemoCompany, TheSameSeedGivesTheSameRowsAndAnotherSeedOtherRows) {
  test::TempFolder folder("erp-determinism");
  auto first = DemoCompany::create(folder / "a", DemoOptions{});
  auto second = DemoCompany::create(folder / "b", DemoOptions{});
  DemoOptions other;
  other.seed = 7;
  auto third = DemoCompany::create(folder / "c", other);

  auto digest = test::databaseDigest(first.databaseFile());
  EXPECT_EQ(test::databaseDigest(second.databaseFile()), digest);
  EXPECT_EQ(test::databaseDigest(test::demoCompany().databaseFile()), digest);
  EXPECT_NE(test::databaseDigest(third.databaseFile()), digest);
}

TEST(DemoCompany, EnsureReusesAnUpToDateCompanyAndRemakesOneWithOtherOptions) {
  test::TempFolder folder("erp-ensure");
  bool reused = true;
  auto company = DemoCompany::ensure(folder.path(), DemoOptions{}, &reused);
  EXPECT_FALSE(reused);
  auto written = fs::last_write_time(company.databaseFile());

  auto again = DemoCompany::ensure(folder.path(), DemoOptions{}, &reused);
  EXPECT_TRUE(reused);
  EXPECT_EQ(again, company);
  EXPECT_EQ(fs::last_write_time(company.databaseFile()), written);

  DemoOptions reseeded;
  reseeded.seed = 99;
  DemoCompany::ensure(folder.path(), reseeded, &reused);
  EXPECT_FALSE(reused);
  auto info = DemoCompany::readInfo(company.databaseFile());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->seed, 99u);
  EXPECT_EQ(info->version, DemoCompany::kGeneratorVersion);

  // A demo user whose password was changed gets the demo password back.
  Installation::open(folder.path()).addUser(demo::kLogin, "x", "changed");
  DemoCompany::ensure(folder.path(), reseeded, &reused);
  EXPECT_TRUE(reused);
  EXPECT_TRUE(Installation::open(folder.path()).checkLogin(demo::kLogin, demo::kPassword));

  // A damaged company file is made again rather than reused.
  fs::resize_file(company.databaseFile(), 100);
  DemoCompany::ensure(folder.path(), reseeded, &reused);
  EXPECT_FALSE(reused);
  EXPECT_TRUE(DemoCompany::readInfo(company.databaseFile()));
}

// A generation that fails half-way must never leave a half-written company:
// the earlier company stays as it was, and no working file is left behind.
TEST(DemoCompany, AnInterruptedGenerationLeavesTheEarlierCompanyAsItWas) {
  test::TempFolder folder("erp-interrupted");
  auto company = DemoCompany::create(folder.path(), DemoOptions{});
  auto before = test::databaseDigest(company.databaseFile());

  for (std::string_view failAt : {"articles and prices", "sales documents", "indexes", "register"}) {
    DemoOptions failing;
    failing.seed = 1234;
    failing.progress = [&](std::string_view step) {
      if (step == failAt) throw std::runtime_error("interrupted");
    };
    EXPECT_THROW(DemoCompany::create(folder.path(), failing), std::runtime_error) << failAt;
    EXPECT_EQ(test::databaseDigest(company.databaseFile()), before) << failAt;
    for (const auto& entry : fs::directory_iterator(company.dataFolder))
      EXPECT_EQ(entry.path().filename().string().find("building"), std::string::npos) << entry.path();
  }
}

TEST(DemoCompany, AnInterruptedFirstGenerationRegistersNothing) {
  test::TempFolder folder("erp-first-interrupted");
  DemoOptions failing;
  failing.progress = [](std::string_view step) {
    if (step == "sales documents") throw std::runtime_error("interrupted");
  };
  EXPECT_THROW(DemoCompany::create(folder.path(), failing), std::runtime_error);
  EXPECT_FALSE(Installation::open(folder.path()).findCompany(demo::kCompanyCode));
  EXPECT_TRUE(fs::is_empty(Installation::open(folder.path()).dataFolder()));
}

TEST(DemoCompany, AnotherCompanyCodeGetsADatabaseOfItsOwn) {
  test::TempFolder folder("erp-two-companies");
  DemoOptions second;
  second.companyCode = "Loja2";
  auto demoCompany = DemoCompany::create(folder.path(), DemoOptions{});
  auto other = DemoCompany::create(folder.path(), second);
  EXPECT_EQ(other.databaseName, "QUILLLOJA2");
  EXPECT_NE(other.databaseFile(), demoCompany.databaseFile());
  auto installation = Installation::open(folder.path());
  EXPECT_EQ(installation.companies().size(), 2u);
  EXPECT_EQ(installation.findCompany("LOJA2")->databaseName, "QUILLLOJA2");
}

TEST(DemoCompany, TheDemoSizeHasItsAdvertisedCounts) {
  auto info = DemoCompany::readInfo(test::demoCompany().databaseFile());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->size, DemoSize::Demo);
  auto db = test::demoCompany().databaseFile();
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM ARTIGOS"), info->articles);
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM DOCGCLIN"), info->documentLines);
  EXPECT_GE(info->articles, 100);
  EXPECT_LE(info->articles, 300);
  EXPECT_GE(info->clients, 40);
  EXPECT_GE(test::scalar(db, "SELECT count(DISTINCT strftime('%m', DATA)) FROM DOCGCCAB"), 3);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM DOCGCCAB WHERE TPDOC = 'NC'"), 5);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM DOCGCCAB WHERE EMPREP = -1"), 1);
  // The clients' accounts have settled, unsettled and partly paid items, and
  // clients with and without a tolerance.
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM CCCLIENTES WHERE VALPEND = 0"), 10);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM CCCLIENTES WHERE VALPEND = VALOR AND VALOR > 0"), 10);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM CCCLIENTES WHERE VALPEND > 0 AND VALPEND < VALOR"), 2);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM CCCLIENTES WHERE VALOR < 0"), 2);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM U_CLIENTES WHERE DIASTOLERANCIA > 0"), 5);
  EXPECT_GT(test::scalar(db, "SELECT count(*) FROM U_CLIENTES WHERE coalesce(DIASTOLERANCIA, 0) = 0"), 5);
}

// Every code that one table takes from another exists there, and the
// documents hang together: lines belong to headers, numbers run from 1 in each
// series and year, the header classification is its type's, the totals
// are the lines'.
TEST(DemoCompany, TheGeneratedRowsAreConsistent) {
  struct Check {
    const char* what;
    const char* sql;  // counts offending rows
  };
  const std::vector<Check> checks = {
      {"client seller", "SELECT count(*) FROM CLIENTES WHERE VENDEDOR NOT IN (SELECT CODIGO FROM VENDEDOR)"},
      {"client zone", "SELECT count(*) FROM CLIENTES WHERE ZONA NOT IN (SELECT ZONA FROM ZONAGEO)"},
      {"client portfolio", "SELECT count(*) FROM CLIENTES WHERE CARTEIRA NOT IN (SELECT CODIGO FROM CARTEIRA)"},
      {"client dispatch", "SELECT count(*) FROM CLIENTES WHERE EXPEDICAO NOT IN (SELECT CODIGO FROM EXPEDIR)"},
      {"client currency", "SELECT count(*) FROM CLIENTES WHERE MOEDA NOT IN (SELECT CODIGO FROM MOEDAS)"},
      {"article group", "SELECT count(*) FROM ARTIGOS WHERE GRUPO NOT IN (SELECT COD FROM GRUPOS)"},
      {"article units",
       "SELECT count(*) FROM ARTIGOS WHERE UNVND NOT IN (SELECT CODIGO FROM UNIDADES) OR (UNEMB <> '' AND UNEMB NOT "
       "IN (SELECT CODIGO FROM UNIDADES)) OR (UNTRANS <> '' AND UNTRANS NOT IN (SELECT CODIGO FROM UNIDADES))"},
      {"price article", "SELECT count(*) FROM PRECOS WHERE ARTIGO NOT IN (SELECT CODIGO FROM ARTIGOS)"},
      {"price currency", "SELECT count(*) FROM PRECOS WHERE MOEDA NOT IN (SELECT CODIGO FROM MOEDAS)"},
      {"prices only for fixed-price articles",
       "SELECT count(*) FROM PRECOS WHERE ARTIGO NOT IN (SELECT CODIGO FROM U_ARTIGOS WHERE PRECOFIXO = -1)"},
      {"article user fields", "SELECT count(*) FROM U_ARTIGOS WHERE CODIGO NOT IN (SELECT CODIGO FROM ARTIGOS)"},
      {"client user fields", "SELECT count(*) FROM U_CLIENTES WHERE CODIGO NOT IN (SELECT CODIGO FROM CLIENTES)"},
      {"dispatch user fields", "SELECT count(*) FROM U_EXPEDIR WHERE CODIGO NOT IN (SELECT CODIGO FROM EXPEDIR)"},
      {"scheduled price article", "SELECT count(*) FROM U_QOR_PRECOS WHERE ARTIGO NOT IN (SELECT CODIGO FROM ARTIGOS)"},
      {"discount client",
       "SELECT count(*) FROM U_QOR_GRUPOSDESCONTO WHERE CLIENTE NOT IN (SELECT CODIGO FROM CLIENTES) OR GRUPO NOT IN "
       "(SELECT COD FROM GRUPOS)"},
      {"commission seller and group",
       "SELECT count(*) FROM U_QOR_COMGRUPOS WHERE VENDEDOR NOT IN (SELECT CODIGO FROM VENDEDOR) OR GRUPO NOT IN "
       "(SELECT COD FROM GRUPOS)"},
      {"commission codes fit the monthly table",
       "SELECT count(*) FROM U_QOR_COMGRUPOS WHERE length(VENDEDOR) > 6 OR length(GRUPO) > 6"},
      {"commission rates 0 to 100", "SELECT count(*) FROM U_QOR_COMGRUPOS WHERE COMISSAO < 0 OR COMISSAO > 100"},
      {"document client", "SELECT count(*) FROM DOCGCCAB WHERE TERCEIRO NOT IN (SELECT CODIGO FROM CLIENTES)"},
      {"document series",
       "SELECT count(*) FROM DOCGCCAB D WHERE NOT EXISTS (SELECT 1 FROM SERIES S WHERE S.TPDOC = D.TPDOC AND "
       "S.SERIE = D.SERIE)"},
      {"document classification is its type's",
       "SELECT count(*) FROM DOCGCCAB D JOIN TIPOSDOC T ON T.CODIGO = D.TPDOC WHERE D.AREAG <> T.AREAG OR D.TPTERC "
       "<> T.TPTERC OR D.TPOPER <> T.TPOPER OR D.NATCONTA <> T.NATCONTA OR D.TIPIFSTK <> T.TIPIFSTK OR D.SINALCT <> "
       "T.SINALCT"},
      {"document year", "SELECT count(*) FROM DOCGCCAB WHERE ANO <> CAST(strftime('%Y', DATA) AS INTEGER)"},
      {"line without document",
       "SELECT count(*) FROM DOCGCLIN L WHERE NOT EXISTS (SELECT 1 FROM DOCGCCAB C WHERE C.TPDOC = L.TPDOCUM AND "
       "C.SERIE = L.SERIE AND C.NNUMDOC = L.NNUMDOC AND C.ANO = L.ANO)"},
      {"document without lines",
       "SELECT count(*) FROM DOCGCCAB C WHERE NOT EXISTS (SELECT 1 FROM DOCGCLIN L WHERE C.TPDOC = L.TPDOCUM AND "
       "C.SERIE = L.SERIE AND C.NNUMDOC = L.NNUMDOC AND C.ANO = L.ANO)"},
      {"line article",
       "SELECT count(*) FROM DOCGCLIN WHERE ARTIGO <> '' AND ARTIGO NOT IN (SELECT CODIGO FROM ARTIGOS)"},
      {"line seller", "SELECT count(*) FROM DOCGCLIN WHERE VENDEDOR NOT IN (SELECT CODIGO FROM VENDEDOR)"},
      {"line numbers run from 1",
       "SELECT count(*) FROM (SELECT TPDOCUM, SERIE, NNUMDOC, ANO FROM DOCGCLIN GROUP BY 1, 2, 3, 4 HAVING "
       "min(NUMLIN) <> 1 OR max(NUMLIN) <> count(*))"},
      {"numbers follow dates in a series and year",
       "SELECT count(*) FROM DOCGCCAB A JOIN DOCGCCAB B ON A.TPDOC = B.TPDOC AND A.SERIE = B.SERIE AND A.ANO = B.ANO "
       "AND B.NNUMDOC = A.NNUMDOC + 1 WHERE B.DATA < A.DATA"},
      {"document numbers run from 1",
       "SELECT count(*) FROM (SELECT TPDOC, SERIE, ANO FROM DOCGCCAB GROUP BY 1, 2, 3 HAVING min(NNUMDOC) <> 1 OR "
       "max(NNUMDOC) <> count(*))"},
      {"totals are the lines'",
       "SELECT count(*) FROM DOCGCCAB C WHERE abs(C.TOTMERC - C.TOTDESC - (SELECT sum(TOTLIN) FROM DOCGCLIN L WHERE "
       "C.TPDOC = L.TPDOCUM AND C.SERIE = L.SERIE AND C.NNUMDOC = L.NNUMDOC AND C.ANO = L.ANO)) > 0.011"},
      {"pending only on invoices", "SELECT count(*) FROM DOCGCCAB WHERE VALPEND <> 0 AND TPDOC <> 'FT'"},
      {"every closed posted document is an open item of its client",
       "SELECT count(*) FROM DOCGCCAB C WHERE C.NATCONTA = 1 AND C.EMPREP = 0 AND C.NVIAS <> -1 AND NOT EXISTS "
       "(SELECT 1 FROM CCCLIENTES A WHERE A.TPDOC = C.TPDOC AND A.SERIE = C.SERIE AND A.NNUMDOC = C.NNUMDOC AND "
       "A.ANO = C.ANO)"},
      {"open items are closed posted documents",
       "SELECT count(*) FROM CCCLIENTES A LEFT JOIN DOCGCCAB C ON A.TPDOC = C.TPDOC AND A.SERIE = C.SERIE AND "
       "A.NNUMDOC = C.NNUMDOC AND A.ANO = C.ANO WHERE C.TPDOC IS NULL OR C.NATCONTA <> 1 OR C.EMPREP <> 0 OR "
       "C.NVIAS = -1"},
      {"an open item carries its document's client, dates, signed total and pending value",
       "SELECT count(*) FROM CCCLIENTES A JOIN DOCGCCAB C ON A.TPDOC = C.TPDOC AND A.SERIE = C.SERIE AND "
       "A.NNUMDOC = C.NNUMDOC AND A.ANO = C.ANO WHERE A.CLIENTE <> C.TERCEIRO OR A.DATA <> C.DATA OR "
       "A.DATAVENC <> C.DATAVENC OR abs(A.VALOR - CASE C.SINALCT WHEN 2 THEN -C.TOTDOC ELSE C.TOTDOC END) > 0.001 OR "
       "abs(A.VALPEND - CASE C.SINALCT WHEN 2 THEN -C.VALPEND ELSE C.VALPEND END) > 0.001"},
      {"what is pending is at most the value, and paid on a day between the document and the period's end",
       "SELECT count(*) FROM CCCLIENTES WHERE abs(VALPEND) > abs(VALOR) + 0.001 OR (VALPEND = 0 AND VALOR <> 0 AND "
       "DATALIQ IS NULL) "
       "OR (abs(VALPEND - VALOR) > 0.001 AND DATALIQ IS NULL) OR (abs(VALPEND - VALOR) <= 0.001 AND VALOR <> 0 AND "
       "DATALIQ IS NOT NULL) OR DATALIQ < DATA OR DATALIQ > '2026-06-30 00:00:00'"},
      {"the due date follows the client's payment term",
       "SELECT count(*) FROM CCCLIENTES A JOIN CLIENTES C ON C.CODIGO = A.CLIENTE WHERE "
       "julianday(A.DATAVENC) - julianday(A.DATA) <> C.PRAZOPAG"},
      {"retail prices with VAT",
       "SELECT count(*) FROM ARTIGOS A JOIN RGIVA R ON R.CODIGO = 'CONT' WHERE A.IVA BETWEEN 1 AND 4 AND "
       "abs(A.PVPCIVA - A.PVPSIVA * (1 + CASE A.IVA WHEN 1 THEN R.TX1 WHEN 2 THEN R.TX2 WHEN 3 THEN R.TX3 ELSE R.TX4 "
       "END / 100.0)) > 0.0001"},
  };
  auto db = test::demoCompany().databaseFile();
  for (const auto& c : checks) EXPECT_EQ(test::scalar(db, c.sql), 0) << c.what;
}

// A database of the test server, dropped when the test ends.
struct DroppedAtEnd {
  sql::ServerAddress address;
  ~DroppedAtEnd() {
    try {
      ServerCompany::drop(address);
    } catch (...) {
    }
  }
};

// The demo company put on the test server: registered with the server and
// its login, the same rows as the file it was made from, reused until the
// options change, and a second run with --force gives a new copy.
TEST(DemoCompany, OnAServerItIsRegisteredWithTheServerAndHasTheFilesRows) {
  auto server = sql::testing::testServer();
  if (!server) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  test::TempFolder folder("erp-on-server");
  DemoOptions options;
  options.databaseName = fmt::format("quill_demo_srv_{}", static_cast<long>(::getpid()));
  const DemoCompany::Server login{fmt::format("{}:{}", server->host, server->port), server->user, server->password};
  DroppedAtEnd dropped{*server};
  dropped.address.database = options.databaseName;

  bool reused = true;
  auto company = DemoCompany::ensureOnServer(folder.path(), options, login, false, &reused);
  EXPECT_FALSE(reused);
  EXPECT_TRUE(company.onServer());
  EXPECT_EQ(Installation::open(folder.path()).findCompany(demo::kCompanyCode), company);
  EXPECT_TRUE(missingCompanyTables(company).empty());

  // The same rows as the file: counts of each table, and a sum over the lines.
  auto file = company;
  file.server.clear();
  auto onServer = openCompanyDatabase(company);
  auto inFile = openCompanyDatabase(file);
  for (const char* sql : {"SELECT count(*) FROM DOCGCLIN", "SELECT count(*) FROM PRECOS",
                          "SELECT count(*) FROM CLIENTES WHERE CODIGO = 'c00001'",
                          "SELECT sum(QUANT * PRECUNIT) FROM DOCGCLIN WHERE DATA >= '2026-03-01'"})
    EXPECT_DOUBLE_EQ(vb::CDbl(onServer->query(sql)->value(std::size_t{0})),
                     vb::CDbl(inFile->query(sql)->value(std::size_t{0})))
        << sql;
  onServer->close();

  auto again = DemoCompany::ensureOnServer(folder.path(), options, login, false, &reused);
  EXPECT_TRUE(reused);
  EXPECT_EQ(again, company);
  auto info = DemoCompany::readInfo(company);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->size, DemoSize::Demo);

  // A bad login is refused with the server's reason; nothing is registered anew.
  auto wrong = login;
  wrong.password = "errada";
  EXPECT_THROW(DemoCompany::ensureOnServer(folder.path(), options, wrong, true), AutomationError);
  EXPECT_EQ(Installation::open(folder.path()).findCompany(demo::kCompanyCode), company);
}

// Whatever a company file holds arrives as it is: quotes, blanks and Null,
// dates, and the code columns compare without regard to case on the server
// too. A whole number the server's column cannot hold fails the copy, which
// leaves no database behind, rather than arriving cut. A name that could
// change a statement is refused before anything is created.
TEST(ServerCompany, CopiesEveryValueAsItIsAndRefusesUnsafeNames) {
  auto server = sql::testing::testServer();
  if (!server) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  test::TempFolder folder("erp-server-copy");
  {
    sql::Database file(folder / "values.db", sql::Database::Mode::Create);
    file.exec(
        "CREATE TABLE VALORES (CODIGO TEXT COLLATE QUILL_CI_AS NOT NULL, NUMERO INTEGER, VALOR REAL, DATA DATETIME, "
        "CONSTRAINT PK_VALORES PRIMARY KEY (CODIGO)); "
        "INSERT INTO VALORES VALUES ('O''Neil', 2147483647, 0.1, '2026-03-01 10:20:30'); "
        "INSERT INTO VALORES VALUES (' ', NULL, NULL, NULL);");
    sql::Database big(folder / "big.db", sql::Database::Mode::Create);
    big.exec("CREATE TABLE GRANDES (NUMERO INTEGER); INSERT INTO GRANDES VALUES (4294967296);");
  }
  server->database = fmt::format("quill_copy_{}", static_cast<long>(::getpid()));
  DroppedAtEnd dropped{*server};
  EXPECT_THROW(ServerCompany::copy(folder / "big.db", *server), AutomationError);
  EXPECT_THROW(sql::Connection::open(*server), AutomationError) << "the failed copy left a database";
  ServerCompany::copy(folder / "values.db", *server);

  auto db = sql::Connection::open(*server);
  auto quoted = db->query("SELECT NUMERO, VALOR, DATA FROM VALORES WHERE CODIGO = 'o''neil'");
  ASSERT_FALSE(quoted->eof());
  EXPECT_EQ(vb::CLng(quoted->value("NUMERO")), 2147483647);
  EXPECT_DOUBLE_EQ(vb::CDbl(quoted->value("VALOR")), 0.1);
  EXPECT_EQ(vb::toIsoText(vb::CDate(quoted->value("DATA"))), "2026-03-01 10:20:30");
  auto blank = db->query("SELECT NUMERO, VALOR, DATA FROM VALORES WHERE CODIGO = ' '");
  ASSERT_FALSE(blank->eof());
  EXPECT_TRUE(blank->value("NUMERO").isNull());
  EXPECT_TRUE(blank->value("DATA").isNull());
  db->close();

  for (const char* name : {"a; DROP DATABASE postgres", "", "1abc", "nome com espaço", "x\"y"}) {
    auto bad = *server;
    bad.database = name;
    EXPECT_THROW(ServerCompany::copy(folder / "values.db", bad), AutomationError) << name;
  }
}

}  // namespace
}  // namespace quill::erp
