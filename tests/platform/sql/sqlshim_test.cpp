#include "platform/sql/SqlShim.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::createDatabase;
using testing::errorNumberOf;
using testing::TempFolder;

struct Translation {
  const char* name;
  const char* tsql;
  const char* sqlite;
};

const Translation kTranslations[] = {
    {"insert without into, bracketed names, date of today",
     "INSERT U_QOR_PRECOS ([ARTIGO], [DATAACTIVACAO]) SELECT [CODIGO], GETDATE () FROM ARTIGOS",
     "INSERT INTO U_QOR_PRECOS (\"ARTIGO\", \"DATAACTIVACAO\") SELECT \"CODIGO\", "
     "strftime('%Y-%m-%d %H:%M:%S','now','localtime') FROM ARTIGOS"},
    {"insert values without into", "INSERT T (A) VALUES ('x')", "INSERT INTO T (A) VALUES ('x')"},
    {"insert into stays", "INSERT INTO T (A) VALUES (1)", "INSERT INTO T (A) VALUES (1)"},
    {"a trigger's event is not a statement",
     "CREATE TRIGGER G BEFORE INSERT ON T BEGIN INSERT U (A) VALUES (1); END; CREATE TRIGGER H AFTER DELETE ON T "
     "BEGIN SELECT 1; END",
     "CREATE TRIGGER G BEFORE INSERT ON T BEGIN INSERT INTO U (A) VALUES (1); END; CREATE TRIGGER H AFTER DELETE ON T "
     "BEGIN SELECT 1; END"},
    {"delete without from", "Delete U_qor_ComMensais where Ano=2026  AND Mes=3",
     "Delete FROM U_qor_ComMensais where Ano=2026  AND Mes=3"},
    {"delete from with blanks stays", "DELETE  FROM         PRECOS WHERE (ARTIGO = 'A') ",
     "DELETE  FROM         PRECOS WHERE (ARTIGO = 'A') "},
    {"convert of a date literal carries midnight",
     "SELECT * FROM PRECOS WHERE (DATINIC <= CONVERT(DATETIME, '2026-12-07', 102))",
     "SELECT * FROM PRECOS WHERE (DATINIC <= '2026-12-07 00:00:00')"},
    {"convert style 102 with dots", "SELECT CONVERT(DATETIME, '2026.03.01', 102)", "SELECT '2026-03-01 00:00:00'"},
    {"convert day-first style", "SELECT CONVERT(datetime, '07-12-2026', 105)", "SELECT '2026-12-07 00:00:00'"},
    {"convert of a column to a date keeps the column", "SELECT CONVERT(DATETIME, D) FROM T", "SELECT ( D) FROM T"},
    {"convert to text is a cast", "SELECT CONVERT(nvarchar(10), X) FROM T", "SELECT CAST( X AS TEXT) FROM T"},
    {"month year day read the stored date text",
     "SELECT 1 WHERE month(DocGcCab.Data)=3 AND YEAR ( D ) = 2026 AND day(D)=1",
     "SELECT 1 WHERE CAST(strftime('%m',DocGcCab.Data) AS INTEGER)=3 AND CAST(strftime('%Y', D ) AS INTEGER) = 2026 "
     "AND CAST(strftime('%d',D) AS INTEGER)=1"},
    {"a bare day compared with a date carries midnight",
     "SELECT * FROM T WHERE ((D >= '2026-01-01') AND (D <= '2026-12-31')) OR '2026-02-03' < E",
     "SELECT * FROM T WHERE ((D >= '2026-01-01 00:00:00') AND (D <= '2026-12-31 00:00:00')) OR "
     "'2026-02-03 00:00:00' < E"},
    {"both bounds of between carry midnight", "SELECT * FROM T WHERE D BETWEEN '2026-01-01' AND '2026-01-31'",
     "SELECT * FROM T WHERE D BETWEEN '2026-01-01 00:00:00' AND '2026-01-31 00:00:00'"},
    {"a day that is only a value, or not a day, stays",
     "INSERT T (A, B) VALUES ('2026-03-01', '2026-13-01'); SELECT 1 WHERE C = '2026-02-30'",
     "INSERT INTO T (A, B) VALUES ('2026-03-01', '2026-13-01'); SELECT 1 WHERE C = '2026-02-30'"},
    {"a column named month is not a function", "SELECT T.month FROM T", "SELECT T.month FROM T"},
    {"isnull", "SELECT ISNULL(A, 0) FROM T", "SELECT IFNULL(A, 0) FROM T"},
    {"dateadd and datediff in days, their arguments translated too",
     "SELECT DATEADD(day, ISNULL(T.N, 0), T.D), DATEDIFF(dd, T.D, GETDATE ()) FROM T",
     "SELECT strftime('%Y-%m-%d %H:%M:%S', ( IFNULL(T.N, 0)) + julianday( T.D)), CAST(-julianday(date( T.D)) + "
     "julianday(date( strftime('%Y-%m-%d %H:%M:%S','now','localtime'))) AS INTEGER) FROM T"},
    {"owner prefixes go", "SELECT * FROM [dbo].[ARTIGOS] JOIN dbo.GRUPOS ON 1=1",
     "SELECT * FROM \"ARTIGOS\" JOIN GRUPOS ON 1=1"},
    {"top closes its own query level",
     "SELECT TOP 5 * FROM T WHERE X IN (SELECT TOP (1) A FROM B ORDER BY A) ORDER BY C",
     "SELECT  * FROM T WHERE X IN (SELECT  A FROM B ORDER BY A LIMIT 1) ORDER BY C LIMIT 5"},
    {"top before a trailing comment", "SELECT DISTINCT TOP 2 A FROM T -- first two",
     "SELECT DISTINCT  A FROM T LIMIT 2 -- first two"},
    {"keywords and quotes inside literals are untouched",
     "SELECT 'GETDATE ()', 'it''s [dbo].[x] month(1)', 'INSERT T', 'TOP 1' FROM T WHERE N = 'Delete T'",
     "SELECT 'GETDATE ()', 'it''s [dbo].[x] month(1)', 'INSERT T', 'TOP 1' FROM T WHERE N = 'Delete T'"},
    {"comments are untouched", "SELECT A -- GETDATE() [x]\nFROM T /* INSERT T */",
     "SELECT A -- GETDATE() [x]\nFROM T /* INSERT T */"},
    {"national literals lose their prefix", "SELECT * FROM T WHERE A = N'Pão'", "SELECT * FROM T WHERE A = 'Pão'"},
    {"text already in the target dialect passes", "SELECT \"A\", B FROM T WHERE C LIKE 'x%' ORDER BY 1 LIMIT 3",
     "SELECT \"A\", B FROM T WHERE C LIKE 'x%' ORDER BY 1 LIMIT 3"},
    {"create table of the monthly commissions",
     " CREATE TABLE [dbo].[U_qor_ComMensais]([Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
     "[Mes] [smallint] NULL,[Ano] [smallint] NULL,[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
     "[Comissao] [money] NULL,[ValorBase] [money] NULL,[Id] [int] IDENTITY(1,1) NOT NULL,"
     "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED ( [ID] Asc ) ) ON [PRIMARY]",
     " CREATE TABLE \"U_qor_ComMensais\" (\"Vendedor\" TEXT COLLATE QUILL_CI_AS NULL, \"Mes\" SMALLINT NULL, "
     "\"Ano\" SMALLINT NULL, \"Grupo\" TEXT COLLATE QUILL_CI_AS NULL, \"Comissao\" REAL NULL, \"ValorBase\" REAL NULL, "
     "\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL) "},
    {"create table with a composite clustered key and storage options",
     "CREATE TABLE T ([A] [int] NOT NULL, [B] [varchar](5) COLLATE Latin1_General_CS_AS, [C] [datetime], "
     "[D] [decimal](10, 2), CONSTRAINT [PK_T] PRIMARY KEY CLUSTERED ([A] ASC, [B]) WITH (PAD_INDEX = OFF) "
     "ON [PRIMARY]) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]",
     "CREATE TABLE \"T\" (\"A\" INT NOT NULL, \"B\" TEXT COLLATE BINARY, \"C\" DATETIME, \"D\" REAL, "
     "CONSTRAINT \"PK_T\" PRIMARY KEY ( \"A\" ASC , \"B\" ))  "},
    {"create table in the target dialect keeps its meaning",
     "CREATE TABLE IF NOT EXISTS U_QOR_COMGRUPOS (VENDEDOR TEXT COLLATE NOCASE NOT NULL, COMISSAO REAL, "
     "CONSTRAINT PK_U_QOR_COMGRUPOS PRIMARY KEY (VENDEDOR)) WITHOUT ROWID",
     "CREATE TABLE IF NOT EXISTS \"U_QOR_COMGRUPOS\" (\"VENDEDOR\" TEXT COLLATE QUILL_CI_AS NOT NULL, \"COMISSAO\" "
     "REAL, "
     "CONSTRAINT PK_U_QOR_COMGRUPOS PRIMARY KEY ( VENDEDOR )) WITHOUT ROWID"},
    {"create table as select is an ordinary statement", "CREATE TABLE C AS SELECT [A] FROM T",
     "CREATE TABLE C AS SELECT \"A\" FROM T"},
};

TEST(SqlShim, TranslatesEachConstructOfTheSystemsStatements) {
  SqlShim shim;
  for (const auto& t : kTranslations) EXPECT_EQ(shim.translate(t.tsql), t.sqlite) << t.name;
}

TEST(SqlShim, RefusesTextItCannotReadWithTheCommandErrorNumber) {
  SqlShim shim;
  for (const char* bad :
       {"SELECT 'unclosed", "SELECT [unclosed FROM T", "SELECT CONVERT(DATETIME, '2026-13-45', 102)",
        "SELECT TOP 10 PERCENT * FROM T", "SELECT TOP x * FROM T", "SELECT month(1 FROM T",
        "SELECT DATEADD(month, 1, D) FROM T", "SELECT DATEDIFF(hour, A, B) FROM T", "SELECT DATEADD(day, 1) FROM T",
        "CREATE TABLE T ([Id] int IDENTITY(1,1), [A] int, CONSTRAINT PK PRIMARY KEY (A, Id))"}) {
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { shim.translate(bad); }, &description), sqlerr::ErrorsInCommand) << bad;
    EXPECT_NE(description.find("Error in the command"), std::string::npos) << bad;
  }
}

TEST(SqlShim, TakesOutTheLiteralsOfQueriesAndChangesOnly) {
  struct Case {
    const char* tsql;
    const char* sql;
    std::vector<std::string> literals;
  } cases[] = {
      {"SELECT * FROM ARTIGOS WHERE (ARTIGOS.CODIGO = 'A1') AND NOME LIKE 'M%'",
       "SELECT * FROM ARTIGOS WHERE (ARTIGOS.CODIGO = ?) AND NOME LIKE ?",
       {"A1", "M%"}},
      {"SELECT * FROM T WHERE A = 'O''Brien' AND N = 1", "SELECT * FROM T WHERE A = ? AND N = 1", {"O'Brien"}},
      {"INSERT T (A, B) VALUES ('x', GETDATE ())",
       "INSERT INTO T (A, B) VALUES (?, strftime('%Y-%m-%d %H:%M:%S','now','localtime'))",
       {"x"}},
      {"Delete T where A='1'", "Delete FROM T where A=?", {"1"}},
      {"UPDATE T SET A = 'b'", "UPDATE T SET A = ?", {"b"}},
      // A converted date and an alias written as a literal stay in the text.
      {"SELECT A AS 'Nome' FROM T WHERE D <= CONVERT(DATETIME, '2026-01-02', 102)",
       "SELECT A AS 'Nome' FROM T WHERE D <= '2026-01-02 00:00:00'",
       {}},
      // Statements with parameters of their own, two statements, and DDL keep them.
      {"SELECT * FROM T WHERE A = 'x' AND B = ?", "SELECT * FROM T WHERE A = 'x' AND B = ?", {}},
      {"DELETE FROM T WHERE A = 'x'; DELETE FROM U", "DELETE FROM T WHERE A = 'x'; DELETE FROM U", {}},
      {"CREATE TABLE T (A TEXT DEFAULT 'x')", "CREATE TABLE \"T\" (\"A\" TEXT DEFAULT 'x')", {}},
  };
  SqlShim shim;
  for (const auto& c : cases) {
    auto form = shim.parameterize(c.tsql);
    EXPECT_EQ(form.sql, c.sql) << c.tsql;
    EXPECT_EQ(form.literals, c.literals) << c.tsql;
  }
}

// The translations are checked against the engine too: the same constructs
// run and answer what the original server answers.
class ShimOnDatabase : public ::testing::Test {
 protected:
  TempFolder folder;
  std::shared_ptr<Connection> db = createDatabase(folder.path() / "shim.db",
                                                  "CREATE TABLE DOCS (NUM INT PRIMARY KEY, DATA DATETIME);"
                                                  "INSERT INTO DOCS VALUES (1, '2026-03-05 10:00:00');"
                                                  "INSERT INTO DOCS VALUES (2, '2026-04-01 00:00:00');"
                                                  "INSERT INTO DOCS VALUES (3, '2025-03-31 23:59:59');");
};

TEST_F(ShimOnDatabase, MonthTakesTheMonthOfTheStoredDateWhateverTheYear) {
  auto rs = db->query("SELECT NUM FROM DOCS WHERE month(DATA)=3 ORDER BY NUM");
  ASSERT_EQ(rs->recordCount(), 2);
  EXPECT_EQ(rs->value("NUM"), Variant(std::int32_t{1}));
  rs->moveNext();
  EXPECT_EQ(rs->value("NUM"), Variant(std::int32_t{3}));
}

TEST_F(ShimOnDatabase, AConvertedDayIncludesARowStoredAtMidnightOfThatDay) {
  auto rs = db->query("SELECT NUM FROM DOCS WHERE (DATA <= CONVERT(DATETIME, '2026-04-01', 102)) ORDER BY NUM");
  EXPECT_EQ(rs->recordCount(), 3);
  // A bare day is that day at midnight: a row stored at midnight is on it, a
  // row later that day is after it.
  EXPECT_EQ(db->query("SELECT NUM FROM DOCS WHERE DATA <= '2026-03-05'")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT NUM FROM DOCS WHERE (DATA >= '2026-03-05') AND (DATA <= '2026-04-01')")->recordCount(),
            2);
}

TEST_F(ShimOnDatabase, GetdateIsTheLocalDateAndTimeAsStoredText) {
  const Date before = vb::now();
  db->execute("INSERT DOCS (NUM, DATA) VALUES (9, GETDATE ())");
  auto rs = db->query("SELECT DATA FROM DOCS WHERE NUM = 9");
  ASSERT_EQ(rs->value("DATA").type(), VarType::Date);
  EXPECT_NEAR(rs->value("DATA").dateValue().serial, before.serial, 5.0 / 86400);
}

TEST_F(ShimOnDatabase, DateArithmeticCountsDayBoundariesAndKeepsTheStoredForm) {
  db->execute("INSERT DOCS (NUM, DATA) VALUES (4, NULL)");
  auto rs = db->query(
      "SELECT NUM, DATEADD(day, 30, DATA) AS LATER, DATEADD(hour, -12, DATA) AS EARLIER, "
      "DATEDIFF(day, DATA, CONVERT(DATETIME, '2026-04-01', 102)) AS DAYS FROM DOCS ORDER BY NUM");
  struct Expected {
    std::optional<std::string> later, earlier;
    std::optional<std::int32_t> days;
  } expected[] = {{"2026-04-04 10:00:00", "2026-03-04 22:00:00", 27},
                  {"2026-05-01 00:00:00", "2026-03-31 12:00:00", 0},
                  // The time of day does not count: a second before midnight is a whole day before.
                  {"2025-04-30 23:59:59", "2025-03-31 11:59:59", 366},
                  {std::nullopt, std::nullopt, std::nullopt}};
  for (const auto& e : expected) {
    ASSERT_FALSE(rs->eof());
    const std::string row = "row " + rs->value("NUM").debugString();
    if (e.later) {
      EXPECT_EQ(vb::toIsoText(rs->value("LATER").dateValue()), *e.later) << row;
      EXPECT_EQ(vb::toIsoText(rs->value("EARLIER").dateValue()), *e.earlier) << row;
      EXPECT_EQ(rs->value("DAYS"), Variant(*e.days)) << row;
    } else {
      EXPECT_TRUE(rs->value("LATER").isNull() && rs->value("DAYS").isNull()) << "a missing date stays missing";
    }
    rs->moveNext();
  }
}

TEST_F(ShimOnDatabase, TopLimitsTheRows) {
  EXPECT_EQ(db->query("SELECT TOP 2 * FROM [dbo].[DOCS] ORDER BY NUM")->recordCount(), 2);
}

TEST_F(ShimOnDatabase, TheMonthlyCommissionTableIsCreatedWithANumberedKeyAndCaseFreeCodes) {
  db->execute(
      " CREATE TABLE [dbo].[U_qor_ComMensais]([Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
      "[Mes] [smallint] NULL,[Ano] [smallint] NULL,[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
      "[Comissao] [money] NULL,[ValorBase] [money] NULL,[Id] [int] IDENTITY(1,1) NOT NULL,"
      "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED ( [ID] Asc ) ) ON [PRIMARY]");
  db->execute(
      "INSERT U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES ('v01', 3, 2026, 'g1', 2.5, "
      "100)");
  db->execute(
      "INSERT U_qor_ComMensais (Vendedor, Mes, Ano, Grupo, Comissao, ValorBase) VALUES ('V02', 3, 2026, 'G1', 3, 50)");
  auto rs = db->query("Select * from U_qor_ComMensais where Vendedor='V01' AND Grupo = 'G1'");
  ASSERT_EQ(rs->recordCount(), 1);
  EXPECT_EQ(rs->value("Id"), Variant(std::int32_t{1}));
  EXPECT_EQ(rs->value("Mes"), Variant(std::int16_t{3}));
  EXPECT_EQ(rs->value("Comissao"), Variant(2.5));
  EXPECT_EQ(rs->value("ValorBase"), Variant(100.0));
  EXPECT_TRUE(rs->field(rs->fieldIndex("Id")).identity);
  db->execute("Delete U_qor_ComMensais where Ano=2026  AND Mes=3");
  EXPECT_EQ(db->query("select Vendedor from  U_qor_ComMensais")->recordCount(), 0);
}

}  // namespace
}  // namespace quill::sql

namespace quill::sql {
namespace {

// What the server's shim writes for each construct of the system's
// statements; the backend tests run these forms on a real server.
const Translation kServerTranslations[] = {
    {"insert without into, bracketed names folded, date of today",
     "INSERT U_QOR_PRECOS ([ARTIGO], [DataActivacao]) SELECT [CODIGO], GETDATE () FROM ARTIGOS",
     "INSERT INTO U_QOR_PRECOS (\"artigo\", \"dataactivacao\") SELECT \"codigo\", LOCALTIMESTAMP(0) FROM ARTIGOS"},
    {"delete without from, owner dropped", "Delete [dbo].U_qor_ComMensais where Ano=2026",
     "Delete FROM U_qor_ComMensais where Ano=2026"},
    {"a converted day is a timestamp; a bare day is left to the server",
     "SELECT 1 FROM P WHERE D >= CONVERT(DATETIME, '2026.03.01', 102) AND D < '2026-04-01'",
     "SELECT 1 FROM P WHERE D >= CAST('2026-03-01 00:00:00' AS TIMESTAMP) AND D < '2026-04-01'"},
    {"month of a date", "SELECT month(D) FROM P",
     "SELECT CAST(EXTRACT(MONTH FROM CAST(D AS TIMESTAMP)) AS INTEGER) FROM P"},
    {"isnull", "SELECT ISNULL(A, 0) FROM P", "SELECT COALESCE(A, 0) FROM P"},
    {"date arithmetic", "SELECT DATEADD(day, 2, D), DATEDIFF(day, D, E) FROM P",
     "SELECT (( 2) * INTERVAL '86400 seconds' + CAST( D AS TIMESTAMP)), (-(CAST( D AS DATE) - CAST( E AS DATE))) FROM "
     "P"},
    {"string literals untouched", "SELECT 'GETDATE () [dbo].x' FROM P", "SELECT 'GETDATE () [dbo].x' FROM P"},
    {"create table of the original server",
     "CREATE TABLE [dbo].[U_qor_ComMensais]([Id] [int] IDENTITY(1,1) NOT NULL, [Vendedor] [nvarchar](10) COLLATE "
     "Latin1_General_CI_AS NULL, [Valor] [money] NULL, [Data] [datetime] NULL, [Marca] [bit] NULL, CONSTRAINT [PK] "
     "PRIMARY KEY CLUSTERED ([Id] ASC)) ON [PRIMARY]",
     "CREATE TABLE \"u_qor_commensais\" (\"id\" INTEGER GENERATED BY DEFAULT AS IDENTITY NOT NULL, \"vendedor\" "
     "VARCHAR(10) COLLATE quill_ci NULL, \"valor\" DOUBLE PRECISION NULL, \"data\" TIMESTAMP(0) NULL, \"marca\" "
     "SMALLINT NULL, CONSTRAINT \"pk\" PRIMARY KEY ( \"id\" )) "},
    {"create table written for the embedded database",
     "CREATE TABLE IF NOT EXISTS T (ARTIGO TEXT COLLATE NOCASE NOT NULL, PRECO REAL, CONSTRAINT PK_T PRIMARY KEY "
     "(ARTIGO))",
     "CREATE TABLE IF NOT EXISTS \"t\" (\"artigo\" TEXT COLLATE quill_ci NOT NULL, \"preco\" DOUBLE PRECISION, "
     "CONSTRAINT PK_T PRIMARY KEY ( ARTIGO ))"},
};

TEST(SqlShim, TranslatesEachConstructOfTheSystemsStatementsForTheServer) {
  const SqlShim shim(SqlDialect::Postgres);
  for (const auto& t : kServerTranslations) EXPECT_EQ(shim.translate(t.tsql), t.sqlite) << t.name;
}

}  // namespace
}  // namespace quill::sql
