#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "platform/sql/Command.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::createDatabase;
using testing::errorNumberOf;
using testing::TempFolder;

const char* kSchema =
    "CREATE TABLE ARTIGOS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, NOME TEXT, GRUPO TEXT COLLATE NOCASE,"
    "  IVA SMALLINT, PVPSIVA REAL, INACTIVO INTEGER, CRIADO DATETIME, PESADO BIT, CUSTO MONEY);"
    "CREATE TABLE U_ARTIGOS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, PRECOFIXO INTEGER);"
    "CREATE TABLE GRUPOS (COD TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, DESCR TEXT);"
    "INSERT INTO GRUPOS VALUES ('RAC', 'Rações'), ('CER', 'Cereais');"
    "INSERT INTO ARTIGOS VALUES ('A1', 'Milho', 'cer', 3, 10.5, 0, '2026-01-02 08:30:00', 1, 7);"
    "INSERT INTO ARTIGOS VALUES ('a2', 'Ração', 'RAC', 2, 20, -1, NULL, 0, 2.25);"
    "INSERT INTO U_ARTIGOS VALUES ('A2', -1);";

class ConnectionTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::filesystem::path file = folder.path() / "company.db";
  std::shared_ptr<Connection> db = createDatabase(file, kSchema);
};

TEST_F(ConnectionTest, FailuresCarryTheNumbersTheSystemTestsFor) {
  struct Case {
    const char* sql;
    std::int32_t number;
  } cases[] = {
      {"select Vendedor from  U_qor_ComMensais", sqlerr::NoTable},
      {"SELECT * FROM [dbo].[NOPE]", sqlerr::NoTable},
      {"SELEC * FROM ARTIGOS", sqlerr::ErrorsInCommand},
      {"SELECT NAOEXISTE FROM ARTIGOS", sqlerr::ErrorsInCommand},
      {"SELECT * FROM ARTIGOS WHERE", sqlerr::ErrorsInCommand},
      {"SELECT \"NOME FROM ARTIGOS", sqlerr::ErrorsInCommand},
      {"INSERT ARTIGOS (CODIGO) VALUES ('A1')", sqlerr::IntegrityViolation},
  };
  for (const auto& c : cases) {
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { db->execute(c.sql); }, &description), c.number) << c.sql;
    EXPECT_FALSE(description.empty()) << c.sql;
  }
  std::string description;
  errorNumberOf([&] { db->query("SELECT * FROM NOPE"); }, &description);
  EXPECT_NE(description.find("no such table: NOPE"), std::string::npos) << description;
}

TEST_F(ConnectionTest, AFailedStatementIsNotKeptAndRunsOnceItsTableExists) {
  const char* probe = "select Vendedor from  U_qor_ComMensais";
  EXPECT_EQ(errorNumberOf([&] { db->query(probe); }), sqlerr::NoTable);
  db->execute("CREATE TABLE U_qor_ComMensais (Vendedor TEXT, Id INTEGER PRIMARY KEY)");
  EXPECT_EQ(db->query(probe)->recordCount(), 0);
  db->execute("INSERT U_qor_ComMensais (Vendedor) VALUES ('V1')");
  EXPECT_EQ(db->query(probe)->recordCount(), 1);
  // A cached statement follows a change of its table.
  db->execute("ALTER TABLE U_qor_ComMensais ADD COLUMN Extra TEXT");
  EXPECT_EQ(db->query("SELECT * FROM U_qor_ComMensais")->fieldCount(), 3u);
}

TEST_F(ConnectionTest, StatementsDifferingOnlyInTheirCodesAnswerForTheirOwnCodes) {
  // One prepared form serves both texts; each binds its own code.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(db->query("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'A1'")->value("NOME"), Variant("Milho"));
    EXPECT_EQ(db->query("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'A2'")->value("NOME"), Variant("Ração"));
    EXPECT_EQ(db->query("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'A3'")->recordCount(), 0);
  }
  // A literal where the engine wants a constant still works.
  EXPECT_EQ(db->query("SELECT CODIGO FROM ARTIGOS ORDER BY CODIGO COLLATE NOCASE LIMIT 1")->value(0), Variant("A1"));
  EXPECT_EQ(db->query("SELECT 'x' AS K, NOME FROM ARTIGOS WHERE CODIGO = 'A1'")->value("K"), Variant("x"));
  EXPECT_EQ(db->query("SELECT NOME FROM ARTIGOS WHERE NOME LIKE 'M%' ESCAPE '!'")->recordCount(), 1);
}

TEST_F(ConnectionTest, CodesCompareWithoutRegardToCaseInFiltersJoinsAndOrder) {
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE CODIGO = 'A2'")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE 'a1' = CODIGO")->recordCount(), 1);
  auto joined = db->query(
      "SELECT       * FROM         ARTIGOS LEFT OUTER JOIN                 U_ARTIGOS ON ARTIGOS.CODIGO = "
      "U_ARTIGOS.CODIGO WHERE        (ARTIGOS.CODIGO = 'A2') ");
  ASSERT_EQ(joined->recordCount(), 1);
  EXPECT_EQ(joined->value("PRECOFIXO"), Variant(std::int32_t{-1}));
  auto groups = db->query(
      "SELECT ARTIGOS.CODIGO, GRUPOS.DESCR FROM ARTIGOS INNER JOIN GRUPOS ON GRUPOS.COD = ARTIGOS.GRUPO "
      "ORDER BY ARTIGOS.CODIGO");
  ASSERT_EQ(groups->recordCount(), 2);
  EXPECT_EQ(groups->value("DESCR"), Variant("Cereais"));
}

TEST_F(ConnectionTest, FieldsAreTypedFromTheDeclaredColumnTypes) {
  auto rs = db->query("SELECT * FROM ARTIGOS WHERE CODIGO = 'A1'");
  struct Expect {
    const char* field;
    Variant value;
    DataType type;
  } expected[] = {
      {"CODIGO", Variant("A1"), DataType::VarWChar},
      {"IVA", Variant(std::int16_t{3}), DataType::SmallInt},
      {"PVPSIVA", Variant(10.5), DataType::Double},
      {"INACTIVO", Variant(std::int32_t{0}), DataType::Integer},
      {"CRIADO", Variant(vb::makeDate(2026, 1, 2, 8, 30, 0)), DataType::DateTime},
      {"PESADO", Variant(true), DataType::Boolean},
      {"CUSTO", Variant(7.0), DataType::Double},  // the shim declares money as REAL
  };
  for (const auto& e : expected) {
    EXPECT_EQ(rs->value(e.field), e.value) << e.field << ": " << rs->value(e.field).debugString();
    EXPECT_EQ(rs->field(rs->fieldIndex(e.field)).type, e.type) << e.field;
  }
  rs = db->query("SELECT CRIADO FROM ARTIGOS WHERE CODIGO = 'A2'");
  EXPECT_TRUE(rs->value("CRIADO").isNull());
}

TEST_F(ConnectionTest, ExpressionColumnsAreTypedFromTheirValues) {
  auto rs = db->query(
      "SELECT SUM(IVA) AS WHOLE, SUM(PVPSIVA) AS FRACTION, MAX(NOME) AS TEXT, MAX(CRIADO) AS LAST, "
      "NULL AS NADA, CASE WHEN IVA = 9 THEN 1 END AS IVAOUT FROM ARTIGOS");
  EXPECT_EQ(rs->value("WHOLE"), Variant(std::int32_t{5}));
  EXPECT_EQ(rs->value("FRACTION"), Variant(30.5));
  EXPECT_EQ(rs->value("TEXT"), Variant("Ração"));
  EXPECT_EQ(rs->value("LAST"), Variant(vb::makeDate(2026, 1, 2, 8, 30, 0)));
  EXPECT_TRUE(rs->value("NADA").isNull());
  EXPECT_TRUE(rs->value("IVAOUT").isNull());
  // Whole and fractional values in one column make it a column of doubles.
  rs = db->query("SELECT CASE WHEN CODIGO = 'A1' THEN 1 ELSE 2.5 END AS MIXED FROM ARTIGOS ORDER BY CODIGO");
  EXPECT_EQ(rs->value("MIXED"), Variant(1.0));
  EXPECT_EQ(rs->field(0).type, DataType::Double);
}

TEST_F(ConnectionTest, EachFieldKnowsItsBaseColumnAndWhetherItIsKey) {
  auto rs = db->query(
      "SELECT ARTIGOS.CODIGO, ARTIGOS.NOME AS NOMEART, U_ARTIGOS.CODIGO AS UCOD, IVA * 2 AS DOBRO FROM ARTIGOS "
      "LEFT JOIN U_ARTIGOS ON U_ARTIGOS.CODIGO = ARTIGOS.CODIGO");
  EXPECT_EQ(rs->field(0), (Field{"CODIGO", DataType::VarWChar, "ARTIGOS", "CODIGO", true, false, 0}));
  EXPECT_EQ(rs->field(1), (Field{"NOMEART", DataType::VarWChar, "ARTIGOS", "NOME", false, false, 0}));
  EXPECT_EQ(rs->field(2).baseTable, "U_ARTIGOS");
  EXPECT_TRUE(rs->field(2).key);
  EXPECT_TRUE(rs->field(3).baseTable.empty());
}

TEST_F(ConnectionTest, ALockedDatabaseWaitsThenFailsClearlyAndLosesNothing) {
  auto other = Connection::open(file);
  db->setBusyTimeout(std::chrono::milliseconds(300));
  {
    Transaction writing(*other);
    other->execute("INSERT GRUPOS (COD, DESCR) VALUES ('OUT', 'Other user')");
    const auto start = std::chrono::steady_clock::now();
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { db->execute("INSERT GRUPOS (COD, DESCR) VALUES ('MINE', 'Mine')"); }, &description),
              sqlerr::Failed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    EXPECT_NE(description.find("in use by another user"), std::string::npos) << description;
    // Readers are not kept waiting by a writer.
    EXPECT_EQ(db->query("SELECT * FROM GRUPOS")->recordCount(), 2);
    writing.commit();
  }
  EXPECT_EQ(db->query("SELECT * FROM GRUPOS WHERE COD = 'OUT'")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT * FROM GRUPOS WHERE COD = 'MINE'")->recordCount(), 0);
  db->execute("INSERT GRUPOS (COD, DESCR) VALUES ('MINE', 'Mine')");  // works once the lock is gone
  EXPECT_EQ(db->query("SELECT * FROM GRUPOS")->recordCount(), 4);
}

TEST_F(ConnectionTest, TheTransactionGuardRollsBackUnlessCommitted) {
  try {
    Transaction transaction(*db);
    db->execute("INSERT GRUPOS (COD) VALUES ('X1')");
    db->execute("INSERT GRUPOS (COD) VALUES ('RAC')");  // duplicate key: fails
    transaction.commit();
  } catch (const AutomationError&) {
  }
  EXPECT_EQ(db->query("SELECT * FROM GRUPOS WHERE COD = 'X1'")->recordCount(), 0);
  {
    Transaction outer(*db);
    db->execute("INSERT GRUPOS (COD) VALUES ('X2')");
    {
      Transaction inner(*db);
      db->execute("INSERT GRUPOS (COD) VALUES ('X3')");
    }  // the inner one rolls back alone
    outer.commit();
  }
  EXPECT_EQ(db->query("SELECT * FROM GRUPOS WHERE COD IN ('X2', 'X3')")->recordCount(), 1);
  auto reopened = Connection::open(file);
  EXPECT_EQ(reopened->query("SELECT * FROM GRUPOS WHERE COD = 'X2'")->recordCount(), 1);
}

TEST_F(ConnectionTest, OpeningRefusesMissingAndDamagedFilesSayingWhich) {
  std::string description;
  EXPECT_NE(errorNumberOf([&] { Connection::open(folder.path() / "missing.db"); }, &description), 0);
  EXPECT_NE(description.find("does not exist"), std::string::npos) << description;
  const auto damaged = folder.path() / "damaged.db";
  std::ofstream(damaged) << "this is not a database, only some text that is long enough to be read as a header";
  EXPECT_NE(errorNumberOf([&] { Connection::open(damaged); }, &description), 0);
  EXPECT_NE(description.find("not a database"), std::string::npos) << description;
}

TEST_F(ConnectionTest, AClosedConnectionRefusesWork) {
  db->close();
  EXPECT_EQ(errorNumberOf([&] { db->query("SELECT 1"); }), sqlerr::ObjectClosed);
}

TEST_F(ConnectionTest, ParametersAreBoundInOrderAndCounted) {
  auto rs =
      db->query("SELECT NOME FROM ARTIGOS WHERE CODIGO = ? AND IVA = ?", {Variant("a1"), Variant(std::int32_t{3})});
  ASSERT_EQ(rs->recordCount(), 1);
  EXPECT_EQ(rs->value("NOME"), Variant("Milho"));
  EXPECT_EQ(errorNumberOf([&] { db->query("SELECT * FROM ARTIGOS WHERE CODIGO = ?"); }), sqlerr::ErrorsInCommand);
}

TEST_F(ConnectionTest, AQuotedCodeCannotChangeAStatement) {
  const std::string code = "X' OR '1'='1";
  // Inserted as typed, the quote ends the literal and the rest becomes SQL.
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE (ARTIGOS.CODIGO = '" + code + "') ")->recordCount(), 2);
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE (ARTIGOS.CODIGO = '" + sqlQuote(code) + "') ")->recordCount(), 0);
  db->execute("DELETE  FROM ARTIGOS WHERE (CODIGO = '" + sqlQuote("A1' OR 'x'='x") + "')");
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS")->recordCount(), 2);
  db->execute("INSERT GRUPOS (COD, DESCR) VALUES ('" + sqlQuote("O'B") + "', '" + sqlQuote("O'Brien") + "')");
  EXPECT_EQ(db->query("SELECT DESCR FROM GRUPOS WHERE COD = 'O''B'")->value("DESCR"), Variant("O'Brien"));
}

TEST_F(ConnectionTest, CommandsRunTextsAndProceduresWithTypedParameters) {
  db->procedures().add("qor_Nomes", [](const ProcedureArguments& args, Connection& c) {
    return c.query("SELECT NOME FROM ARTIGOS WHERE CODIGO BETWEEN ? AND ? ORDER BY CODIGO",
                   {args.get("@DE"), args.get("@ATE")});
  });
  Command procedure(db, "QOR_NOMES", Command::Kind::StoredProcedure);
  procedure.append(Command::createParameter("@DE", DataType::VarChar, 15, Variant("a1")));
  procedure.append(Command::createParameter("@ATE", DataType::VarChar, 15, Variant("A9")));
  EXPECT_EQ(procedure.execute()->recordCount(), 2);

  Command text(db, "SELECT * FROM ARTIGOS WHERE IVA = ?");
  text.append(Command::createParameter("@IVA", DataType::Integer, 0, Variant("3")));
  EXPECT_EQ(text.execute()->value("CODIGO"), Variant("A1"));

  EXPECT_EQ(errorNumberOf([&] { Command(db, "nope", Command::Kind::StoredProcedure).execute(); }),
            sqlerr::ErrorsInCommand);
  Command missing(db, "qor_Nomes", Command::Kind::StoredProcedure);
  missing.append(Command::createParameter("@DE", DataType::VarChar, 15, Variant("A")));
  EXPECT_EQ(errorNumberOf([&] { missing.execute(); }), sqlerr::ErrorsInCommand);
  EXPECT_EQ(errorNumberOf([] { Command::createParameter("@V", DataType::VarChar, 6, Variant("1234567")); }),
            sqlerr::WrongValueType);
  EXPECT_EQ(errorNumberOf([] { Command::createParameter("@N", DataType::Integer, 0, Variant("abc")); }),
            sqlerr::WrongValueType);
}

}  // namespace
}  // namespace quill::sql
